#include "frontend_stub.h"

#include "common/program_folder.h"
#include "common/protocol.h"
#include "test_support.h"

#include <QFile>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace testing_support {

FrontEndStub::FrontEndStub() { common::SetProgramFolder(AppFolder()); }

platform::LRESULT FrontEndStub::WindowProc(std::uint32_t message, platform::WPARAM wParam,
                                           platform::LPARAM lParam) {
  switch (message) {
  case protocol::WM_APP_ENGINE_HELLO:
    ++helloCount;
    if (!acceptHello) return 0;
    engineWindow = platform::HWND(lParam);
    return protocol::ENGINE_HELLO_ACCEPTED;
  case protocol::WM_APP_ENGINE_COMMAND: {
    const QString path = common::CommandFilePath(std::int32_t(wParam), std::int32_t(lParam));
    const QStringList items = common::ReadCommandFile(path);
    QFile::remove(path);
    const std::optional<common::EngineReport> report = common::ParseReport(items);
    if (!report) {
      malformed.push_back(items);
      return 0;
    }
    reports.push_back(*report);
    if (onReport) onReport(*report);
    return 0;
  }
  case protocol::WM_APP_SEARCH_DONE:
    ++searchDoneCount;
    searchDone = {std::int64_t(wParam), std::int64_t(lParam)};
    engineWindow = 0;
    return protocol::ENGINE_HELLO_ACCEPTED;
  default:
    return 0;
  }
}

void FrontEndStub::QuitEngine() {
  if (platform::IsWindow(engineWindow))
    platform::SendNotifyMessage(engineWindow, protocol::WM_APP_ENGINE_QUIT, 0, 0);
  engineWindow = 0;
}

EngineProcess::EngineProcess(common::HandOff job, const FrontEndStub& window) {
  if (job.hwnd == 0) job.hwnd = window.Handle();
  handOffPath_ = common::WriteHandOffFile(job);
  Start({handOffPath_});
}

EngineProcess::EngineProcess(const QStringList& arguments) { Start(arguments); }

void EngineProcess::Start(const QStringList& arguments) {
  const QByteArray program = QFile::encodeName(AppFolder() + QStringLiteral("Gantrell"));
  std::vector<QByteArray> storage{program};
  for (const QString& a : arguments) storage.push_back(a.toUtf8());
  std::vector<char*> argv;
  for (QByteArray& s : storage) argv.push_back(s.data());
  argv.push_back(nullptr);
  if (posix_spawn(&pid_, program.constData(), nullptr, nullptr, argv.data(), environ) != 0) pid_ = 0;
}

bool EngineProcess::Finished() {
  if (pid_ <= 0) return true;
  int status = 0;
  const pid_t done = waitpid(pid_, &status, WNOHANG);
  if (done != pid_) return false;
  exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  pid_ = 0;
  return true;
}

EngineProcess::~EngineProcess() {
  if (pid_ > 0 && !Finished()) {
    kill(pid_, SIGTERM);
    if (!WaitFor([this] { return Finished(); }, 3000)) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  if (!handOffPath_.isEmpty()) QFile::remove(handOffPath_);
}

} // namespace testing_support
