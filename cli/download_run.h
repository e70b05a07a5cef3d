#pragma once
// CDownloadRun: downloads chapters without the front-end's window, with the front-end's own
// task manager and the unchanged engine.
//
// The run keeps its tasks in a private temporary store folder (CRunFolder, with its own
// "setting.ini" and "task/"), so the front-end's settings and task files are never touched. Its message window
// takes the place of the front-end's main window: engines say hello to it and report to it,
// and command files meet in "skin/cmd/" of the data folder, which both derive from the
// program folder they share. Task ids start high and depend on the process id, so they never meet the
// front-end's ids (which start at 100) or another folivex-get's in that shared folder.
//
// The computer is never powered off: the task manager gets a shutdown that does nothing.
#include "core/main_window_endpoint.h"
#include "core/setting.h"
#include "core/task_event_observer.h"
#include "core/task_manager.h"
#include "platform/launcher.h"
#include "platform/shutdown.h"
#include "cli/get_options.h"
#include "cli/run_folder.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <memory>

namespace folivex_get {

class CChapterExec;
class CJsonOutput;
class CProgressOutput;

/// Refuses every request to power off.
class CNoShutdown : public platform::FIShutdown {
public:
  bool PowerOff() override { return false; }
};

class CDownloadRun : public CTaskEventObserver {
public:
  /// Exit codes of a run.
  static constexpr int kAllFinished = 0;
  static constexpr int kSomeFailed = 1;
  /// At the end of a run every engine has been told to quit. One still running this long
  /// after gets SIGTERM, and SIGKILL when it runs on until the second limit: a stuck engine
  /// and its browser never outlive the run.
  static constexpr int kDefaultEngineTermAfterMs = 3000;
  static constexpr int kDefaultEngineKillAfterMs = 5000;

  /// `jobs` engines at most at the same time; engines are started through `launcher`. `err`
  /// receives the error per failed task.
  CDownloadRun(int jobs, platform::FIProgramLauncher& launcher, std::FILE* out, std::FILE* err,
               bool terminal, int width = 80);
  ~CDownloadRun() override;

  /// The engine program; "Gantrell" in the program folder unless set.
  void SetEngineProgram(const QString& path) { tasks_->SetEngineProgram(path); }
  /// Packs every chapter that ends as done into FOLDER.cbz.
  void SetPackCbz(bool pack) { setting_.pack_cbz = pack ? 1 : 0; }
  /// Seconds from one page load of each chapter to its next (handed to every engine).
  void SetPageDelay(int seconds) { setting_.page_delay = seconds; }
  void SetMaxPages(int pages) { setting_.max_pages = pages; }
  /// One JSON object per line and chapter event on the output stream (CJsonOutput); the plain
  /// progress lines and the summary then go to the error stream. Call before AddChapter.
  void SetJson(bool json);
  /// Runs `command` after each chapter that is done (CChapterExec); empty: nothing runs.
  void SetExec(const QString& command);
  /// The run's private folder, which goes with the run (CRunFolder).
  QString RunFolder() const { return store_.path(); }
  /// The user's cookies.txt, loaded by every engine; empty: none.
  void SetCookiesFile(const QString& path) { setting_.cookies_file = path; }
  /// Engine watchdog timing (tests shorten it).
  void SetWatchdog(int helloTimeoutMs, int intervalMs) { tasks_->SetWatchdog(helloTimeoutMs, intervalMs); }
  /// How long engines get to quit at the end of the run (tests shorten it).
  void SetEngineEndTimeouts(int termAfterMs, int killAfterMs) {
    engineTermAfterMs_ = termAfterMs;
    engineKillAfterMs_ = killAfterMs;
  }

  /// Queues one chapter into `folder` (made absolute, created when missing); `label` is its
  /// number in the progress output. The chapter takes the folder for itself at once. False,
  /// with a message on `err`, when it cannot run (another download uses the folder, say); the
  /// run then counts as failed.
  bool AddChapter(const ChapterJob& job, int label);
  /// Marks the run failed without a task (a refused list line, say).
  void CountFailure() { failures_++; }

  /// Runs the event loop until no task runs or waits, then waits for the engines to end
  /// (ending the ones that do not); returns kAllFinished or kSomeFailed.
  int Run();
  /// Stops every task (running engines are told to quit) and ends Run() with `exitCode`;
  /// says so on `err`.
  void Interrupt(int exitCode);

  const CTaskManager& Tasks() const { return *tasks_; }
  /// The stream the summary and plain progress go to.
  std::FILE* SummaryStream() const { return json_ ? err_ : out_; }
  /// The most tasks that ran at the same time so far.
  int MostRunning() const { return mostRunning_; }

  void OnTaskChanged() override;

  /// The first task id of this process: high, and apart from other processes'.
  static std::int32_t FirstTaskId();

  /// The run's last line: "2 of 3 chapters done (24 pages), 1 failed" ("not finished" after
  /// an interrupt); chapters that never became a task (refused lines) count as failed.
  static QString SummaryLine(int done, int chapters, int pages, bool interrupted);

private:
  void ReportFailures();
  void WriteSummary();
  void EndEngines();

  CRunFolder store_;
  CSetting setting_;
  CNoShutdown noShutdown_;
  std::unique_ptr<CTaskManager> tasks_;
  std::unique_ptr<CMainWindowEndpoint> window_;
  std::unique_ptr<CProgressOutput> progress_;
  std::unique_ptr<CJsonOutput> json_;
  std::unique_ptr<CChapterExec> exec_;
  std::FILE* out_;
  std::FILE* err_;
  int failures_ = 0;
  int mostRunning_ = 0;
  bool running_ = false;
  bool ending_ = false;
  int interruptCode_ = -1;
  int engineTermAfterMs_ = kDefaultEngineTermAfterMs;
  int engineKillAfterMs_ = kDefaultEngineKillAfterMs;
};

} // namespace folivex_get
