#pragma once
// CTaskInfo: one download task of the front-end, one chapter into one folder. The task list
// (CTaskStore / CTaskManager) owns every record; the task file "task/<id>.ini" keeps the
// persisted fields between runs.
#include "platform/process.h"
#include "platform/window_message.h"

#include <QString>
#include <cstddef>
#include <cstdint>

/// Values of CTaskInfo::status.
enum TaskStatus : std::int32_t {
  TASK_STOP = 1,    ///< stopped, not queued
  TASK_RUNNING = 2, ///< an engine was started for it
  TASK_WAIT = 3,    ///< queued; started in list order when a slot is free
};

class CTaskInfo {
public:
  // Not persisted: state of this run of the program.
  std::int32_t status = TASK_STOP;
  platform::HWND engine_wnd = 0;  ///< the engine's window once its hello was accepted
  std::int32_t start_count = 0;   ///< engine starts in this run
  QString error_text;             ///< non-empty when the task ended in failure
  QString archive;                ///< the .cbz its pages were packed into in this run, if any
  QString language;               ///< ISO 639 code the chapter's pages state; empty while none did
  /// The page cap a chapter without a stated total stopped at in this run; 0 when it did not.
  std::int32_t page_cap = 0;
  /// Why the task's engine last could not go on, in the user's language (the engine's latest
  /// failure report, or what the watchdog found); the error text when the task fails.
  QString failure_text;
  /// The latest failure ends the task without a restart (a folder that takes no pages).
  bool failure_ends_task = false;
  /// Engine restarts since a page beyond the saved ones was last saved.
  std::int32_t restarts_without_page = 0;
  /// The folder field of the task file was cut short: the task cannot start.
  bool folder_cut = false;
  /// Hash of the task file's bytes as last read or written; 0 when it must be written.
  std::size_t file_hash = 0;

  // Persisted in the task file, keys named like the fields.
  std::int32_t id = 0;
  QString ini;          ///< full path of the task's own file
  QString url;          ///< the address the task was created with
  QString folder;       ///< download folder, ending with "/"
  QString title;        ///< comic title reported by the engine
  std::int32_t total = 0;      ///< number of pages; 0 while unknown
  std::int32_t finish = 0;     ///< number of the last saved page
  std::int32_t now_index = 1;  ///< page at which the engine starts next time
  QString now_url;             ///< address of that page
  /// The highest folder level this task created for `folder`, while no page is saved: the
  /// task removes what it created, if still empty, when it fails before its first page.
  /// Key "made_folder", written only while set.
  QString made_folder;

  /// Monotonic time (ms) of the last engine launch; the engine watchdog measures from it.
  std::int64_t launched_ms = 0;
  /// The engine process last launched for the task, running or ended (unknown when the
  /// launcher could not say).
  platform::ProcessRef engine_process;
  /// Monotonic time (ms) at which that engine was told to end for a restart; 0 otherwise.
  std::int64_t engine_end_ms = 0;
  /// The task runs, but its engine is launched only once the previous one has ended.
  bool launch_pending = false;
  /// Monotonic time (ms) of the accepted engine's hello or latest report.
  std::int64_t report_ms = 0;
  /// Window probes of the accepted engine that failed in a row.
  std::int32_t failed_probes = 0;
  /// Page total of the engine's latest page-info report in this launch; -1 before the first.
  std::int32_t info_total = -1;

  /// Finished: the total is known and the last saved page reached it.
  bool IsFinished() const { return total != 0 && finish >= total; }

  /// The name of the state image the list shows, by precedence: "ok", "running", "wait",
  /// "error", "stop".
  QString StateName() const;
};
