#pragma once
// Thread timers without a window: the calling thread's Qt event dispatcher fires `proc` with
// the timer's id once per interval. Expiries are not queued up while the thread is busy, and a
// timer killed before its expiry is dispatched is never called.
#include <cstdint>

namespace platform {

using TimerId = std::uintptr_t;
using TimerProc = void (*)(TimerId id);

/// Starts a periodic timer on the calling thread; 0 when the thread has no event dispatcher.
TimerId SetThreadTimer(int intervalMs, TimerProc proc);

/// Stops a timer of the calling thread; unknown ids are ignored.
void KillThreadTimer(TimerId id);

} // namespace platform
