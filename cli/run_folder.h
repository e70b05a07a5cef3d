#pragma once
// CRunFolder: the private temporary folder of one folivex-get run, "folivex-get-XXXXXX" in the
// temporary folder. A download keeps its task store there, a link search the copy of the
// engine's result.
//
// The folder goes with its run: when the run ends, and when a signal ends folivex-get before
// (platform::RemoveFolderOnFatalSignal). Only SIGKILL leaves it behind; for that case the folder
// holds a lock file that its run holds while it lives, and the next run removes every run
// folder whose lock it can take: folders of runs that are still going are never touched.
//
// One CRunFolder per process at a time.
#include "platform/file_lock.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace folivex_get {

class CRunFolder {
public:
  /// The lock file inside every run folder.
  static constexpr const char* kOwnerFile = "owner.lock";

  /// Removes the folders ended runs left, then makes this run's own.
  CRunFolder();
  ~CRunFolder();
  CRunFolder(const CRunFolder&) = delete;
  CRunFolder& operator=(const CRunFolder&) = delete;

  bool isValid() const { return folder_->isValid(); }
  QString path() const { return folder_->path(); }
  QString filePath(const QString& name) const { return folder_->filePath(name); }

  /// Removes from `tempFolder` the run folders of this user whose run has ended; returns how
  /// many went. Folders without the lock file (still being made, or not ours) stay.
  static int RemoveOrphans(const QString& tempFolder);

private:
  std::unique_ptr<QTemporaryDir> folder_;
  platform::FileLock owner_;
};

} // namespace folivex_get
