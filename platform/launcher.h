#pragma once
// Starting programs of the program folder and opening documents, folders and addresses with
// the desktop's default application. Owners receive these as interfaces so tests can swap them.
#include <QString>
#include <QStringList>
#include <sys/types.h>

namespace platform {

/// Starts programs. The real one starts them detached; the child outlives the caller.
class FIProgramLauncher {
public:
  virtual ~FIProgramLauncher() = default;
  /// Starts `program` with `arguments` (no shell). Returns the child's process id, or 0.
  virtual pid_t Launch(const QString& program, const QStringList& arguments) = 0;
};

/// Opens a file, folder or address in the desktop's default application.
class FIUrlOpener {
public:
  virtual ~FIUrlOpener() = default;
  virtual bool Open(const QString& target) = 0;
};

class DetachedLauncher : public FIProgramLauncher {
public:
  pid_t Launch(const QString& program, const QStringList& arguments) override;
};

/// Opens with `xdg-open`, or with the command named by the environment variable
/// FOLIVEX_OPENER when it is set (tests point it at a recorder, so no real viewer opens).
class DesktopOpener : public FIUrlOpener {
public:
  bool Open(const QString& target) override;
};

/// The process-wide launcher and opener; tests may replace them (ownership stays with the
/// caller; pass null to restore the real ones).
FIProgramLauncher& Launcher();
void SetLauncher(FIProgramLauncher* launcher);
FIUrlOpener& Opener();
void SetOpener(FIUrlOpener* opener);

} // namespace platform
