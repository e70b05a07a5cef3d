#pragma once
// The result of a chapter link search: one text line per link, kept in a temporary UTF-16LE
// file that the user's text viewer shows. The user pastes the lines into the front-end's
// batch box, which reads an address, blanks and a folder from each line.
#include <QString>

namespace engine {

/// Separates the address from the folder in a result line.
inline constexpr const char* kResultSeparator = "   ";

/// One result line, ending with "\r\n": `address`, three spaces, `folder` as given, and the
/// link text made into one safe folder-name component (SafeFolderComponent). Blanks and
/// control characters in `address` are percent-encoded, so the line stays one line whatever
/// address a page produced.
QString SearchResultLine(const QString& address, const QString& folder, const QString& linkText);

/// Makes a new temporary file "t??????" in the temporary folder holding FF FE and `text` in
/// UTF-16 little-endian (no terminating zero). Returns its path, or empty when it could not be
/// made or written (a half-written file is removed).
QString CreateSearchResultFile(const QString& text);

} // namespace engine
