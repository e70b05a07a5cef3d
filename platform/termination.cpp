#include "platform/termination.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int wakePipe[2] = {-1, -1};
void (*volatile signalHook)() = nullptr;

// Only async-signal-safe work here: the hook, then one byte into the pipe.
void OnSignal(int signal) {
  if (void (*hook)() = signalHook) hook();
  const unsigned char number = static_cast<unsigned char>(signal);
  const int saved = errno;
  [[maybe_unused]] const ssize_t written = ::write(wakePipe[1], &number, 1);
  errno = saved;
}

} // namespace

TerminationWatch::TerminationWatch(std::function<void(int)> onSignal, Repeat repeat,
                                   QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
  if (wakePipe[0] >= 0 || ::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = new QSocketNotifier(wakePipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    unsigned char number = 0;
    while (::read(wakePipe[0], &number, 1) == 1)
      if (onSignal_) onSignal_(number);
  });
  struct sigaction action {};
  action.sa_handler = &OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART | (repeat == Repeat::EndAtOnce ? SA_RESETHAND : 0);
  for (int signal : kSignals) sigaction(signal, &action, nullptr);
}

TerminationWatch::~TerminationWatch() {
  if (!notifier_) return; // another watch owns the pipe
  for (int signal : kSignals) std::signal(signal, SIG_DFL);
  delete notifier_;
  ::close(wakePipe[0]);
  ::close(wakePipe[1]);
  wakePipe[0] = wakePipe[1] = -1;
}

void SetSignalHook(void (*hook)()) { signalHook = hook; }

void QuitOnTerminationSignals() {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || wakePipe[0] >= 0) return;
  new TerminationWatch([](int) { QCoreApplication::quit(); },
                       TerminationWatch::Repeat::Deliver, app);
}

} // namespace platform
