#pragma once
// Watching and ending processes this program started, by process id.
//
// A process id is reused once its process has ended. A ProcessRef therefore also holds the
// process's start time, and every test and signal here first checks that the id still names
// that same process: a late kill can never reach an unrelated program.
#include <QList>

#include <cstdint>
#include <sys/types.h>

namespace platform {

struct ProcessRef {
  pid_t pid = 0;                ///< 0: no process known
  std::uint64_t startTicks = 0; ///< start time in clock ticks after boot; 0 with pid: ended

  bool IsKnown() const { return pid > 0; }
};

/// The process `pid` as it is now; a pid that names no living process gives a ref that is
/// known but ended (pid set, startTicks 0). pid 0 gives an unknown ref.
ProcessRef IdentifyProcess(pid_t pid);

/// True while the process exists and has not ended (a zombie counts as ended).
bool IsProcessRunning(const ProcessRef& process);

/// Sends `signal` if the process still runs. False when it no longer does.
bool SignalProcess(const ProcessRef& process, int signal);

/// Waits, handling events, until every process of `processes` has ended: after `termAfterMs`
/// the ones left get SIGTERM, after `killAfterMs` SIGKILL. Returns how many had to be killed.
int AwaitProcessesEnd(const QList<ProcessRef>& processes, int termAfterMs, int killAfterMs);

/// Asks the system to send `signal` to this process the moment its parent ends, when `parent`
/// is its parent. False when it is not (or no longer) this process's parent: the request then
/// has no use, and the caller must watch `parent` some other way.
bool SignalWhenParentEnds(pid_t parent, int signal);

} // namespace platform
