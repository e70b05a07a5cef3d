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

/// The environment variable naming the command that opens documents instead of `xdg-open`.
/// It is part of the product's interface, not a test hook: the command is started as
/// `COMMAND TARGET` (no shell) and inherited by the engines, whose link search opens its result
/// file with it. folivex-get names itself here to receive the result of `--links`; tests name
/// a recorder or a copying script, so no real viewer opens.
inline constexpr const char* kOpenerVariable = "FOLIVEX_OPENER";

/// Opens with the command named by kOpenerVariable when it is set, else with `xdg-open`.
class DesktopOpener : public FIUrlOpener {
public:
  bool Open(const QString& target) override;
};

/// The process-wide opener; tests may replace it (ownership stays with the caller; pass null
/// to restore the real one). Programs are launched only through a launcher their owner was
/// given.
FIUrlOpener& Opener();
void SetOpener(FIUrlOpener* opener);

} // namespace platform
