#include "core/folder_locks.h"

#include "common/program_folder.h"

bool CFolderLocks::Acquire(std::int32_t id, const QString& folder) {
  const QString path = common::WithTrailingSlash(folder);
  const auto it = held_.find(id);
  if (it != held_.end() && it->second.folder == path) return true;
  Release(id);
  auto lock = std::make_unique<platform::FileLock>();
  switch (lock->Lock(path + QLatin1String(kLockFile))) {
  case platform::FileLock::Result::Busy: return false;
  case platform::FileLock::Result::Failed: lock.reset(); break;
  case platform::FileLock::Result::Locked: break;
  }
  held_[id] = Held{path, std::move(lock)};
  return true;
}
