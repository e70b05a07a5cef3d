#pragma once
// CFolderLocks: one download per folder. A task that downloads holds an advisory lock on the
// small file kLockFile inside its folder (platform::FileLock), released when the task stops
// and by the system when the process dies. Another task that wants the same folder, in this
// front-end or in another (Folivex and folivex-get alike), finds it busy.
//
// A folder where no lock can be made (it does not exist yet, is read-only, or its file system
// has no locks) counts as free: the download then goes as it would without the lock.
#include "platform/file_lock.h"

#include <QString>
#include <cstdint>
#include <map>
#include <memory>

class CFolderLocks {
public:
  /// The lock file in a download folder; it is removed again when the download lets go.
  static constexpr const char* kLockFile = ".folivex-download.lock";

  /// Takes `folder` for task `id`: true when the task holds it now (or held it already),
  /// false when another download uses it.
  bool Acquire(std::int32_t id, const QString& folder);
  /// Lets go of the task's folder; nothing when it holds none.
  void Release(std::int32_t id) { held_.erase(id); }
  bool Holds(std::int32_t id) const { return held_.count(id) > 0; }

private:
  struct Held {
    QString folder;
    std::unique_ptr<platform::FileLock> lock; // null: the folder could not be locked at all
  };
  std::map<std::int32_t, Held> held_;
};
