#pragma once
// CChapterEvents: follows the tasks and tells its sink, once each, when a chapter starts (its
// first engine), saves a page, is done, and fails. "Done" comes after packing when the chapter
// is to be packed, so the sink can name the archive; a task the user stops, or one deleted
// while it runs, ends without an event. Tasks that were never seen running (loaded finished)
// give no event either.
//
// The sinks are folivex-get's JSON lines and --exec command, and the series that mark their
// chapters downloaded. User-interface thread only, as every task observer.
#include "core/task_event_observer.h"

#include <QHash>
#include <cstdint>

class CTaskInfo;
class CTaskManager;

class FIChapterEventSink {
public:
  virtual ~FIChapterEventSink() = default;
  virtual void OnChapterStart(const CTaskInfo& task) { (void)task; }
  /// `task.finish` is the page just saved.
  virtual void OnChapterPage(const CTaskInfo& task) { (void)task; }
  /// Finished; `task.archive` names its CBZ when it was packed.
  virtual void OnChapterDone(const CTaskInfo& task) { (void)task; }
  /// Ended unfinished with `task.error_text` saying why.
  virtual void OnChapterFailed(const CTaskInfo& task) { (void)task; }
};

class CChapterEvents : public CTaskEventObserver {
public:
  /// `tasks` and `sink` must outlive this object.
  CChapterEvents(const CTaskManager& tasks, FIChapterEventSink& sink) : tasks_(tasks), sink_(sink) {}

  void OnTaskChanged() override;
  void OnTaskRemoved(std::int32_t id) override { seen_.remove(id); }

private:
  struct Seen {
    bool started = false;
    std::int32_t page = 0;
    bool ended = false;
  };
  void Follow(const CTaskInfo& task, Seen& seen);

  const CTaskManager& tasks_;
  FIChapterEventSink& sink_;
  QHash<std::int32_t, Seen> seen_;
};
