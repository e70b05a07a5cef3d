#include "platform/termination.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
// Signals that end a process by default and come from outside it, besides kSignals.
constexpr int kFatalSignals[] = {SIGQUIT, SIGPIPE, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM,
                                 SIGPROF, SIGXCPU, SIGXFSZ, SIGIO, SIGPWR, SIGSTKFLT};
constexpr int kRemovalDepth = 3;

int wakePipe[2] = {-1, -1};
void (*volatile signalHook)() = nullptr;
volatile sig_atomic_t endAtOnce = 0;
// The folder to remove when a signal ends the process; empty: none.
char doomedFolder[PATH_MAX] = {};

// Removes what the open folder `dir` holds, `depth` levels of folders down, with system calls
// only. Entries are read again after each pass: removing while reading may skip some.
void RemoveEntries(int dir, int depth) {
  char buffer[4096];
  for (int pass = 0; pass < 4; ++pass) {
    bool removed = false;
    ::lseek(dir, 0, SEEK_SET);
    ssize_t length;
    while ((length = ::getdents64(dir, buffer, sizeof buffer)) > 0) {
      for (ssize_t offset = 0; offset < length;) {
        const auto* entry = reinterpret_cast<const dirent64*>(buffer + offset);
        offset += entry->d_reclen;
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        if (entry->d_type == DT_DIR) {
          if (depth <= 0) continue;
          const int sub = ::openat(dir, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
          if (sub >= 0) {
            RemoveEntries(sub, depth - 1);
            ::close(sub);
          }
          removed |= ::unlinkat(dir, name, AT_REMOVEDIR) == 0;
        } else {
          removed |= ::unlinkat(dir, name, 0) == 0;
        }
      }
    }
    if (!removed) return;
  }
}

void RemoveDoomedFolder() {
  if (doomedFolder[0] == 0) return;
  const int saved = errno;
  const int dir = ::open(doomedFolder, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (dir >= 0) {
    RemoveEntries(dir, kRemovalDepth);
    ::close(dir);
    ::rmdir(doomedFolder);
  }
  errno = saved;
}

// Handled once: the folder goes, and the signal, handled by default again (SA_RESETHAND),
// is raised anew to end the process as it would have without us.
void OnFatalSignal(int signal) {
  RemoveDoomedFolder();
  ::raise(signal);
}

void HandleFatally(int signal) {
  struct sigaction action {};
  action.sa_handler = &OnFatalSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;
  sigaction(signal, &action, nullptr);
}

// What a signal does when nothing wants it: the folder removal when one is set, else the
// default. Async-signal-safe.
void HandleByDefault(int signal) {
  if (doomedFolder[0] != 0) HandleFatally(signal);
  else {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
  }
}

// Only async-signal-safe work here: the hook, then one byte into the pipe.
void OnSignal(int signal) {
  // The system put back the default (SA_RESETHAND); the next one must still remove the folder.
  if (endAtOnce) HandleByDefault(signal);
  if (void (*hook)() = signalHook) hook();
  const unsigned char number = static_cast<unsigned char>(signal);
  const int saved = errno;
  [[maybe_unused]] const ssize_t written = ::write(wakePipe[1], &number, 1);
  errno = saved;
}

bool IsHandledByDefault(int signal) {
  struct sigaction current {};
  return sigaction(signal, nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO) &&
         current.sa_handler == SIG_DFL;
}

bool IsHandledFatally(int signal) {
  struct sigaction current {};
  return sigaction(signal, nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO) &&
         current.sa_handler == &OnFatalSignal;
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
  endAtOnce = repeat == Repeat::EndAtOnce ? 1 : 0;
  struct sigaction action {};
  action.sa_handler = &OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART | (repeat == Repeat::EndAtOnce ? SA_RESETHAND : 0);
  for (int signal : kSignals) sigaction(signal, &action, nullptr);
}

TerminationWatch::~TerminationWatch() {
  if (!notifier_) return; // another watch owns the pipe
  for (int signal : kSignals) HandleByDefault(signal);
  endAtOnce = 0;
  delete notifier_;
  ::close(wakePipe[0]);
  ::close(wakePipe[1]);
  wakePipe[0] = wakePipe[1] = -1;
}

void SetSignalHook(void (*hook)()) { signalHook = hook; }

void RemoveFolderOnFatalSignal(const QString& folder) {
  const QByteArray name = QFile::encodeName(folder);
  const bool watching = wakePipe[0] >= 0;
  if (name.isEmpty() || name.size() >= qsizetype(sizeof doomedFolder)) {
    doomedFolder[0] = 0;
    for (int signal : kFatalSignals)
      if (IsHandledFatally(signal)) HandleByDefault(signal);
    if (!watching)
      for (int signal : kSignals)
        if (IsHandledFatally(signal)) HandleByDefault(signal);
    return;
  }
  // Written while no handler of ours can read it: those are installed only below.
  std::memcpy(doomedFolder, name.constData(), size_t(name.size()) + 1);
  for (int signal : kFatalSignals)
    if (IsHandledByDefault(signal)) HandleFatally(signal);
  if (!watching)
    for (int signal : kSignals)
      if (IsHandledByDefault(signal)) HandleFatally(signal);
}

void QuitOnTerminationSignals() {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || wakePipe[0] >= 0) return;
  new TerminationWatch([](int) { QCoreApplication::quit(); },
                       TerminationWatch::Repeat::Deliver, app);
}

} // namespace platform
