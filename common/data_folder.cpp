#include "common/data_folder.h"

#include "common/ini_rules.h"
#include "common/program_folder.h"

#include <QDir>
#include <QFile>
#include <unistd.h>

namespace common {

bool UsesUserDataFolder(const QString& programFolder) {
  if (::access(QFile::encodeName(programFolder).constData(), W_OK) != 0) return true;
  return ReadProfileInt(programFolder + QStringLiteral("layout.ini"), QStringLiteral("user_data"))
             .value_or(0) != 0;
}

QString UserDataFolder(const QString& xdgDataHome, const QString& home) {
  const QString base = QDir::isAbsolutePath(xdgDataHome)
                           ? xdgDataHome
                           : WithTrailingSlash(home) + QStringLiteral(".local/share");
  return WithTrailingSlash(QDir::cleanPath(base)) + QStringLiteral("folivex/");
}

QString DataFolder() {
  const QString program = ProgramFolder();
  if (!UsesUserDataFolder(program)) return program;
  const QString folder =
      UserDataFolder(qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath());
  // Cheap when they exist; the engine and folivex-get may be the first to arrive.
  if (!QDir(folder + QStringLiteral("skin/cmd")).exists())
    QDir().mkpath(folder + QStringLiteral("skin/cmd"));
  if (!QDir(folder + QStringLiteral("task")).exists()) QDir().mkpath(folder + QStringLiteral("task"));
  return folder;
}

} // namespace common
