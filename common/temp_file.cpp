#include "common/temp_file.h"

#include <QDir>
#include <QFile>

#include <stdlib.h>
#include <unistd.h>

namespace common {

QString CreateTempFile() {
  QByteArray pattern = QFile::encodeName(QDir::tempPath() + QStringLiteral("/tXXXXXX"));
  const int fd = mkstemp(pattern.data());
  if (fd < 0) return {};
  ::close(fd);
  return QFile::decodeName(pattern);
}

} // namespace common
