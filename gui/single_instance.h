#pragma once
// CSingleInstance: only one front-end runs per user. The first instance holds a lock file in
// the user's runtime folder and publishes its main window's handle beside it; a later start
// finds the lock taken, asks that window to come to the front (WM_APP_ACTIVATE_INSTANCE, sent
// without waiting) and ends without reading or writing anything else. An instance that is
// ending has taken its handle back: a start meanwhile waits for its lock instead.
//
// The lock dies with its process, so a crashed first instance never blocks later starts.
#include "common/protocol.h"
#include "platform/window_message.h"

#include <QLockFile>
#include <QString>
#include <memory>

class CSingleInstance {
public:
  /// Front-end to front-end: bring your main window to the front. wParam and lParam are 0.
  static constexpr std::uint32_t WM_APP_ACTIVATE_INSTANCE = protocol::WM_APP + 0x10;

  /// `folder` holds the lock and handle files; by default the user's runtime folder.
  explicit CSingleInstance(const QString& folder = DefaultFolder());
  ~CSingleInstance();

  static QString DefaultFolder();
  QString LockFile() const { return folder_ + QStringLiteral("folivex.lock"); }
  QString HandleFile() const { return folder_ + QStringLiteral("folivex.hwnd"); }

  /// True when this process is (now) the first instance; it then holds the lock until this
  /// object dies.
  bool TryBecomeFirst();
  /// The first instance's main window, as published; 0 when none is known.
  platform::HWND FirstInstanceWindow() const;
  /// Later start: asks the first instance's main window to come to the front. False when no
  /// such window answers.
  bool ActivateFirst() const;
  /// First instance: publishes its main window's handle (written whole or not at all).
  bool PublishMainWindow(platform::HWND window);
  /// First instance, as its exit begins: takes the handle back, so a start meanwhile knows
  /// that this instance is ending rather than running.
  void WithdrawMainWindow();
  /// Later start that found no window to activate: waits up to `timeoutMs` for the first
  /// instance to end and release the lock (an exit saving its tasks). True when this process
  /// is the first instance now.
  bool WaitToBecomeFirst(int timeoutMs);

private:
  QString folder_;
  std::unique_ptr<QLockFile> lock_;
};
