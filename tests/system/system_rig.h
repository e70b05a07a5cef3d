#pragma once
// The whole system in a sandbox: a program folder with the shipped skin and languages and a copy
// of the built Gantrell, Folivex's main window on a task manager whose engines are started for
// real (detached, as the product starts them) and recorded with their process ids, a shutdown
// that only counts, and a text viewer stand-in for the engine's link-search result.
#include "../core/frontend_fixture.h"
#include "../mainwindow/main_window_fixture.h"
#include "common/library_init.h"
#include "common/command_file.h"
#include "gui/folivex_dlg.h"
#include "gui/wnd_task_list.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

namespace system_test {

/// Whether the process lives (a zombie nobody reaped counts as ended).
bool Running(pid_t pid);

/// Starts engines with the product's detached launcher and records every start. Engines still
/// running when it dies are killed, each by its own process id.
class EngineLauncher : public platform::FIProgramLauncher {
public:
  struct Start {
    pid_t pid = 0;
    common::HandOff job; ///< what the hand-off file said
  };
  ~EngineLauncher() override { KillAll(); }
  pid_t Launch(const QString& program, const QStringList& arguments) override;
  /// SIGKILL to every recorded engine still running; waits until they are gone.
  void KillAll();
  /// True when no recorded engine runs any more.
  bool AllEnded() const;
  /// Recorded engines alive now.
  int LivingCount() const;

  std::vector<Start> starts;

private:
  platform::DetachedLauncher real_;
};

/// Follows the tasks: the most tasks that ever ran at once, and the most running tasks whose
/// engine had said hello, sampled at every notification and every Sample() call.
class RunningWatch : public CTaskEventObserver {
public:
  explicit RunningWatch(const CTaskManager& tasks) : tasks_(tasks) {}
  void OnTaskChanged() override { Sample(); }
  void Sample();
  int maxRunning = 0;
  int maxGreeted = 0;

private:
  const CTaskManager& tasks_;
};

class SystemRig {
public:
  SystemRig();
  ~SystemRig();

  /// Creates, initialises and shows the main window.
  CFolivexDlg& Open();
  CWndTaskList& List() const { return *window->TaskList(); }
  /// The list row of the task; null when it has none.
  CWndTaskList::CTaskListItem* RowOf(std::int32_t taskId) const;
  /// Points FOLIVEX_OPENER (inherited by the engines) at a script that copies the file it is
  /// asked to open to ViewerCopy(), so no viewer opens.
  void InstallViewer();
  QString ViewerCopy() const { return folder.File("viewer-copy"); }

  ImageLibraryInit magick; // the chapters' pictures are made here
  frontend_test::ProgramFolderSandbox folder;
  CSetting setting;
  EngineLauncher launcher;
  frontend_test::CountingShutdown shutdown;
  mainwindow_test::RecordingOpener opener;
  QStringList messages; ///< message boxes the main window would have shown
  std::unique_ptr<CTaskManager> tasks;
  std::unique_ptr<CFolivexDlg> window;
};

/// Once a modal dialog of type `Dialog` is up, runs `drive` on it from inside its event loop
/// (call this just before the command that opens it). A dialog still open afterwards is
/// rejected, so a failed step never leaves the test hanging in exec().
template <class Dialog>
void DriveNextModal(std::function<void(Dialog&)> drive) {
  QTimer::singleShot(0, [drive] {
    QPointer<Dialog> dialog;
    testing_support::WaitFor([&] {
      dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
      return !dialog.isNull();
    }, 20000);
    if (dialog.isNull()) return;
    drive(*dialog);
    if (dialog && dialog->isVisible()) dialog->reject();
  });
}

} // namespace system_test
