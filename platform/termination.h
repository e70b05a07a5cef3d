#pragma once
// Ending the program in order when the system asks it to (SIGTERM at logout or shutdown,
// SIGINT, SIGHUP): the signal only wakes the event loop, which then quits as if the program
// had been told to, so the normal exit steps run (tasks saved, engines told to quit, the
// browser closed and its profile removed).
namespace platform {

/// Installs the handlers; call once the QCoreApplication exists. Safe to call more than once.
void QuitOnTerminationSignals();

} // namespace platform
