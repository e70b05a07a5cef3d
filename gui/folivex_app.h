#pragma once
// CFolivexApp: the front-end's application object without its windows. It owns the settings,
// the task manager and the single-instance lock, and runs start-up and exit.
//
// Start-up (InitInstance), in this order:
//   1. the display name from the language text "app" "NAME";
//   2. single instance: when another front-end runs, ask it to come to the front and fail;
//   3. read "setting.ini"; 4. load every task file;
//   5. InstallControlFactory() (the GUI installs the skin's control factory here);
//   6. CreateMainWindow() (the GUI creates CFolivexDlg, a CMainWindowEndpoint);
//   7. publish the main window's handle for later starts.
// The GUI subclass supplies the two hooks; the QApplication and its event loop belong to
// main(), which calls InitInstance, runs the loop, then ExitInstance.
//
// Exit: the main window runs RunExitSequence() (after storing its rectangle into Setting())
// while it is being destroyed; ExitInstance then deletes the main window object.
#include "common/library_init.h"
#include "core/main_window_endpoint.h"
#include "core/setting.h"
#include "gui/single_instance.h"
#include "core/task_manager.h"

#include <QSize>
#include <QString>
#include <memory>

class CFolivexApp : public CurlGlobal, public ImageLibraryInit {
public:
  /// `launcher` and `shutdown` must outlive the application object. `lockFolder` holds the
  /// single-instance files (the user's runtime folder unless a test names another).
  CFolivexApp(platform::FIProgramLauncher& launcher, platform::FIShutdown& shutdown,
              const QString& lockFolder = CSingleInstance::DefaultFolder());
  virtual ~CFolivexApp();

  /// The living application object, or null.
  static CFolivexApp* Instance();

  /// Start-up as above; `screen` is the primary screen's size (window position clamping).
  /// False when the process should end: another instance runs, or no main window came up.
  bool InitInstance(QSize screen);
  /// Deletes the main window object. Returns the process exit code.
  int ExitInstance();
  /// Stops every task (engines are told to quit), saves every task file and "task_index",
  /// then writes "setting.ini".
  void RunExitSequence();
  /// The exit has begun: a start from now on waits for this one to end.
  void AnnounceExit() { instance_.WithdrawMainWindow(); }
  /// How long a start waits for an instance that is ending.
  static constexpr int kWaitForEndingMs = 15000;

  QString DisplayName() const { return displayName_; }
  CSetting& Setting() { return setting_; }
  CTaskManager& Tasks() { return tasks_; }
  CMainWindowEndpoint* MainWindow() const { return mainWindow_.get(); }

protected:
  /// Step 5: install the application's skin control factory. Nothing by default.
  virtual void InstallControlFactory() {}
  /// Step 6: create the main window (it registers with Tasks() by being constructed).
  /// Null ends start-up with failure.
  virtual std::unique_ptr<CMainWindowEndpoint> CreateMainWindow() = 0;

private:
  QString displayName_ = QStringLiteral("Folivex");
  CSetting setting_;
  CTaskManager tasks_;
  CSingleInstance instance_;
  std::unique_ptr<CMainWindowEndpoint> mainWindow_;
};
