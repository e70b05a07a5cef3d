#pragma once
// Text for standard output and standard error: UTF-8, flushed at once, so that a line is out
// before the next engine report or a command run by --exec writes to the same stream.
#include <QString>
#include <cstdio>

namespace folivex_get {

/// Writes `text` to `stream` as UTF-8 and flushes it.
void WriteText(std::FILE* stream, const QString& text);
/// Writes `text` and a newline to `stream` as UTF-8 and flushes it.
void WriteLine(std::FILE* stream, const QString& text);

} // namespace folivex_get
