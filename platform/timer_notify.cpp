#include "platform/timer_notify.h"

#include <unordered_map>

namespace {
using TimerMap = std::unordered_map<platform::TimerId, FCTimerNotify*>;
TimerMap* timerMap = nullptr;
int livingTimers = 0;
} // namespace

FCTimerNotify::FCTimerNotify() {
  ++livingTimers;
  if (!timerMap) timerMap = new TimerMap;
}

FCTimerNotify::~FCTimerNotify() {
  StopTimer();
  if (--livingTimers == 0) {
    delete timerMap;
    timerMap = nullptr;
  }
}

void FCTimerNotify::StartTimer(int intervalMs) {
  StopTimer();
  timerId_ = platform::SetThreadTimer(intervalMs, &FCTimerNotify::TimerProc);
  if (timerId_ != 0 && timerMap) (*timerMap)[timerId_] = this;
}

void FCTimerNotify::StopTimer() {
  if (timerId_ == 0) return;
  if (timerMap) timerMap->erase(timerId_);
  platform::KillThreadTimer(timerId_);
  timerId_ = 0;
}

void FCTimerNotify::TimerProc(platform::TimerId id) {
  if (!timerMap) return;
  const auto it = timerMap->find(id);
  if (it != timerMap->end()) it->second->OnTimerNotify();
}
