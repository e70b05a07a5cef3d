#include "core/chapter_events.h"

#include "core/task_manager.h"

void CChapterEvents::OnTaskChanged() {
  // The sink may change tasks (an --exec start, a series marking): walk a snapshot of ids.
  QList<std::int32_t> ids;
  for (const auto& task : tasks_) ids << task->id;
  for (const std::int32_t id : ids)
    if (const CTaskInfo* task = tasks_.FindTask(id)) Follow(*task, seen_[id]);
}

void CChapterEvents::Follow(const CTaskInfo& task, Seen& seen) {
  // A first start, or a start again after the task ended (queued again by the user or a
  // series check): a new attempt.
  if (task.status == TASK_RUNNING && (!seen.started || seen.ended)) {
    seen = Seen{true, task.finish, false};
    sink_.OnChapterStart(task);
  }
  if (!seen.started) return;
  if (task.finish > seen.page) {
    seen.page = task.finish;
    sink_.OnChapterPage(task);
  }
  if (task.status == TASK_RUNNING || seen.ended) return;
  if (task.IsFinished()) {
    // Announced with its archive, or with the reason it has none.
    if (task.archive.isEmpty() && task.error_text.isEmpty() && tasks_.IsPacking()) return;
    seen.ended = true;
    sink_.OnChapterDone(task);
  } else if (task.status == TASK_STOP) {
    seen.ended = true;
    if (!task.error_text.isEmpty()) sink_.OnChapterFailed(task);
  }
}
