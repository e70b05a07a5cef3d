#include "gui/single_instance.h"

#include "common/ini_rules.h"
#include "common/program_folder.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

CSingleInstance::CSingleInstance(const QString& folder)
    : folder_(common::WithTrailingSlash(folder)) {}

CSingleInstance::~CSingleInstance() {
  if (lock_ && lock_->isLocked()) {
    QFile::remove(HandleFile());
    lock_->unlock();
  }
}

QString CSingleInstance::DefaultFolder() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  return common::WithTrailingSlash(folder);
}

bool CSingleInstance::TryBecomeFirst() {
  if (lock_ && lock_->isLocked()) return true;
  QDir().mkpath(folder_);
  lock_ = std::make_unique<QLockFile>(LockFile());
  lock_->setStaleLockTime(0); // only a dead owner makes the lock stale, never its age
  if (!lock_->tryLock(0)) {
    // Only a lock that another living instance holds keeps this one from starting; a folder
    // where no lock can be made must not lock the user out of the program.
    if (lock_->error() == QLockFile::LockFailedError) return false;
    lock_.reset();
    return true;
  }
  // A handle left by a crashed instance names no window of ours.
  QFile::remove(HandleFile());
  return true;
}

platform::HWND CSingleInstance::FirstInstanceWindow() const {
  QFile file(HandleFile());
  if (!file.open(QIODevice::ReadOnly)) return 0;
  return common::ParseInt32(QString::fromLatin1(file.read(32)));
}

bool CSingleInstance::ActivateFirst() const {
  const platform::HWND window = FirstInstanceWindow();
  return window != 0 && platform::SendNotifyMessage(window, WM_APP_ACTIVATE_INSTANCE, 0, 0);
}

bool CSingleInstance::PublishMainWindow(platform::HWND window) {
  if (!lock_) return false; // not holding the lock: nothing to announce
  QSaveFile file(HandleFile());
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(QByteArray::number(window));
  return file.commit();
}

void CSingleInstance::WithdrawMainWindow() {
  if (lock_ && lock_->isLocked()) QFile::remove(HandleFile());
}

bool CSingleInstance::WaitToBecomeFirst(int timeoutMs) {
  if (lock_ && lock_->isLocked()) return true;
  if (!lock_) {
    lock_ = std::make_unique<QLockFile>(LockFile());
    lock_->setStaleLockTime(0);
  }
  if (!lock_->tryLock(timeoutMs)) return false;
  QFile::remove(HandleFile());
  return true;
}
