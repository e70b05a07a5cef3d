#include "platform/launcher.h"

#include <QFileInfo>
#include <QProcess>

namespace platform {
namespace {
FIUrlOpener* openerOverride = nullptr;
} // namespace

void FIUrlOpener::ShowInFolder(const QString& file, OpenFailed failed) {
  Open(QFileInfo(file).absolutePath(), std::move(failed));
}

pid_t DetachedLauncher::Launch(const QString& program, const QStringList& arguments) {
  qint64 pid = 0;
  if (!QProcess::startDetached(program, arguments, QString(), &pid)) return 0;
  return pid_t(pid);
}

FIUrlOpener& Opener() {
  static DesktopOpener real;
  return openerOverride ? *openerOverride : real;
}

void SetOpener(FIUrlOpener* opener) { openerOverride = opener; }

} // namespace platform
