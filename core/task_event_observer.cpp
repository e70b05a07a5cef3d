#include "core/task_event_observer.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace {

std::vector<CTaskEventObserver*>& Observers() {
  static std::vector<CTaskEventObserver*> list;
  return list;
}

bool IsRegistered(CTaskEventObserver* observer) {
  const auto& list = Observers();
  return std::find(list.begin(), list.end(), observer) != list.end();
}

// Calls `call` for every observer registered now that is still registered when its turn comes.
void ForEachObserver(const std::function<void(CTaskEventObserver&)>& call) {
  const std::vector<CTaskEventObserver*> snapshot = Observers();
  for (CTaskEventObserver* observer : snapshot)
    if (IsRegistered(observer)) call(*observer);
}

} // namespace

CTaskEventObserver::CTaskEventObserver() { Observers().push_back(this); }

CTaskEventObserver::~CTaskEventObserver() {
  auto& list = Observers();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void CTaskEventObserver::NotifyTaskAdded(std::int32_t id) {
  ForEachObserver([id](CTaskEventObserver& o) { o.OnTaskAdded(id); });
}

void CTaskEventObserver::NotifyTaskChanged() {
  ForEachObserver([](CTaskEventObserver& o) { o.OnTaskChanged(); });
}

void CTaskEventObserver::NotifyTaskRemoved(std::int32_t id) {
  ForEachObserver([id](CTaskEventObserver& o) { o.OnTaskRemoved(id); });
}
