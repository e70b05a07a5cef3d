#pragma once
// CPageWatch: decides when a loaded page has had its time. It fires once, at the earlier of
// 30 s after it was started or the first 500 ms poll at least 5 whole seconds after the latest
// completion of the page document. A page that never completes gets only the 30 s. The
// chapter pages' monitor views and the link search both wait for their page this way.
//
// Threading: everything runs on the engine's user-interface thread. `fire` may delete the
// watch's owner (and with it the watch): nothing of the watch is touched after it returns.
#include "platform/timer_notify.h"

#include <cstdint>
#include <functional>
#include <memory>

class CPageWatch {
public:
  static constexpr int kPageTimeoutMs = 30000;
  static constexpr int kAfterFinishPollMs = 500;
  static constexpr std::int64_t kQuietSeconds = 5;

  /// Starts both events at once. `fire` runs at most once, after both events were stopped.
  /// While `busy` answers true (a scan of the page is still running further up the stack),
  /// the watch waits one more poll instead of firing.
  explicit CPageWatch(std::function<void()> fire, std::function<bool()> busy = {});
  ~CPageWatch();
  CPageWatch(const CPageWatch&) = delete;
  CPageWatch& operator=(const CPageWatch&) = delete;

  /// The page document (or an answer that is no document) completed now: the quiet time
  /// starts again.
  void PageCompleted();
  void Stop();
  bool Running() const;

  /// Test seam (process-wide): the clock of the quiet time in seconds since 1970. Null
  /// restores the system clock.
  static void SetClock(std::int64_t (*clock)());

private:
  class CEventPageTimeout : public FCTimerNotify {
  public:
    explicit CEventPageTimeout(CPageWatch* watch) : watch_(watch) {}
    void OnTimerNotify() override;
  private:
    CPageWatch* watch_;
  };

  class CEventAfterFinish : public FCTimerNotify {
  public:
    explicit CEventAfterFinish(CPageWatch* watch) : watch_(watch) {}
    void OnTimerNotify() override;
    /// Seconds since 1970 of the latest page completion; 0 while none completed.
    std::int64_t stamp = 0;
  private:
    CPageWatch* watch_;
  };

  bool Busy() const { return busy_ && busy_(); }
  void Fire();

  std::function<void()> fire_;
  std::function<bool()> busy_;
  CEventPageTimeout pageTimeout_{this};
  CEventAfterFinish afterFinish_{this};
};
