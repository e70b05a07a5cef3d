#pragma once
// Shared pieces of the front-end tests: a program folder in a sandbox, a launcher that records
// every engine start (and may run the fake engine), a shutdown that only counts, a main window
// and an engine window that record what reaches them.
#include "common/command_file.h"
#include "core/main_window_endpoint.h"
#include "core/task_manager.h"
#include "platform/launcher.h"
#include "platform/shutdown.h"
#include "test_support.h"

#include <QHash>
#include <QProcess>
#include <memory>
#include <vector>

namespace frontend_test {

/// A sandbox laid out as a program folder (task/, skin/cmd/, language/ with a small English
/// file) and made the process's program folder while it lives.
class ProgramFolderSandbox {
public:
  ProgramFolderSandbox();
  ~ProgramFolderSandbox();
  QString Folder() const { return folder_; }
  QString File(const QString& relative) const { return folder_ + relative; }
  /// An existing, writable folder for downloads, ending with "/".
  QString Downloads() const { return folder_ + QStringLiteral("downloads/"); }
  /// The text the English test file holds for "ERROR" "1", and for the other reasons.
  static QString ErrorText() { return QStringLiteral("Download failed"); }
  static QString ErrorText(int reason) { return QStringLiteral("Failure %1").arg(reason); }
  /// The test file's "REASON" text of a few reasons: "Reason <name> [%s]"; filled in as the
  /// program fills it, "Reason <name> [<detail>]".
  static QString ReasonText(const QString& name, const QString& detail = QStringLiteral("%s")) {
    return QStringLiteral("Reason %1 [%2]").arg(name, detail);
  }

private:
  testing_support::Sandbox sandbox_;
  QString folder_;
};

/// Records every launch; with a fake engine path it also starts that program for real, with
/// the script registered for the task id (or the default script).
class RecordingLauncher : public platform::FIProgramLauncher {
public:
  struct Launch {
    QString program;
    common::HandOff job;
    QString handOff; ///< the file's path; without an engine to start, the launch fails
    pid_t pid = 0;          ///< the started engine's process id; 0 when none was started
    int livingBefore = 0;   ///< engines of this launcher still running when it was started
  };
  explicit RecordingLauncher(QString fakeEngine = QString()) : fakeEngine_(std::move(fakeEngine)) {}
  ~RecordingLauncher() override;

  pid_t Launch(const QString& program, const QStringList& arguments) override;
  void SetScript(std::int32_t id, const QString& script) { scripts_[id] = script; }
  void SetDefaultScript(const QString& script) { defaultScript_ = script; }
  /// Starts the program the task manager asks for, with its own arguments (the real engine),
  /// instead of the fake engine.
  void RunRequestedProgram() { runRequested_ = true; }
  /// Kills every engine still running (by its process id) and waits for it.
  void KillAll();
  /// True when every started engine process has ended.
  bool AllEnded() const;

  std::vector<struct Launch> launches;

private:
  QString fakeEngine_;
  bool runRequested_ = false;
  QString defaultScript_ = QStringLiteral("info:2,saveall");
  QHash<std::int32_t, QString> scripts_;
  std::vector<std::unique_ptr<QProcess>> children_;
};

class CountingShutdown : public platform::FIShutdown {
public:
  bool PowerOff() override {
    ++calls;
    return true;
  }
  int calls = 0;
};

class TestMainWindow : public CMainWindowEndpoint {
public:
  using CMainWindowEndpoint::CMainWindowEndpoint;
  bool IsShutdownWhenDoneChecked() const override { return shutdownChecked; }
  void ActivateFromOtherInstance() override { ++activations; }
  bool shutdownChecked = false;
  int activations = 0;
};

/// An engine window living in the test process: counts WM_APP_ENGINE_QUIT.
class EngineStandIn : public platform::MessageWindow {
public:
  platform::LRESULT WindowProc(std::uint32_t message, platform::WPARAM, platform::LPARAM) override;
  int quits = 0;
};

/// Writes a task file by hand (UTF-16, keys as given; an empty value list writes nothing).
void WriteTaskFile(const QString& path, const QList<QPair<QString, QString>>& keys);

} // namespace frontend_test
