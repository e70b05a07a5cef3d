#pragma once
// CEngineLauncher: how the front-ends start an engine. The job goes into a hand-off file
// (common::WriteHandOffFile) and the engine program is started with the file's path through
// the injected FIProgramLauncher; the engine deletes the file once it has read it. When no
// engine starts, the file is removed here, so a failed start leaves nothing behind.
#include "common/command_file.h"
#include "platform/launcher.h"

#include <QString>

class CEngineLauncher {
public:
  /// `launcher` must outlive this object.
  explicit CEngineLauncher(platform::FIProgramLauncher& launcher) : launcher_(launcher) {}

  /// Writes `job` into a new hand-off file and starts `program` with its path. Returns the
  /// engine's process id, or 0 when the file could not be written or the program not started.
  pid_t Start(const QString& program, const common::HandOff& job) const;

  platform::FIProgramLauncher& Launcher() const { return launcher_; }

  /// The engine both front-ends start unless told otherwise: Gantrell in the program folder.
  static QString DefaultProgram();

private:
  platform::FIProgramLauncher& launcher_;
};
