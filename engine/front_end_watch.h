#pragma once
// CFrontEndWatch: notices that the front-end which started the engine has ended (killed, or
// crashed), so that the engine, its browser and its profile folder never outlive it.
//
// A thread of its own looks at the front-end's process every kCheckIntervalMs: the engine's
// own thread may be blocked in an image fetch then. On the end it runs `atOnce` on the watch's
// thread at that moment (thread-safe work only: abort the fetch), then `onEnded` once on the
// thread that made the watch, through that thread's event loop. Should the engine still run
// kLastResortMs later (stuck in a call that never returns), the watch ends the process itself
// with kExitFrontEndGone; its browser then dies with it, and the next engine removes the
// profile folder it leaves.
#include "platform/process.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class CFrontEndWatch {
public:
  static constexpr int kCheckIntervalMs = 500;
  static constexpr int kLastResortMs = 4500;
  static constexpr int kExitFrontEndGone = 3;

  /// Watches `frontEnd` (an ended or unknown ref counts as ended at the first look). Requires a
  /// QCoreApplication; the watch must be destroyed on the thread that made it.
  CFrontEndWatch(const platform::ProcessRef& frontEnd, std::function<void()> onEnded,
                 void (*atOnce)() = nullptr);
  /// Stops the thread: neither `onEnded` nor the last resort comes after this.
  ~CFrontEndWatch();
  CFrontEndWatch(const CFrontEndWatch&) = delete;
  CFrontEndWatch& operator=(const CFrontEndWatch&) = delete;

private:
  // What the watch thread and a queued call share; a call that arrives after the watch is
  // gone still finds it.
  struct State {
    std::mutex mutex;
    std::condition_variable wake;
    bool stop = false;
    std::function<void()> onEnded;
    // Waits up to `ms` unless stopped; true when stopped.
    bool StoppedWithin(int ms);
  };
  static void Watch(std::shared_ptr<State> state, platform::ProcessRef frontEnd, void (*atOnce)());

  std::shared_ptr<State> state_;
  std::thread thread_;
};
