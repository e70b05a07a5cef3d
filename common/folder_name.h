#pragma once
// Turning untrusted text (a web page's link text) into one folder-name component that is safe
// to append to a folder the user chose: it can never name a parent folder, a sub-folder or a
// hidden entry, and it fits a file-system name.
#include <QString>

namespace common {

/// Name used when nothing usable is left of the text.
inline constexpr const char* kNeutralFolderName = "chapter";
/// Longest component made, in characters (UTF-16 code units) and in bytes of its UTF-8 form.
inline constexpr int kMaxFolderNameChars = 120;
inline constexpr int kMaxFolderNameBytes = 240;

/// Collapses every run of white space (line breaks and tabs included) into one space and
/// trims both ends. The result holds no line break, so it fits in one line of a text file.
QString NormaliseWhitespace(const QString& text);

/// One safe folder-name component made from `text`:
///  * white space normalised as above;
///  * control and invisible direction-override characters, lone surrogates and
///    non-characters removed;
///  * "/" and "\" replaced by "_", so the text can never add a folder level;
///  * leading "." and blanks removed, so it is never ".", ".." or a hidden name;
///  * cut to kMaxFolderNameChars characters and kMaxFolderNameBytes UTF-8 bytes at a
///    character boundary, then trimmed again;
///  * kNeutralFolderName when nothing is left.
QString SafeFolderComponent(const QString& text);

} // namespace common
