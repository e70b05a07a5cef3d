#include "frontend_fixture.h"

#include "common/ini_rules.h"
#include "common/profile.h"
#include "common/program_folder.h"
#include "common/protocol.h"
#include "platform/process.h"
#include "common/skin_loader.h"

#include <QDir>

namespace frontend_test {

ProgramFolderSandbox::ProgramFolderSandbox() : folder_(common::WithTrailingSlash(sandbox_.path())) {
  QDir root(folder_);
  root.mkpath(QStringLiteral("task"));
  root.mkpath(QStringLiteral("skin/cmd"));
  root.mkpath(QStringLiteral("language"));
  root.mkpath(QStringLiteral("downloads"));
  const QString english = folder_ + QStringLiteral("language/1033.ini");
  common::CreateUnicodeProfileFile(english);
  common::WriteProfileString(english, QStringLiteral("LANGUAGE"), QStringLiteral("English"));
  common::WriteProfileString(english, QStringLiteral("1"), ErrorText(), QStringLiteral("ERROR"));
  for (int reason : {2, 3, 4, 5})
    common::WriteProfileString(english, QString::number(reason), ErrorText(reason),
                               QStringLiteral("ERROR"));
  for (const char* reason : {"http", "no_image", "image_redirects", "engine_crashed",
                             "engine_no_hello", "engine_silent", "folder_not_absolute"})
    common::WriteProfileString(english, QString::fromLatin1(reason),
                               ReasonText(QString::fromLatin1(reason)), QStringLiteral("REASON"));
  common::SetProgramFolder(folder_);
  FCSkinLoader::ResetLanguageCache();
}

ProgramFolderSandbox::~ProgramFolderSandbox() {
  common::SetProgramFolder(QString());
  FCSkinLoader::ResetLanguageCache();
}

RecordingLauncher::~RecordingLauncher() { KillAll(); }

pid_t RecordingLauncher::Launch(const QString& program, const QStringList& arguments) {
  const QString handOff = arguments.value(0);
  // Asked of the system, not of QProcess, which learns of an ended child only later.
  int living = 0;
  for (const auto& launch : launches)
    living += platform::IsProcessRunning(platform::IdentifyProcess(launch.pid)) ? 1 : 0;
  launches.push_back({program, common::ReadHandOffFile(handOff), handOff, 0, living});
  if (fakeEngine_.isEmpty() && !runRequested_) return 0;
  const std::int32_t id = launches.back().job.id.value_or(0);
  auto child = std::make_unique<QProcess>();
  child->setProcessChannelMode(QProcess::ForwardedChannels);
  if (runRequested_)
    child->start(program, arguments);
  else
    child->start(fakeEngine_, {handOff, common::ProgramFolder(), scripts_.value(id, defaultScript_)});
  const pid_t pid = child->waitForStarted(5000) ? pid_t(child->processId()) : 0;
  children_.push_back(std::move(child));
  launches.back().pid = pid;
  return pid;
}

void RecordingLauncher::KillAll() {
  for (auto& child : children_) {
    if (child->state() != QProcess::NotRunning) {
      child->kill();
      child->waitForFinished(5000);
    }
  }
  children_.clear();
}

bool RecordingLauncher::AllEnded() const {
  for (const auto& child : children_)
    if (child->state() != QProcess::NotRunning) return false;
  return true;
}

platform::LRESULT EngineStandIn::WindowProc(std::uint32_t message, platform::WPARAM,
                                            platform::LPARAM) {
  if (message == protocol::WM_APP_ENGINE_QUIT) ++quits;
  return 0;
}

void WriteTaskFile(const QString& path, const QList<QPair<QString, QString>>& keys) {
  common::CreateUnicodeProfileFile(path);
  for (const auto& [key, value] : keys) common::WriteProfileString(path, key, value);
}

} // namespace frontend_test
