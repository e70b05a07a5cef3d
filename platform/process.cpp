#include "platform/process.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace platform {
namespace {

struct ProcessStat {
  char state = 0;
  std::uint64_t startTicks = 0;
};

// Fields 3 (state) and 22 (start time) of /proc/<pid>/stat. The command name (field 2) is in
// parentheses and may hold blanks and parentheses itself, so fields count after the last ")".
bool ReadStat(pid_t pid, ProcessStat& stat) {
  QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray text = file.read(4096);
  const qsizetype close = text.lastIndexOf(')');
  if (close < 0) return false;
  const QList<QByteArray> fields = text.mid(close + 1).simplified().split(' ');
  // fields[0] is field 3, so field 22 is fields[19].
  if (fields.size() < 20 || fields[0].isEmpty()) return false;
  bool ok = false;
  stat.state = fields[0][0];
  stat.startTicks = fields[19].toULongLong(&ok);
  return ok && stat.startTicks > 0;
}

} // namespace

ProcessRef IdentifyProcess(pid_t pid) {
  if (pid <= 0) return {};
  ProcessStat stat;
  if (!ReadStat(pid, stat) || stat.state == 'Z' || stat.state == 'X') return {pid, 0};
  return {pid, stat.startTicks};
}

bool IsProcessRunning(const ProcessRef& process) {
  if (!process.IsKnown() || process.startTicks == 0) return false;
  ProcessStat stat;
  return ReadStat(process.pid, stat) && stat.startTicks == process.startTicks &&
         stat.state != 'Z' && stat.state != 'X';
}

bool SignalProcess(const ProcessRef& process, int signal) {
  return IsProcessRunning(process) && ::kill(process.pid, signal) == 0;
}

int AwaitProcessesEnd(const QList<ProcessRef>& processes, int termAfterMs, int killAfterMs) {
  const auto anyRunning = [&] {
    for (const ProcessRef& process : processes)
      if (IsProcessRunning(process)) return true;
    return false;
  };
  const auto signalAll = [&](int signal) {
    int sent = 0;
    for (const ProcessRef& process : processes) sent += SignalProcess(process, signal) ? 1 : 0;
    return sent;
  };
  QDeadlineTimer term(termAfterMs);
  QDeadlineTimer kill(killAfterMs);
  bool termSent = false;
  while (anyRunning()) {
    if (kill.hasExpired()) {
      const int killed = signalAll(SIGKILL);
      // A killed process is gone at once; a child of ours only becomes a zombie, which counts
      // as ended too.
      QDeadlineTimer reaped(1000);
      while (anyRunning() && !reaped.hasExpired()) QThread::msleep(10);
      return killed;
    }
    if (!termSent && term.hasExpired()) {
      signalAll(SIGTERM);
      termSent = true;
    }
    // Events keep flowing: an engine that sends one last report must get its reply to end.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(10);
  }
  return 0;
}

bool SignalWhenParentEnds(pid_t parent, int signal) {
  if (parent <= 0 || ::getppid() != parent) return false;
  if (::prctl(PR_SET_PDEATHSIG, signal) != 0) return false;
  // The parent may have ended just before the request: the child was then handed to another.
  return ::getppid() == parent;
}

} // namespace platform
