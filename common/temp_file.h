#pragma once
#include <QString>

namespace common {

/// Creates a new, empty, unique file "t" + 6 characters in the temporary folder (mkstemp)
/// and returns its path, or an empty string when none could be made.
QString CreateTempFile();

} // namespace common
