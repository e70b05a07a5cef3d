#pragma once
// CTaskManager: decides which tasks run. It holds the task list (CTaskStore), queues tasks,
// starts one engine process per running task with at most "max_download" at a time, handles
// the engines' handshake and reports, stops engines, and powers the computer off after the
// last task when the user asked for it. Every change is announced to the task observers.
//
// Engines are reached only through the engine protocol: a hand-off file plus a launch of
// "Gantrell" through the injected FIProgramLauncher (CEngineLauncher), WM_APP_ENGINE_QUIT sent
// without waiting, and the engine's WM_APP_ENGINE_HELLO and WM_APP_ENGINE_COMMAND, which the
// main window's message endpoint (CMainWindowEndpoint) forwards here.
//
// Threading: everything runs on the user-interface thread, including the selection and
// watchdog timers. Report handlers run while the reporting engine waits in its send, so
// nothing here sends a waiting message to an engine.
#include "common/engine_report.h"
#include "core/engine_launcher.h"
#include "core/folder_locks.h"
#include "core/task_store.h"
#include "platform/launcher.h"
#include "platform/shutdown.h"
#include "platform/window_message.h"
#include "platform/timer_notify.h"

#include <vector>

class CMainWindowEndpoint;

class CTaskManager : public CTaskStore {
public:
  /// Delay of the scheduling pass after the last request.
  static constexpr int kSelectionDelayMs = 100;
  /// A running engine that has not said hello after this long is taken for dead.
  static constexpr int kDefaultHelloTimeoutMs = 60000;
  /// How often running engines are checked.
  static constexpr int kDefaultWatchIntervalMs = 1000;
  /// More starts than this in one run fail a stalling task instead of restarting it.
  static constexpr int kMaxStarts = 100;
  /// A task that stalls after this many restarts in a row without a new page saved fails,
  /// with the reason its engine gave last.
  static constexpr int kMaxRestartsWithoutPage = 3;
  /// An accepted engine reports on every page tick; this long without a word it is stuck.
  static constexpr int kDefaultSilenceTimeoutMs = 90000;
  /// An engine told to end for a restart gets this long (its browser's own ordered end takes
  /// up to 5 s) before it is killed.
  static constexpr int kDefaultEndGraceMs = 6000;
  /// Window probes that must fail in a row before an accepted engine counts as gone: one
  /// probe can time out while the engine is merely busy.
  static constexpr int kFailedProbesForGone = 2;
  /// A task whose folder another download uses waits; the queue looks again this often.
  static constexpr int kBusyFolderRetryMs = 1000;

  /// Values for the "ERROR" texts of the language file: why a task failed.
  enum ErrorReason : int {
    kErrorPages = 1,         ///< the pages could not be downloaded
    kErrorPacking = 2,       ///< the pages were saved but could not be packed into a CBZ
    kErrorFolderMissing = 3, ///< the download folder does not exist (any more)
    kErrorFolderLocked = 4,  ///< the download folder cannot be written
    kErrorDiskFull = 5,      ///< no room left where the download folder lies
  };

  /// The selection timer: one scheduling pass per arming.
  class CSelectTaskProxy : public FCTimerNotify {
  public:
    explicit CSelectTaskProxy(CTaskManager& owner) : owner_(owner) {}
    void OnTimerNotify() override;

  private:
    CTaskManager& owner_;
  };

  /// The engine watchdog: runs while some task runs.
  class CWatchdogProxy : public FCTimerNotify {
  public:
    explicit CWatchdogProxy(CTaskManager& owner) : owner_(owner) {}
    void OnTimerNotify() override;

  private:
    CTaskManager& owner_;
  };

  /// Packs the chapters that ended as done, after the report that finished them.
  class CPackProxy : public FCTimerNotify {
  public:
    explicit CPackProxy(CTaskManager& owner) : owner_(owner) {}
    void OnTimerNotify() override;

  private:
    CTaskManager& owner_;
  };

  /// `setting`, `launcher` and `shutdown` must outlive the manager.
  CTaskManager(CSetting& setting, platform::FIProgramLauncher& launcher,
               platform::FIShutdown& shutdown);
  ~CTaskManager() override;

  /// The main window: its handle goes into every hand-off file, and its check button decides
  /// whether the computer is powered off after the last task. Null: no main window (no task
  /// can start). CMainWindowEndpoint calls this itself.
  void SetMainWindow(CMainWindowEndpoint* window) { mainWindow_ = window; }
  CMainWindowEndpoint* MainWindow() const { return mainWindow_; }
  /// The engine program; "Gantrell" in the program folder unless set.
  void SetEngineProgram(const QString& path) { engineProgram_ = path; }
  QString EngineProgram() const;
  /// The launcher every engine of this front-end starts through, the link search's included.
  platform::FIProgramLauncher& Launcher() const { return engines_.Launcher(); }
  /// Watchdog timing (tests shorten it).
  void SetWatchdog(int helloTimeoutMs, int intervalMs);
  /// How long an accepted engine may stay silent, and how long an engine told to end for a
  /// restart gets before it is killed (tests shorten both).
  void SetEngineTimeouts(int silenceTimeoutMs, int endGraceMs);

  // Task list operations.
  /// Creates a task for `url` downloading into `folder` unless a task has that address;
  /// queues it when `startNow`. Returns the new record, or null when nothing was created.
  CTaskInfo* AddTask(const QString& url, const QString& folder, bool startNow);
  /// Stops the task, tells the observers, deletes its task file (never its images) and
  /// destroys the record.
  void DeleteTask(CTaskInfo* record);
  /// Deletes every finished task.
  void RemoveFinishedTasks();

  // Scheduling.
  /// Arms (or re-arms) the 100 ms selection timer: a burst of requests gives one pass.
  void RequestSelection();
  /// Queues a task that is neither finished nor running. A stopped one starts counting its
  /// restarts anew (a pause and resume is no restart).
  void QueueTask(CTaskInfo* record);
  /// Launches an engine for the task. A restart first ends the task's previous engine: it is
  /// told to quit and sent SIGTERM, killed after the end grace, and the new engine is launched
  /// only once it has ended, so two engines never work on one task. A task whose folder
  /// another download uses (CFolderLocks) is not started and keeps waiting.
  void StartTask(std::int32_t id);
  /// Takes the task's folder for it before it starts; false when another download uses it.
  /// The task lets go of it when it stops. (folivex-get refuses a busy folder at once.)
  bool LockTaskFolder(const CTaskInfo& record) { return folderLocks_.Acquire(record.id, record.folder); }
  /// Stops the task; a running engine is told to quit.
  void StopTask(std::int32_t id);
  void StopAllTasks();
  /// Number of tasks in that state.
  int CountTasks(std::int32_t status) const;
  /// Engines of tasks that no longer run and have not ended yet (closing their browser). They
  /// still take a slot of "max_download", so no more engines than that ever run.
  int CountEndingEngines();
  /// Scheduling passes run so far (diagnostics and tests).
  int SelectionPasses() const { return selectionPasses_; }

  // Engine messages.
  /// WM_APP_ENGINE_HELLO: accepts the engine while its task runs.
  platform::LRESULT AcceptEngine(std::int32_t id, platform::HWND engineWindow);
  /// WM_APP_ENGINE_COMMAND: reads and deletes the command file, then handles the report
  /// when it is one and names the message's task.
  void OnEngineCommand(std::int32_t taskId, std::int32_t number);
  void OnPageInfoReport(const common::PageInfoReport& report);
  void OnLanguageReport(const common::LanguageReport& report);
  void OnPageCapReport(const common::PageCapReport& report);
  void OnPageSavedReport(const common::PageSavedReport& report);
  void OnStallReport(const common::StallReport& report);
  /// "104": keeps why the engine is about to stall, for the stall that follows.
  void OnFailureReport(const common::FailureReport& report);

  /// Packs a task that ended as done into "FOLDER.cbz" (the "pack_cbz" setting) and records
  /// the archive in the task. On failure the pages stay and the task's error text says why.
  void PackFinishedTask(CTaskInfo& record);
  /// Whether finished chapters wait to be packed; the queue is not over until they are.
  bool IsPacking() const { return !packQueue_.empty(); }

  /// Powers off when the user asked for it and no task runs or waits.
  void ShutdownIfAllDone();

  /// One watchdog pass (the watchdog timer runs it every interval): launches pending restarts
  /// whose old engine has ended, and handles as stalled every running task whose engine never
  /// said hello, has ended, fails kFailedProbesForGone window probes in a row, or has been
  /// silent too long.
  void CheckEngines();

  /// Why pages cannot be written into `folder` (kErrorFolderMissing, ...), or 0 when they can.
  /// Writes and removes a small hidden probe file.
  static int FolderProblem(const QString& folder);

private:
  void SelectTasksToStart();
  /// Ends the engines of stopped tasks that outstay the end grace; frees their slots.
  void CheckEndingEngines(std::int64_t now);
  void PackQueuedTasks();
  void LaunchEngine(CTaskInfo& record);
  /// Tells the task's engine to quit and, for a restart, ends its process by id.
  void EndEngine(CTaskInfo& record, bool forRestart);
  bool IsEngineGone(CTaskInfo& record);
  void FailTask(CTaskInfo& record, int reason);
  /// Ends the task as failed with `text`; one that failed before its first page removes the
  /// folder levels it created, if they are still empty.
  void EndFailedTask(CTaskInfo& record, const QString& text);
  /// Whether a stalled task must fail rather than restart: its failure ends it, it never got
  /// past page 1, it started too often, or it restarted too often without a new page.
  bool IsOutOfRestarts(const CTaskInfo& record) const;
  /// Removes the folder levels `record` created (made_folder) that nothing lies in; never a
  /// level another task of the list downloads into.
  void RemoveMadeFolder(const CTaskInfo& record) const;
  CTaskInfo* FindRunningTask(std::int32_t id) const;

  CEngineLauncher engines_;
  CFolderLocks folderLocks_;
  int endingEngines_ = 0; ///< as counted by the last scheduling or watchdog pass
  platform::FIShutdown& shutdown_;
  CMainWindowEndpoint* mainWindow_ = nullptr;
  QString engineProgram_;
  int helloTimeoutMs_ = kDefaultHelloTimeoutMs;
  int watchIntervalMs_ = kDefaultWatchIntervalMs;
  int silenceTimeoutMs_ = kDefaultSilenceTimeoutMs;
  int endGraceMs_ = kDefaultEndGraceMs;
  int selectionPasses_ = 0;
  CSelectTaskProxy selector_{*this};
  CWatchdogProxy watchdog_{*this};
  CPackProxy packer_{*this};
  std::vector<std::int32_t> packQueue_; ///< finished tasks to pack, in the order they ended
};
