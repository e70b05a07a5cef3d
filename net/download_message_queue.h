#pragma once
// FIDownloadMessageQueue: hands download events to the user-interface thread. Downloads queue
// (code, id) pairs; a one-shot 50 ms timer then delivers them in order through
// OnDownloadMessage. Everything here runs on the user-interface thread.
//
// A handler may destroy the queue or queue new events. Every live queue is listed in a
// process-wide registry, so the delivery loop notices its own destruction and stops without
// touching the object; a handler that lets the event loop run (a nested loop) does not start a
// second delivery loop, the running one delivers what arrives meanwhile.
#include "platform/timer_notify.h"

#include <cstdint>
#include <deque>
#include <utility>

class FIDownloadMessageQueue {
public:
  FIDownloadMessageQueue();
  virtual ~FIDownloadMessageQueue(); ///< Drops undelivered events.
  FIDownloadMessageQueue(const FIDownloadMessageQueue&) = delete;
  FIDownloadMessageQueue& operator=(const FIDownloadMessageQueue&) = delete;

  /// Delivers one event; the return value is the handler's own.
  virtual int OnDownloadMessage(int code, int id) = 0;

  /// Appends an event and makes sure the delivery timer runs.
  void QueueMessage(int code, int id);

  int QueuedMessageCount() const { return int(queue_.size()); }
  bool IsDispatching() const { return dispatching_; }

  /// Whether `queue` is alive and is still the same object as when `serial` was taken
  /// (a new queue may be built at the address of a destroyed one).
  static bool IsLive(const FIDownloadMessageQueue* queue, std::uint64_t serial);
  std::uint64_t Serial() const { return serial_; }

private:
  class CTimerGetMessage : public FCTimerNotify {
  public:
    explicit CTimerGetMessage(FIDownloadMessageQueue* owner) : owner_(owner) {}
    void OnTimerNotify() override;

  private:
    FIDownloadMessageQueue* owner_;
  };

  void PumpMessages();

  CTimerGetMessage timerGetMessage_{this};
  std::deque<std::pair<std::int32_t, std::int32_t>> queue_; // (code, download id)
  bool dispatching_ = false;
  std::uint64_t serial_ = 0;
};
