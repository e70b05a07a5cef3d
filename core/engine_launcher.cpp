#include "core/engine_launcher.h"

#include "common/program_folder.h"

#include <QFile>

pid_t CEngineLauncher::Start(const QString& program, const common::HandOff& job) const {
  const QString handOff = common::WriteHandOffFile(job);
  if (handOff.isEmpty()) return 0;
  const pid_t pid = launcher_.Launch(program, {handOff});
  // No engine will ever read the file.
  if (pid == 0) QFile::remove(handOff);
  return pid;
}

QString CEngineLauncher::DefaultProgram() { return common::ProgramFolder() + QStringLiteral("Gantrell"); }
