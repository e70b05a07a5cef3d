// A second start of the front-end for the single-instance test: runs the real start-up in a
// program folder and a lock folder given on the command line.
//
//   second_start <program folder> <lock folder>
// Exit code: 0 when start-up refused (another instance runs), 1 when it started, 2 on misuse.
#include "common/program_folder.h"
#include "gui/folivex_app.h"

#include <QCoreApplication>

namespace {

class NoLauncher : public platform::FIProgramLauncher {
public:
  pid_t Launch(const QString&, const QStringList&) override { return 0; }
};

class NoShutdown : public platform::FIShutdown {
public:
  bool PowerOff() override { return false; }
};

class SecondApp : public CFolivexApp {
public:
  using CFolivexApp::CFolivexApp;

protected:
  std::unique_ptr<CMainWindowEndpoint> CreateMainWindow() override {
    return std::make_unique<CMainWindowEndpoint>(Tasks());
  }
};

} // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 3) return 2;
  common::SetProgramFolder(args[1]);
  NoLauncher launcher;
  NoShutdown shutdown;
  SecondApp second(launcher, shutdown, args[2]);
  return second.InitInstance(QSize(1920, 1080)) ? 1 : 0;
}
