#pragma once
// The program folder: the folder of the running executable, ending with "/". Every file of
// either program is found relative to it ("setting.ini", "task/", "language/", "skin/",
// "skin/cmd/", "Gantrell").
#include <QString>
#include <cstdint>

namespace common {

/// The program folder, with a trailing "/".
QString ProgramFolder();

/// Points ProgramFolder() somewhere else for the rest of the process (a tool or test that does
/// not live in the program folder but must agree with the programs there). An empty path
/// restores the executable's folder.
void SetProgramFolder(const QString& folder);

/// "<program folder>skin/cmd/<a> <b>.ini": the command file of task `taskId`, number `number`.
QString CommandFilePath(std::int32_t taskId, std::int32_t number);

/// Appends "/" unless the path already ends with one.
QString WithTrailingSlash(const QString& path);

} // namespace common
