#pragma once
// CTaskInfo: one download task of the front-end, one chapter into one folder. The task list
// (CTaskStore / CTaskManager) owns every record; the task file "task/<id>.ini" keeps the
// persisted fields between runs.
#include "platform/window_message.h"

#include <QString>
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

  /// Monotonic time (ms) of the last engine launch; the engine watchdog measures from it.
  std::int64_t launched_ms = 0;

  /// Finished: the total is known and the last saved page reached it.
  bool IsFinished() const { return total != 0 && finish >= total; }

  /// The name of the state image the list shows, by precedence: "ok", "running", "wait",
  /// "error", "stop".
  QString StateName() const;
};
