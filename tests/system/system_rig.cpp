#include "system_rig.h"

#include "common/program_folder.h"
#include "gui/comic_ctrl_factory.h"
#include "skin/panel_ctrl_factory.h"

#include <QFile>
#include <csignal>

namespace system_test {

bool Running(pid_t pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (pid <= 0 || !stat.open(QIODevice::ReadOnly)) return false;
  const QByteArray line = stat.readAll();
  const int close = line.lastIndexOf(')');
  return close > 0 && line.size() > close + 2 && line[close + 2] != 'Z';
}

pid_t EngineLauncher::Launch(const QString& program, const QStringList& arguments) {
  Start start;
  start.job = common::ReadHandOffFile(arguments.value(0)); // before the engine deletes it
  start.pid = real_.Launch(program, arguments);
  starts.push_back(start);
  return start.pid;
}

void EngineLauncher::KillAll() {
  for (const Start& start : starts)
    if (Running(start.pid)) ::kill(start.pid, SIGKILL);
  testing_support::WaitFor([this] { return AllEnded(); }, 10000);
}

bool EngineLauncher::AllEnded() const { return LivingCount() == 0; }

int EngineLauncher::LivingCount() const {
  int living = 0;
  for (const Start& start : starts)
    if (Running(start.pid)) ++living;
  return living;
}

void RunningWatch::Sample() {
  int running = 0, greeted = 0;
  for (const auto& task : tasks_) {
    if (task->status != TASK_RUNNING) continue;
    ++running;
    if (task->engine_wnd != 0) ++greeted;
  }
  maxRunning = std::max(maxRunning, running);
  maxGreeted = std::max(maxGreeted, greeted);
}

SystemRig::SystemRig() {
  mainwindow_test::CopyShippedData(QStringLiteral(FOLIVEX_DIST_DIR), folder.Folder());
  // The engine finds its command files next to itself, so it runs from this folder too.
  const QString engine = folder.File("Gantrell");
  QFile::copy(testing_support::AppFolder() + "Gantrell", engine);
  setting.folder = folder.File("comics/");
  tasks = std::make_unique<CTaskManager>(setting, launcher, shutdown);
  tasks->SetEngineProgram(engine);
  platform::SetOpener(&opener);
  CFolivexDlg::SetMessageSink([this](const QString& text) { messages << text; });
  SetPanelCtrlFactory(new CComicCtrlFactory(*tasks));
}

SystemRig::~SystemRig() {
  if (tasks) tasks->StopAllTasks();
  window.reset();
  launcher.KillAll();
  SetPanelCtrlFactory(new FCPanelCtrlFactory);
  platform::SetOpener(nullptr);
  qunsetenv("FOLIVEX_OPENER");
  CFolivexDlg::SetMessageSink({});
  tasks.reset();
}

CFolivexDlg& SystemRig::Open() {
  window = std::make_unique<CFolivexDlg>(*tasks, setting, QStringLiteral("Folivex"));
  window->SetTrayAvailability([] { return true; });
  window->SetExitHandler([] {});
  window->Initialize();
  return *window;
}

CWndTaskList::CTaskListItem* SystemRig::RowOf(std::int32_t taskId) const {
  for (int i = 0; i < List().ItemCount(); ++i)
    if (List().Row(i)->task_id == taskId) return List().Row(i);
  return nullptr;
}

void SystemRig::InstallViewer() {
  const QString script = folder.File("viewer.sh");
  // Copy, then rename: a reader never sees half a file.
  const QByteArray text = QStringLiteral("#!/bin/sh\ncp \"$1\" '%1.tmp' && mv '%1.tmp' '%1'\n")
                              .arg(ViewerCopy())
                              .toUtf8();
  testing_support::WriteBytes(script, text);
  QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  qputenv("FOLIVEX_OPENER", script.toUtf8());
}

} // namespace system_test
