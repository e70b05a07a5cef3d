#include "net/calculate_speed.h"

#include <chrono>

CCalculateSpeed::CCalculateSpeed() {
  startTick_ = intervalStartTick_ = Now();
  StartTimer(1000);
}

std::uint64_t CCalculateSpeed::Now() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::int64_t CCalculateSpeed::Rate(std::int64_t bytes, std::uint64_t elapsedMs) {
  if (elapsedMs == 0) elapsedMs = 100;
  return bytes * 1000 / std::int64_t(elapsedMs);
}

void CCalculateSpeed::AddBytes(std::int64_t count) {
  const auto lock = Lock();
  intervalBytes_ += count;
  totalBytes_ += count;
}

void CCalculateSpeed::MarkEnd() {
  const auto lock = Lock();
  const std::uint64_t now = Now();
  endTick_ = now;
  if (currentSpeed_ == 0) currentSpeed_ = Rate(intervalBytes_, now - intervalStartTick_);
}

CCalculateSpeed::Snapshot CCalculateSpeed::Counters() const {
  const auto lock = Lock();
  return Snapshot{currentSpeed_, intervalBytes_, totalBytes_, startTick_, endTick_};
}

void CCalculateSpeed::OnTimerNotify() {
  bool ended = false;
  {
    const auto lock = Lock();
    ended = endTick_ != kRunning;
    if (!ended) {
      const std::uint64_t now = Now();
      currentSpeed_ = Rate(intervalBytes_, now - intervalStartTick_);
      intervalStartTick_ = now;
      intervalBytes_ = 0;
    }
  }
  // The timer belongs to this thread only; stopping it needs no lock.
  if (ended) StopTimer();
}
