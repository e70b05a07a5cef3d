#include "main_window_fixture.h"

#include "gui/dlg_balloon_tip.h"

#include "gui/comic_ctrl_factory.h"
#include "skin/panel_ctrl_factory.h"
#include "common/skin_loader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace mainwindow_test {

void CopyShippedData(const QString& dist, const QString& programFolder) {
  for (const QString& part : {QStringLiteral("language"), QStringLiteral("skin/default")}) {
    QDirIterator it(dist + "/" + part, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString source = it.next();
      const QString target = programFolder + part + "/" +
                             QDir(dist + "/" + part).relativeFilePath(source);
      QDir().mkpath(QFileInfo(target).absolutePath());
      QFile::remove(target);
      QFile::copy(source, target);
    }
  }
  FCSkinLoader::ResetLanguageCache();
}

MainWindowRig::MainWindowRig(const QString& fakeEngine) : launcher(fakeEngine) {
  CopyShippedData(QStringLiteral(FOLIVEX_DIST_DIR), folder.Folder());
  setting.folder = folder.File("comics/");
  tasks = std::make_unique<CTaskManager>(setting, launcher, shutdown);
  tasks->SetEngineProgram(folder.File("Gantrell"));
  platform::SetOpener(&opener);
  dialogs::SetBoxAnswerer([this](const QString& text) {
    boxes << text;
    return boxAnswer;
  });
  SetPanelCtrlFactory(new CComicCtrlFactory(*tasks));
}

MainWindowRig::~MainWindowRig() {
  window.reset();
  SetPanelCtrlFactory(new FCPanelCtrlFactory);
  platform::SetOpener(nullptr);
  dialogs::SetBoxAnswerer({});
  CFolivexDlg::SetMenuChooser({});
  CFolivexDlg::SetMessageSink({});
  tasks.reset();
}

CTaskInfo* MainWindowRig::Add(const QString& title, int finish, int total) {
  const int n = tasks->Count();
  CTaskInfo* task = tasks->AddTask(QStringLiteral("http://127.0.0.1/comic/%1/1.html").arg(n),
                                   folder.File(QStringLiteral("comics/%1/").arg(n)), false);
  if (!task) return nullptr;
  task->title = title;
  task->finish = finish;
  task->total = total;
  return task;
}

CFolivexDlg& MainWindowRig::Open() {
  window = std::make_unique<CFolivexDlg>(*tasks, setting, QStringLiteral("Folivex"));
  window->SetTrayAvailability([] { return true; });
  window->SetExitHandler([this] { ++exits; });
  window->Initialize();
  return *window;
}

CWndTaskList& MainWindowRig::List() const { return *window->TaskList(); }

} // namespace mainwindow_test
