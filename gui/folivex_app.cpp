#include "gui/folivex_app.h"

#include "common/skin_loader.h"

#include <cstdio>

namespace {
CFolivexApp* theApp = nullptr;
}

CFolivexApp::CFolivexApp(platform::FIProgramLauncher& launcher, platform::FIShutdown& shutdown,
                         const QString& lockFolder)
    : tasks_(setting_, launcher, shutdown), instance_(lockFolder) {
  theApp = this;
}

CFolivexApp::~CFolivexApp() {
  mainWindow_.reset();
  if (theApp == this) theApp = nullptr;
}

CFolivexApp* CFolivexApp::Instance() { return theApp; }

bool CFolivexApp::InitInstance(QSize screen) {
  const QString name = FCSkinLoader::LoadLanguageText(QStringLiteral("app"), QStringLiteral("NAME"));
  if (!name.isEmpty()) displayName_ = name;

  if (!instance_.TryBecomeFirst()) {
    if (instance_.ActivateFirst()) return false;
    // No window answers: the first instance is ending (it saves its tasks) or hangs.
    if (!instance_.WaitToBecomeFirst(kWaitForEndingMs)) {
      std::fprintf(stderr, "Folivex: another Folivex is running but does not answer; "
                           "try again once it has ended\n");
      return false;
    }
  }
  // Values that were damaged took their defaults: the file says so from now on.
  if (setting_.Read(CSetting::DefaultFile(), screen)) setting_.Write(CSetting::DefaultFile());
  common::ApplyNetworkSetting(setting_.network); // for the news download and every engine
  tasks_.LoadAllTasks();
  for (const QString& file : tasks_.SetAsideFiles())
    std::fprintf(stderr, "Folivex: a task file that could not be read was kept aside as %s\n",
                 qPrintable(file));
  InstallControlFactory();
  mainWindow_ = CreateMainWindow();
  if (!mainWindow_) return false;
  instance_.PublishMainWindow(mainWindow_->Handle());
  return true;
}

int CFolivexApp::ExitInstance() {
  mainWindow_.reset();
  return 0;
}

void CFolivexApp::RunExitSequence() {
  AnnounceExit();
  tasks_.StopAllTasks();
  tasks_.SaveAllTasks();
  setting_.Write(CSetting::DefaultFile());
}
