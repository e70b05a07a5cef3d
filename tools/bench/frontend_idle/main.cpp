// bench_frontend_idle: the front-end's start-up (settings, every task file, single-instance
// lock, the main window's message endpoint and the task manager) with no windows, then an idle
// event loop until a termination signal, on which it runs the front-end's exit sequence (the
// folder is a throw-away copy).
// Like the front-end it works in its own program folder: copy it into a prepared folder
// ("setting.ini", "task/") and run the copy there. It never starts an engine: its launcher
// refuses every launch. Prints "tasks N" once start-up is done.
#include "common/program_folder.h"
#include "gui/folivex_app.h"
#include "core/main_window_endpoint.h"
#include "platform/termination.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

class CRefusingLauncher : public platform::FIProgramLauncher {
public:
  pid_t Launch(const QString&, const QStringList&) override { return 0; }
};

class CNoPowerOff : public platform::FIShutdown {
public:
  bool PowerOff() override { return false; }
};

class CIdleApp : public CFolivexApp {
public:
  using CFolivexApp::CFolivexApp;

protected:
  std::unique_ptr<CMainWindowEndpoint> CreateMainWindow() override {
    return std::make_unique<CMainWindowEndpoint>(Tasks());
  }
};

} // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  CRefusingLauncher launcher;
  CNoPowerOff shutdown;
  // The lock lives in the program folder, so a front-end the user runs is never disturbed.
  CIdleApp folivex(launcher, shutdown, common::ProgramFolder());
  if (!folivex.InitInstance(QSize(1024, 768))) {
    std::fprintf(stderr, "bench_frontend_idle: start-up failed\n");
    return 1;
  }
  std::printf("tasks %d\n", folivex.Tasks().Count());
  std::fflush(stdout);
  platform::QuitOnTerminationSignals();
  app.exec();
  folivex.RunExitSequence();
  return folivex.ExitInstance();
}
