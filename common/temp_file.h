#pragma once
#include <QString>

#include <sys/types.h>

namespace common {

/// Creates a new, empty, unique file "t" + 6 characters in the temporary folder (mkstemp)
/// and returns its path, or an empty string when none could be made. The file is private to
/// the user (mode 0600), as a hand-off between the programs should be.
QString CreateTempFile();

/// The permission bits a newly created file gets under this process's umask: 0666 without
/// the umask's bits (0644 under umask 022).
mode_t NewFileMode();

/// Gives an existing file the bits of NewFileMode(). For files the user is meant to read with
/// other programs that were made private on the way (copied from a mkstemp file, say).
/// False when the mode could not be changed (some network shares refuse); the file stays.
bool SetNewFileMode(const QString& path);

} // namespace common
