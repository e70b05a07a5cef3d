#include "engine/front_end_watch.h"

#include <QCoreApplication>
#include <chrono>
#include <cstdlib>

CFrontEndWatch::CFrontEndWatch(const platform::ProcessRef& frontEnd,
                               std::function<void()> onEnded, void (*atOnce)())
    : state_(std::make_shared<State>()) {
  state_->onEnded = std::move(onEnded);
  thread_ = std::thread(&CFrontEndWatch::Watch, state_, frontEnd, atOnce);
}

CFrontEndWatch::~CFrontEndWatch() {
  {
    std::lock_guard lock(state_->mutex);
    state_->stop = true;
  }
  state_->wake.notify_all();
  thread_.join();
}

bool CFrontEndWatch::State::StoppedWithin(int ms) {
  std::unique_lock lock(mutex);
  return wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stop; });
}

void CFrontEndWatch::Watch(std::shared_ptr<State> state, platform::ProcessRef frontEnd,
                           void (*atOnce)()) {
  while (platform::IsProcessRunning(frontEnd))
    if (state->StoppedWithin(kCheckIntervalMs)) return;
  if (atOnce) atOnce();
  if (QCoreApplication* app = QCoreApplication::instance())
    QMetaObject::invokeMethod(app, [state] {
      std::function<void()> onEnded;
      {
        std::lock_guard lock(state->mutex);
        if (state->stop) return;
        onEnded = std::move(state->onEnded);
      }
      if (onEnded) onEnded();
    }, Qt::QueuedConnection);
  if (state->StoppedWithin(kLastResortMs)) return;
  std::_Exit(kExitFrontEndGone);
}
