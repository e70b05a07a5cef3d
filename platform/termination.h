#pragma once
// Termination signals (SIGTERM at logout or shutdown, SIGINT, SIGHUP) as work on the event
// loop. The handler only writes the signal number into a pipe, which is all a signal handler
// may safely do; a socket notifier reads it on the watch's thread, where the callback may do
// real work (quit the event loop, tell engines to quit).
#include <QObject>
#include <QString>
#include <functional>

class QSocketNotifier;

namespace platform {

class TerminationWatch : public QObject {
public:
  /// What a signal does once the first has arrived.
  enum class Repeat {
    Deliver,   ///< Every signal reaches the callback.
    EndAtOnce, ///< That signal is handled by default again: pressing Control-C twice ends the
               ///< process at once.
  };

  /// Installs the handlers; `onSignal` receives the signal number. Only one watch may exist
  /// at a time. Requires a QCoreApplication.
  TerminationWatch(std::function<void(int)> onSignal, Repeat repeat, QObject* parent = nullptr);
  /// Restores default handling of the signals.
  ~TerminationWatch() override;

private:
  std::function<void(int)> onSignal_;
  QSocketNotifier* notifier_ = nullptr;
};

/// Quits the application's event loop on any of the signals, so the normal exit steps run
/// (tasks saved, engines told to quit, the browser closed and its profile removed). Call once
/// the QCoreApplication exists; the watch lives as long as it. Safe to call more than once.
void QuitOnTerminationSignals();

/// Removes `folder`, with what it holds up to three levels down, when the process is ended by
/// a signal that never reaches the event loop: the repeated signal of an EndAtOnce watch, or
/// any signal whose default is to end the process and that nothing else handles (SIGTERM
/// while no watch is installed, SIGQUIT, SIGPIPE, SIGUSR1, SIGALRM, ...). The process then
/// ends by that same signal. Crash signals (SIGSEGV, SIGABRT) are left alone. The removal runs
/// inside the handler with system calls only. One folder per process; an empty path stops it.
void RemoveFolderOnFatalSignal(const QString& folder);

/// `hook` also runs inside the signal handler itself, before the event loop hears of the
/// signal: it lets work that blocks the event loop notice it. It must be async-signal-safe
/// (set an atomic flag, say).
void SetSignalHook(void (*hook)());

} // namespace platform
