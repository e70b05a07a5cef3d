// FCTimerNotify on a real event loop.
#include "platform/timer_notify.h"
#include "test_support.h"

#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using testing_support::WaitFor;

namespace {

class CallbackTimer : public FCTimerNotify {
public:
  std::function<void()> onFire;
  int fired = 0;
  void OnTimerNotify() override {
    ++fired;
    if (onFire) onFire();
  }
};

} // namespace

TEST(TimerNotify, FiresPeriodicallyUntilStopped) {
  CallbackTimer timer;
  timer.StartTimer(20);
  ASSERT_TRUE(WaitFor([&] { return timer.fired >= 3; }, 5000));
  timer.StopTimer();
  const int after = timer.fired;
  WaitFor([] { return false; }, 100);
  EXPECT_EQ(timer.fired, after);
  EXPECT_FALSE(timer.IsTimerRunning());
}

TEST(TimerNotify, StartingAgainRestartsTheInterval) {
  CallbackTimer timer;
  timer.StartTimer(300);
  timer.StartTimer(300);
  // Restarting every 150 ms keeps a 300 ms timer from ever firing.
  for (int i = 0; i < 4; ++i) {
    WaitFor([] { return false; }, 150);
    timer.StartTimer(300);
  }
  EXPECT_EQ(timer.fired, 0);
  EXPECT_TRUE(WaitFor([&] { return timer.fired == 1; }, 3000));
}

TEST(TimerNotify, AOneShotTimerStopsItselfInItsCallback) {
  CallbackTimer timer;
  timer.onFire = [&] { timer.StopTimer(); };
  timer.StartTimer(10);
  ASSERT_TRUE(WaitFor([&] { return timer.fired == 1; }, 3000));
  WaitFor([] { return false; }, 80);
  EXPECT_EQ(timer.fired, 1);
}

TEST(TimerNotify, ATimerDestroyedWhileItsExpiryIsDueIsNeverCalled) {
  // Both expire in the same dispatch round; whichever runs first destroys the other.
  auto a = std::make_unique<CallbackTimer>();
  auto b = std::make_unique<CallbackTimer>();
  int calls = 0;
  a->onFire = [&] { ++calls; b.reset(); a->StopTimer(); };
  b->onFire = [&] { ++calls; a.reset(); b->StopTimer(); };
  a->StartTimer(30);
  b->StartTimer(30);
  QThread::msleep(80); // both are overdue before the loop runs again
  WaitFor([] { return false; }, 150);
  EXPECT_EQ(calls, 1);
}

TEST(TimerNotify, ATimerMadeAfterEveryOtherTimerEndedStillFires) {
  {
    CallbackTimer first;
    first.StartTimer(1000);
  }
  CallbackTimer fresh;
  fresh.StartTimer(10);
  EXPECT_TRUE(WaitFor([&] { return fresh.fired > 0; }, 3000));
}
