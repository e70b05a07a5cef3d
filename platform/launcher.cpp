#include "platform/launcher.h"

#include <QProcess>
#include <QProcessEnvironment>

namespace platform {
namespace {
FIUrlOpener* openerOverride = nullptr;
} // namespace

pid_t DetachedLauncher::Launch(const QString& program, const QStringList& arguments) {
  qint64 pid = 0;
  if (!QProcess::startDetached(program, arguments, QString(), &pid)) return 0;
  return pid_t(pid);
}

bool DesktopOpener::Open(const QString& target) {
  QString command = QProcessEnvironment::systemEnvironment().value(QLatin1String(kOpenerVariable));
  if (command.isEmpty()) command = QStringLiteral("xdg-open");
  return QProcess::startDetached(command, {target});
}

FIUrlOpener& Opener() {
  static DesktopOpener real;
  return openerOverride ? *openerOverride : real;
}

void SetOpener(FIUrlOpener* opener) { openerOverride = opener; }

} // namespace platform
