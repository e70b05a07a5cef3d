#pragma once
// CCalculateSpeed: the transfer rate of one download. The receive thread counts bytes in; a
// 1000 ms timer on the user-interface thread turns the bytes of each interval into bytes per
// second. A transfer that ends before the first tick gets its speed computed at its end, so a
// short transfer never reports 0.
#include "net/auto_csec.h"
#include "platform/timer_notify.h"

#include <cstdint>

class CCalculateSpeed : public FCAutoCSec, public FCTimerNotify {
public:
  static constexpr std::uint64_t kRunning = ~std::uint64_t(0);

  /// A consistent copy of the counters.
  struct Snapshot {
    std::int64_t currentSpeed = 0; ///< Bytes per second of the last interval; 0 until measured.
    std::int64_t intervalBytes = 0;
    std::int64_t totalBytes = 0;
    std::uint64_t startTick = 0;
    std::uint64_t endTick = kRunning; ///< kRunning while the transfer runs.
  };

  /// Starts the 1000 ms timer; must run on the user-interface thread.
  CCalculateSpeed();

  /// Receive thread: `count` more bytes arrived.
  void AddBytes(std::int64_t count);
  /// Receive thread: the transfer has ended; sets the end tick and, when no interval has been
  /// measured yet, the speed of the whole transfer so far.
  void MarkEnd();

  Snapshot Counters() const;

  /// Milliseconds of a monotonic clock (the counterpart of the system tick count).
  static std::uint64_t Now();

  void OnTimerNotify() override;

private:
  /// bytes × 1000 / elapsed ms, with 0 ms counted as 100 ms.
  static std::int64_t Rate(std::int64_t bytes, std::uint64_t elapsedMs);

  std::int64_t currentSpeed_ = 0;
  std::int64_t intervalBytes_ = 0;
  std::int64_t totalBytes_ = 0;
  std::uint64_t startTick_ = 0;
  std::uint64_t endTick_ = kRunning;
  std::uint64_t intervalStartTick_ = 0;
};
