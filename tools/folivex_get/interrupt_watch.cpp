#include "tools/folivex_get/interrupt_watch.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace folivex_get {
namespace {

int pipeFds[2] = {-1, -1};
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

void OnSignal(int signal) {
  const unsigned char number = static_cast<unsigned char>(signal);
  const int saved = errno;
  [[maybe_unused]] const ssize_t written = write(pipeFds[1], &number, 1);
  errno = saved;
  // The next one is not caught: a user who presses Control-C twice gets out at once.
  std::signal(signal, SIG_DFL);
}

} // namespace

CInterruptWatch::CInterruptWatch(std::function<void(int)> onSignal)
    : onSignal_(std::move(onSignal)) {
  if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    unsigned char number = 0;
    while (read(pipeFds[0], &number, 1) == 1)
      if (onSignal_) onSignal_(number);
  });
  for (int signal : kSignals) {
    struct sigaction action {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
  }
}

CInterruptWatch::~CInterruptWatch() {
  for (int signal : kSignals) std::signal(signal, SIG_DFL);
  delete notifier_;
  notifier_ = nullptr;
  if (pipeFds[0] >= 0) close(pipeFds[0]);
  if (pipeFds[1] >= 0) close(pipeFds[1]);
  pipeFds[0] = pipeFds[1] = -1;
}

} // namespace folivex_get
