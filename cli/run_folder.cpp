#include "cli/run_folder.h"

#include "platform/termination.h"

#include <QDir>
#include <QFileInfo>
#include <unistd.h>

namespace folivex_get {
namespace {
const QString kPattern = QStringLiteral("folivex-get-XXXXXX");
} // namespace

CRunFolder::CRunFolder() {
  RemoveOrphans(QDir::tempPath());
  folder_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QLatin1Char('/') + kPattern);
  if (!folder_->isValid()) return;
  owner_.Lock(folder_->filePath(QLatin1String(kOwnerFile)));
  platform::RemoveFolderOnFatalSignal(folder_->path());
}

CRunFolder::~CRunFolder() {
  if (!folder_->isValid()) return;
  platform::RemoveFolderOnFatalSignal(QString());
  owner_.Unlock();
  folder_->remove();
}

int CRunFolder::RemoveOrphans(const QString& tempFolder) {
  const QDir temp(tempFolder);
  const QString prefix = kPattern.left(kPattern.indexOf(QLatin1Char('X')));
  int removed = 0;
  // Real folders only: removing through a link named like a run folder would empty whatever
  // folder it points to.
  for (const QFileInfo& entry : temp.entryInfoList({prefix + QLatin1Char('*')},
                                                   QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks | QDir::Hidden)) {
    if (entry.fileName().size() != kPattern.size() || entry.ownerId() != ::geteuid()) continue;
    platform::FileLock owner;
    if (owner.LockExisting(entry.filePath() + QLatin1Char('/') + QLatin1String(kOwnerFile)) !=
        platform::FileLock::Result::Locked)
      continue;
    removed += QDir(entry.filePath()).removeRecursively() ? 1 : 0;
  }
  return removed;
}

} // namespace folivex_get
