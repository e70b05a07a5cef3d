#include "platform/thread_timer.h"

#include <QAbstractEventDispatcher>
#include <QObject>
#include <QThread>
#include <QTimerEvent>

#include <unordered_map>

namespace platform {
namespace {

// Receives the timer events of one thread and forwards them to the registered procedures.
class TimerSink : public QObject {
public:
  std::unordered_map<int, TimerProc> procs;

protected:
  void timerEvent(QTimerEvent* event) override {
    const auto it = procs.find(event->timerId());
    if (it != procs.end()) it->second(TimerId(event->timerId()));
  }
};

TimerSink& SinkOfThisThread() {
  thread_local TimerSink sink;
  return sink;
}

} // namespace

TimerId SetThreadTimer(int intervalMs, TimerProc proc) {
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(QThread::currentThread());
  if (!dispatcher || !proc) return 0;
  TimerSink& sink = SinkOfThisThread();
  const int id = dispatcher->registerTimer(intervalMs < 0 ? 0 : intervalMs, Qt::PreciseTimer, &sink);
  if (id <= 0) return 0;
  sink.procs[id] = proc;
  return TimerId(id);
}

void KillThreadTimer(TimerId id) {
  if (id == 0) return;
  TimerSink& sink = SinkOfThisThread();
  if (sink.procs.erase(int(id)) == 0) return;
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(QThread::currentThread()))
    dispatcher->unregisterTimer(int(id));
}

} // namespace platform
