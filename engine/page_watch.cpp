#include "engine/page_watch.h"

#include <ctime>

namespace {

std::int64_t SystemClock() { return std::int64_t(std::time(nullptr)); }
std::int64_t (*clockNow)() = &SystemClock;

} // namespace

void CPageWatch::SetClock(std::int64_t (*clock)()) { clockNow = clock ? clock : &SystemClock; }

CPageWatch::CPageWatch(std::function<void()> fire, std::function<bool()> busy)
    : fire_(std::move(fire)), busy_(std::move(busy)) {
  pageTimeout_.StartTimer(kPageTimeoutMs);
  afterFinish_.StartTimer(kAfterFinishPollMs);
}

CPageWatch::~CPageWatch() = default;

void CPageWatch::PageCompleted() { afterFinish_.stamp = clockNow(); }

void CPageWatch::Stop() {
  pageTimeout_.StopTimer();
  afterFinish_.StopTimer();
}

bool CPageWatch::Running() const {
  return pageTimeout_.IsTimerRunning() || afterFinish_.IsTimerRunning();
}

void CPageWatch::Fire() {
  Stop();
  // A copy: the call may delete the owner and this watch with it.
  const std::function<void()> fire = fire_;
  fire();
}

void CPageWatch::CEventPageTimeout::OnTimerNotify() {
  // A scan still running further up the stack (a browser call that waited and let timers
  // run) is finished first; the last chance comes one poll later.
  if (watch_->Busy()) {
    StartTimer(kAfterFinishPollMs);
    return;
  }
  watch_->Fire();
}

void CPageWatch::CEventAfterFinish::OnTimerNotify() {
  if (stamp == 0) return;
  const std::int64_t quiet = clockNow() - stamp;
  if (quiet < kQuietSeconds) return; // also a clock set back: keep waiting
  if (watch_->Busy()) return;        // a scan is still running; poll again
  watch_->Fire();
}
