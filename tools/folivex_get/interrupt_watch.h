#pragma once
// CInterruptWatch: turns Control-C (SIGINT), SIGTERM and SIGHUP into a call on the
// user-interface thread. The signal handler only writes the signal number into a pipe; a
// socket notifier reads it in the event loop, where the callback may do real work (tell the
// engines to quit). A second signal while the first is handled ends the process at once.
#include <QObject>
#include <functional>

class QSocketNotifier;

namespace folivex_get {

class CInterruptWatch : public QObject {
public:
  /// `onSignal` receives the signal number. Only one watch may exist at a time.
  explicit CInterruptWatch(std::function<void(int)> onSignal);
  ~CInterruptWatch() override;

private:
  std::function<void(int)> onSignal_;
  QSocketNotifier* notifier_ = nullptr;
};

} // namespace folivex_get
