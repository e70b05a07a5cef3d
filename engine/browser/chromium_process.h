#pragma once
// CChromiumProcess: one headless Chromium child of the engine, reachable only through its
// debugging pipe (no port is opened), with a fresh profile folder that is removed again.
// The child dies with the engine: it asks the kernel for SIGKILL when its parent ends, and the
// destructor ends it by its process id.
#include "platform/file_lock.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <sys/types.h>

namespace engine {

class CChromiumProcess {
public:
  /// The desktop a page sees: a common screen with a browser window on it.
  static constexpr int kScreenWidth = 1920;
  static constexpr int kScreenHeight = 1080;
  static constexpr int kWindowWidth = 1280;
  static constexpr int kWindowHeight = 800;

  CChromiumProcess() = default;
  ~CChromiumProcess(); ///< Ends the browser (SIGTERM, then SIGKILL) and removes the profile.
  CChromiumProcess(const CChromiumProcess&) = delete;
  CChromiumProcess& operator=(const CChromiumProcess&) = delete;

  /// The browser executable: $GANTRELL_CHROMIUM if set, else the distribution's Chromium
  /// headless shell or full Chromium program in /usr/lib (without its launcher script), else
  /// "chromium-headless-shell", "chromium" or "chromium-browser" on the PATH. Empty when none
  /// is found.
  static QString FindExecutable();
  /// The command-line switches the browser runs with (without the program itself).
  static QStringList Arguments(const QString& profileFolder);
  /// The browser's environment ("NAME=value"): the engine's own, except that the home,
  /// configuration, data, cache and temporary folders all lie below the profile folder, so
  /// nothing the browser writes (downloads, crash reports, certificate stores) outlives it.
  static QStringList Environment(const QString& profileFolder);

  /// The lock file of a profile folder: held by the engine that made the folder while it
  /// lives (platform::FileLock), so a folder whose lock is free was left by a dead engine.
  static constexpr const char* kOwnerFile = "gantrell-owner.lock";
  /// Removes from the temporary folder the profile folders that dead engines left: at once
  /// when their owner's lock is free, whatever their age. Folders without the lock file
  /// (made by an older engine) go when their browser no longer runs, or after ten minutes.
  static void RemoveStaleProfiles();

  /// Starts `executable`. On failure returns false and sets `error` to one readable line.
  bool Start(const QString& executable, QString* error);

  /// Our ends of the pipe; the caller takes ownership (each is handed out once, then -1).
  int TakeReadFd();
  int TakeWriteFd();
  pid_t Pid() const { return pid_; }

private:
  void End();

  pid_t pid_ = -1;
  int readFd_ = -1;
  int writeFd_ = -1;
  std::unique_ptr<QTemporaryDir> profile_;
  platform::FileLock owner_; // inside profile_, released before it is removed
};

} // namespace engine
