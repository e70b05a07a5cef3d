#pragma once
// CTaskEventObserver: base of every object that follows the tasks (main window, drop window,
// task list window). An observer registers itself on construction and unregisters on
// destruction; notifications reach the observers in registration order.
//
// The observer list is process-wide and used on the user-interface thread only. An observer
// may be destroyed, or a new one created, from inside a notification: observers removed
// meanwhile are skipped, observers added meanwhile are reached from the next notification on.
#include <cstdint>

class CTaskEventObserver {
public:
  CTaskEventObserver();
  virtual ~CTaskEventObserver();
  CTaskEventObserver(const CTaskEventObserver&) = delete;
  CTaskEventObserver& operator=(const CTaskEventObserver&) = delete;

  /// A task was appended to the list.
  virtual void OnTaskAdded(std::int32_t id) {}
  /// Some task's fields, or the list order, changed.
  virtual void OnTaskChanged() {}
  /// The task is about to be destroyed.
  virtual void OnTaskRemoved(std::int32_t id) {}

  static void NotifyTaskAdded(std::int32_t id);
  static void NotifyTaskChanged();
  static void NotifyTaskRemoved(std::int32_t id);
};
