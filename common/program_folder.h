#pragma once
// The program folder: the folder of the running executable, ending with "/". The programs and
// what ships with them lie there ("Gantrell", "language/", "skin/", "site.ini"); what the user's
// runs write lies in the data folder (common/data_folder.h), which is the program folder itself
// unless the copy is installed.
#include <QString>
#include <cstdint>

namespace common {

/// The program folder, with a trailing "/".
QString ProgramFolder();

/// Points ProgramFolder() somewhere else for the rest of the process (a tool or test that does
/// not live in the program folder but must agree with the programs there). An empty path
/// restores the executable's folder.
void SetProgramFolder(const QString& folder);

/// "<data folder>skin/cmd/<a> <b>.ini": the command file of task `taskId`, number `number`.
QString CommandFilePath(std::int32_t taskId, std::int32_t number);

/// Appends "/" unless the path already ends with one.
QString WithTrailingSlash(const QString& path);

} // namespace common
