#include "common/temp_file.h"

#include <QDir>
#include <QFile>

#include <mutex>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace common {
namespace {

// The umask as /proc tells it ("Umask:\t0022"), or -1 on kernels that do not.
int UmaskFromProc() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (!line.startsWith("Umask:")) continue;
    bool ok = false;
    const int mask = line.mid(6).trimmed().toInt(&ok, 8);
    return ok ? (mask & 0777) : -1;
  }
  return -1;
}

} // namespace

QString CreateTempFile() {
  QByteArray pattern = QFile::encodeName(QDir::tempPath() + QStringLiteral("/tXXXXXX"));
  const int fd = mkstemp(pattern.data());
  if (fd < 0) return {};
  ::close(fd);
  return QFile::decodeName(pattern);
}

mode_t NewFileMode() {
  int mask = UmaskFromProc();
  if (mask < 0) {
    // Reading the umask means setting it; the lock keeps two readers from mixing their calls.
    static std::mutex lock;
    const std::lock_guard guard(lock);
    mask = int(::umask(022));
    ::umask(mode_t(mask));
  }
  return mode_t(0666 & ~mask);
}

bool SetNewFileMode(const QString& path) {
  return ::chmod(QFile::encodeName(path).constData(), NewFileMode()) == 0;
}

} // namespace common
