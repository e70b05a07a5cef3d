#include "platform/file_lock.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// A file removed or replaced under us between open and lock is tried again this often.
constexpr int kAttempts = 8;

bool SameFile(int fd, const QByteArray& name) {
  struct stat opened {}, atPath {};
  return ::fstat(fd, &opened) == 0 && ::lstat(name.constData(), &atPath) == 0 &&
         opened.st_dev == atPath.st_dev && opened.st_ino == atPath.st_ino;
}

// Locks an open descriptor of `name`; nothing when the path no longer names that file.
std::optional<FileLock::Result> LockDescriptor(int fd, const QByteArray& name) {
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    return error == EWOULDBLOCK ? FileLock::Result::Busy : FileLock::Result::Failed;
  }
  if (SameFile(fd, name)) return FileLock::Result::Locked;
  ::close(fd); // its holder removed it as it let go: lock whatever lies there now
  return std::nullopt;
}

// Makes `name` appear already locked: a private file is locked first, then linked into place.
// Returns the descriptor, -1 on failure; `exists` when someone else made the file meanwhile.
int CreateLocked(const QByteArray& name, bool& exists) {
  exists = false;
  QByteArray temporary = name + ".XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return -1;
  const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  const int linked = locked ? ::link(temporary.constData(), name.constData()) : -1;
  const int error = errno;
  ::unlink(temporary.constData());
  if (linked == 0) return fd;
  ::close(fd);
  if (!locked) return -1;
  if (error == EEXIST) {
    exists = true;
    return -1;
  }
  // A file system without hard links (FAT on a memory stick): made in place, then locked.
  const int direct = ::open(name.constData(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (direct < 0) {
    exists = errno == EEXIST;
    return -1;
  }
  if (::flock(direct, LOCK_EX | LOCK_NB) != 0) {
    exists = true; // taken in the instant between
    ::close(direct);
    return -1;
  }
  return direct;
}

} // namespace

std::optional<FileLock::Result> FileLock::TryExisting(const QString& path, bool& missing) {
  const QByteArray name = QFile::encodeName(path);
  const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  missing = fd < 0 && errno == ENOENT;
  if (fd < 0) return missing ? std::nullopt : std::optional(Result::Failed);
  const std::optional<Result> result = LockDescriptor(fd, name);
  if (result == Result::Locked) {
    fd_ = fd;
    path_ = path;
  }
  return result;
}

FileLock::Result FileLock::Lock(const QString& path) {
  Unlock();
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    bool missing = false;
    if (const std::optional<Result> result = TryExisting(path, missing)) return *result;
    if (!missing) continue;
    bool exists = false;
    const int created = CreateLocked(QFile::encodeName(path), exists);
    if (created >= 0) {
      fd_ = created;
      path_ = path;
      return Result::Locked;
    }
    if (!exists) return Result::Failed;
  }
  return Result::Busy;
}

FileLock::Result FileLock::LockExisting(const QString& path) {
  Unlock();
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    bool missing = false;
    if (const std::optional<Result> result = TryExisting(path, missing)) return *result;
    if (missing) break;
  }
  return Result::Failed;
}

void FileLock::Unlock() {
  if (fd_ < 0) return;
  const QByteArray name = QFile::encodeName(path_);
  // Removed while still held, so whoever opened it meanwhile finds it gone and starts again.
  if (SameFile(fd_, name)) ::unlink(name.constData());
  ::close(fd_);
  fd_ = -1;
  path_.clear();
}

} // namespace platform
