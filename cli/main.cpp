// folivex-get: downloads comic chapters with the Gantrell engine from the command line.
#include "cli/folivex_get.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QStringList arguments = QCoreApplication::arguments();
  arguments.removeFirst();
  return folivex_get::RunFolivexGet(arguments);
}
