#pragma once
// Starting programs of the program folder and opening documents, folders and addresses with
// the desktop's default application. Owners receive these as interfaces so tests can swap them.
#include <QString>
#include <QStringList>
#include <functional>
#include <sys/types.h>

namespace platform {

/// Starts programs. The real one starts them detached; the child outlives the caller.
class FIProgramLauncher {
public:
  virtual ~FIProgramLauncher() = default;
  /// Starts `program` with `arguments` (no shell). Returns the child's process id, or 0.
  virtual pid_t Launch(const QString& program, const QStringList& arguments) = 0;
};

/// How an opening failed.
struct OpenFailure {
  QString command;     ///< the program that was to open it
  int exitStatus = -1; ///< its exit status; -1 when it could not be started at all, 128 + N
                       ///< when signal N ended it
};
/// Told when an opening failed; runs on the thread that asked for the opening.
using OpenFailed = std::function<void(const OpenFailure&)>;

/// Opens a file, folder or address in the desktop's default application.
class FIUrlOpener {
public:
  virtual ~FIUrlOpener() = default;
  /// Starts opening `target`. `failed` (may be empty) hears when it turns out that nothing
  /// opened: at once when no program could be started, later when the program ended with an
  /// error soon after its start.
  virtual void Open(const QString& target, OpenFailed failed) = 0;
  /// Shows the file `file` in the file manager, selected where the file manager can do that;
  /// otherwise opens the folder that holds it. By default: Open(that folder, failed).
  virtual void ShowInFolder(const QString& file, OpenFailed failed);
};

class DetachedLauncher : public FIProgramLauncher {
public:
  pid_t Launch(const QString& program, const QStringList& arguments) override;
};

/// The environment variable naming the command that opens documents instead of `xdg-open`.
/// It is part of the product's interface, not a test hook: the command is started as
/// `COMMAND TARGET` (no shell); tests name a recorder, so no real viewer or browser opens.
inline constexpr const char* kOpenerVariable = "FOLIVEX_OPENER";

/// Opens with the command named by kOpenerVariable when it is set, else with `xdg-open`.
///
/// The command is watched for kWatchMs after its start: an exit status other than 0 in that
/// time is a failure (xdg-open ends with 3 when no application handles the target, 2 when the
/// file is missing). A command still running then (xdg-open waits for some viewers) counts as
/// opened; it is never ended by us and is reaped whenever it ends.
///
/// ShowInFolder asks the desktop's file manager (org.freedesktop.FileManager1 on the session
/// bus) to show the file selected. Without such a file manager, when it refuses, or when
/// kOpenerVariable names a command, the folder is opened instead.
class DesktopOpener : public FIUrlOpener {
public:
  static constexpr int kWatchMs = 5000;
  void Open(const QString& target, OpenFailed failed) override;
  void ShowInFolder(const QString& file, OpenFailed failed) override;
};

/// The process-wide opener; tests may replace it (ownership stays with the caller; pass null
/// to restore the real one). Programs are launched only through a launcher their owner was
/// given.
FIUrlOpener& Opener();
void SetOpener(FIUrlOpener* opener);

} // namespace platform
