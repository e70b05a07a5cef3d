#include "engine/browser/renderer_memory.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QHash>

namespace engine {

namespace {

QByteArray ReadProcFile(pid_t pid, const char* name) {
  QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// The parent from /proc/<pid>/stat; the command name in parentheses may hold anything, so
// the fields are read after its last ')'.
pid_t ParentOf(pid_t pid) {
  const QByteArray stat = ReadProcFile(pid, "stat");
  const qsizetype end = stat.lastIndexOf(')');
  if (end < 0) return 0;
  const QList<QByteArray> fields = stat.mid(end + 2).split(' ');
  return fields.size() > 1 ? pid_t(fields[1].toLong()) : 0;
}

bool IsRenderer(pid_t pid) {
  // Chromium rewrites its process title, so the arguments may be parted by spaces instead of
  // zero bytes.
  QByteArray cmdline = ReadProcFile(pid, "cmdline");
  cmdline.replace('\0', ' ');
  return (cmdline + ' ').contains(" --type=renderer ");
}

qint64 ResidentBytes(pid_t pid) {
  for (const QByteArray& line : ReadProcFile(pid, "status").split('\n')) {
    if (!line.startsWith("VmRSS:")) continue;
    const QList<QByteArray> parts = line.simplified().split(' ');
    return parts.size() > 1 ? parts[1].toLongLong() * 1024 : 0;
  }
  return 0;
}

} // namespace

QList<RendererMemory> RenderersBelow(pid_t browser) {
  QList<RendererMemory> found;
  if (browser <= 0) return found;
  QHash<pid_t, QList<pid_t>> children;
  const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString& name : entries) {
    bool ok = false;
    const pid_t pid = pid_t(name.toLong(&ok));
    if (ok && pid > 0) children[ParentOf(pid)].append(pid);
  }
  QList<pid_t> todo{browser};
  while (!todo.isEmpty()) {
    for (pid_t child : children.value(todo.takeLast())) {
      todo.append(child);
      if (IsRenderer(child)) found.append({child, ResidentBytes(child)});
    }
  }
  return found;
}

} // namespace engine
