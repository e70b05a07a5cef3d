#pragma once
// FileLock: an advisory lock (flock) on a small file, which the system releases when the
// process that holds it dies, however it dies. It marks a folder as taken by one living
// process: a download folder by its task, a private temporary folder by its owner.
//
// The lock is never inherited by programs this process starts (the descriptor is closed on
// exec). Releasing it removes the file first, so no file is left behind; a file left by a
// process that died is taken over by the next one to lock it. Locking checks that the file it
// locked is still the one at the path, so a holder that removes the file at the same moment
// can never give two processes the lock at once.
#include <QString>
#include <optional>

namespace platform {

class FileLock {
public:
  enum class Result {
    Locked, ///< this object holds the lock now
    Busy,   ///< another open file, in this process or another, holds it
    Failed, ///< the file cannot be made or locked (no such folder, no right, no lock support)
  };

  FileLock() = default;
  ~FileLock() { Unlock(); }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  /// Locks `path` without waiting, creating the file when it is missing. A file created here
  /// appears at the path already locked, so no one else ever sees it unlocked.
  Result Lock(const QString& path);
  /// Locks `path` only when the file exists (Failed otherwise): whoever finds it free knows
  /// that the process that made it has ended.
  Result LockExisting(const QString& path);
  /// Removes the file and releases the lock; nothing when not locked.
  void Unlock();

  bool IsLocked() const { return fd_ >= 0; }
  QString Path() const { return path_; }

private:
  /// One attempt at the file that lies at `path` now. Empty when there is none (`missing`
  /// set) or it was removed between open and lock.
  std::optional<Result> TryExisting(const QString& path, bool& missing);

  int fd_ = -1;
  QString path_;
};

} // namespace platform
