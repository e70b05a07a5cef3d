#pragma once
// A program folder of its own for every main-window test: the shipped languages and default
// skin copied into a sandbox, a task manager whose engine starts are recorded (or run by the
// fake engine), an opener that opens nothing, and the application's control factory.
#include "../core/frontend_fixture.h"
#include "gui/folivex_dlg.h"
#include "core/setting.h"
#include "core/task_manager.h"
#include "gui/wnd_task_list.h"

#include "recording_opener.h"

#include <QStringList>
#include <memory>

namespace mainwindow_test {

using RecordingOpener = testing_support::RecordingOpener;

/// Copies the languages and the default skin of `dist` into the current program folder.
void CopyShippedData(const QString& dist, const QString& programFolder);

/// Everything a main window needs, in a sandbox. The window itself is made by Open().
class MainWindowRig {
public:
  explicit MainWindowRig(const QString& fakeEngine = QString());
  ~MainWindowRig();

  /// Adds a stopped task with these figures (title may be empty).
  CTaskInfo* Add(const QString& title, int finish, int total);
  /// Creates, initialises and shows the main window; the tray is taken as present.
  CFolivexDlg& Open();
  CWndTaskList& List() const;
  /// Writes the settings file (so the window uses the stored geometry).
  void WriteSettings() const { setting.Write(CSetting::DefaultFile()); }

  frontend_test::ProgramFolderSandbox folder;
  CSetting setting;
  frontend_test::RecordingLauncher launcher;
  frontend_test::CountingShutdown shutdown;
  RecordingOpener opener;
  QStringList boxes;       ///< texts of the message boxes and questions shown, in order
  bool boxAnswer = true;   ///< what every question is answered
  std::unique_ptr<CTaskManager> tasks;
  std::unique_ptr<CFolivexDlg> window;
  int exits = 0;
};

} // namespace mainwindow_test
