#include "common/program_folder.h"

#include "common/data_folder.h"

#include <QFileInfo>

namespace common {
namespace {

QString& Override() {
  static QString folder;
  return folder;
}

QString ExecutableFolder() {
  const QFileInfo exe(QStringLiteral("/proc/self/exe"));
  return WithTrailingSlash(QFileInfo(exe.symLinkTarget()).absolutePath());
}

} // namespace

QString ProgramFolder() {
  if (!Override().isEmpty()) return Override();
  static const QString folder = ExecutableFolder();
  return folder;
}

void SetProgramFolder(const QString& folder) {
  Override() = folder.isEmpty() ? QString() : WithTrailingSlash(folder);
}

QString CommandFilePath(std::int32_t taskId, std::int32_t number) {
  return DataFolder() + QStringLiteral("skin/cmd/%1 %2.ini").arg(taskId).arg(number);
}

QString WithTrailingSlash(const QString& path) {
  return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

} // namespace common
