#pragma once
// Private-profile (INI) functions shared by both programs.
//
// They keep the behaviour callers of the classic profile functions rely on:
//  * a read copies at most `size - 1` characters and returns how many it copied, so a caller
//    can tell a truncated value by the returned length;
//  * a missing key (or section, or file) yields the caller's default, truncated the same way;
//  * section and key names compare without regard to letter case; values are trimmed of blanks
//    and of one pair of enclosing quotes;
//  * a file that begins with the bytes FF FE is read and written as UTF-16 little-endian, any
//    other file as UTF-8.
// Every write replaces the whole file atomically (temporary file, then rename), so a crash
// leaves either the old or the new file, never half of one.
#include <QString>
#include <optional>

namespace common {

struct ProfileRead {
  QString value;  ///< what was copied, at most size - 1 characters
  int length = 0; ///< number of characters copied (the classic return value)
};

/// Reads `key` of `section` from `file` into a buffer of `size` characters.
ProfileRead GetPrivateProfileString(const QString& section, const QString& key,
                                    const QString& defaultValue, int size, const QString& file);

/// Sets `key` of `section` to `value`; `std::nullopt` removes the key. Creates the file (UTF-8)
/// and the section when they are missing. Returns false when the file cannot be written.
bool WritePrivateProfileString(const QString& section, const QString& key,
                               const std::optional<QString>& value, const QString& file);

/// Creates or truncates `file` to exactly the two bytes FF FE, so that every later profile
/// write keeps it in UTF-16 little-endian. Returns false when the file cannot be written.
bool CreateUnicodeProfileFile(const QString& file);

} // namespace common
