#include "common/data_folder.h"

#include "common/ini_rules.h"
#include "common/program_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

namespace {

// Cheap when they exist.
bool MakeWrittenFolders(const QString& folder) {
  bool made = true;
  for (const QString& sub : {QStringLiteral("skin/cmd"), QStringLiteral("task")})
    made = (QFileInfo(folder + sub).isDir() || QDir().mkpath(folder + sub)) && made;
  return made;
}

} // namespace

QString DataFolder() {
  const QString program = ProgramFolder();
  if (!UsesUserDataFolder(program)) return program;
  const QString folder =
      UserDataFolder(qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath());
  // The engine and folivex-get may be the first to arrive.
  MakeWrittenFolders(folder);
  return folder;
}

bool PrepareDataFolder() { return MakeWrittenFolders(DataFolder()); }

} // namespace common
