#include "test_support.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <QDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace testing_support {

Sandbox::Sandbox() = default;

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  while (!condition()) {
    if (deadline.hasExpired()) return condition();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(2);
  }
  return true;
}

QString AppFolder() {
  QString folder = qEnvironmentVariable("FOLIVEX_APP_DIR", QStringLiteral(FOLIVEX_BUILD_APP_DIR));
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  return folder;
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray ReadBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

ScopedUmask::ScopedUmask(mode_t mask) : old_(::umask(mask)) {}

ScopedUmask::~ScopedUmask() { ::umask(old_); }

int FileMode(const QString& path) {
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return -1;
  return int(info.st_mode & 07777);
}

ino_t FileInode(const QString& path) {
  struct stat info {};
  return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

SmallDisk::SmallDisk(int kib) : path_(sandbox_.file(QStringLiteral("disk")) + QLatin1Char('/')) {
  QDir().mkpath(path_);
  const QByteArray options = "size=" + QByteArray::number(kib) + "k,mode=0755";
  mounted_ = ::mount("tmpfs", QFile::encodeName(path_).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                     options.constData()) == 0;
}

SmallDisk::~SmallDisk() {
  if (mounted_) ::umount2(QFile::encodeName(path_).constData(), MNT_DETACH);
}

void SmallDisk::FillLeaving(int keepKib) const {
  struct statvfs info {};
  if (::statvfs(QFile::encodeName(path_).constData(), &info) != 0) return;
  const qint64 free = qint64(info.f_bavail) * qint64(info.f_frsize);
  const qint64 fill = free - qint64(keepKib) * 1024;
  if (fill > 0) WriteBytes(path_ + QStringLiteral(".filler"), QByteArray(fill, 'x'));
}

int ClosedPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  return ntohs(address.sin_port);
}

} // namespace testing_support
