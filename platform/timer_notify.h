#pragma once
// FCTimerNotify: a timer object whose OnTimerNotify is called once per elapsed interval, on the
// thread that started it. Both programs use it; derived timers are small classes nested in the
// class they serve, forwarding the call to their owner.
//
// A process-wide map from platform timer id to timer object routes every expiry; it exists
// while at least one timer object lives. The map is not locked: every timer of these programs
// is started, stopped and destroyed on the user-interface thread.
#include "platform/thread_timer.h"

class FCTimerNotify {
public:
  FCTimerNotify();
  virtual ~FCTimerNotify();
  FCTimerNotify(const FCTimerNotify&) = delete;
  FCTimerNotify& operator=(const FCTimerNotify&) = delete;

  /// (Re)starts the timer: a running one is killed first, so the interval starts anew.
  void StartTimer(int intervalMs);
  void StopTimer();
  bool IsTimerRunning() const { return timerId_ != 0; }

  /// Called once per interval while the timer runs. A one-shot timer stops itself first.
  virtual void OnTimerNotify() = 0;

private:
  static void TimerProc(platform::TimerId id);
  platform::TimerId timerId_ = 0;
};
