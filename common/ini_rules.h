#pragma once
// The INI reading and writing rules both programs share, on top of the profile functions.
//
// Everything lives in section "app" unless a caller names another. A read uses the default
// "\n" (one line feed) as the sign of a missing key and a 512-character buffer; a value that
// fills 505 characters or more is read again into 4096 characters. Numbers are read into 32
// characters and parsed as decimal 64-bit values of which the low 32 bits are used. Integers
// are written in decimal from the sign-extended 32-bit value.
#include <QString>
#include <cstdint>
#include <optional>

namespace common {

class ProfileFile;

inline const QString kAppSection = QStringLiteral("app");

/// A text value, or nullopt when the key (or the file) is missing. A present, empty key
/// yields an empty string.
std::optional<QString> ReadProfileString(const QString& file, const QString& key,
                                         const QString& section = kAppSection);

/// The same rule under the name the skin and language code uses.
inline std::optional<QString> ReadIniString(const QString& file, const QString& section,
                                            const QString& key) {
  return ReadProfileString(file, key, section);
}

/// A number by the numeric rule, or nullopt when the key is missing.
std::optional<std::int32_t> ReadProfileInt(const QString& file, const QString& key,
                                           const QString& section = kAppSection);

/// The same two rules on a file read once (ProfileFile).
std::optional<QString> ReadProfileString(const ProfileFile& file, const QString& key,
                                         const QString& section = kAppSection);
std::optional<std::int32_t> ReadProfileInt(const ProfileFile& file, const QString& key,
                                           const QString& section = kAppSection);

/// The longest text the long-string rule can return (the second buffer less its end mark):
/// a value of this length may have been cut.
constexpr int kLongestProfileString = 4095;

/// A number kept in a settings or task file, checked: `fallback` when the key is missing;
/// also `fallback`, with `*repaired` set, when the value is no plain decimal number (blanks
/// around it and a sign allowed; "abc", "12abc", "" are not) or lies outside [min, max].
/// The file should then be written again with the value taken.
std::int32_t ReadCheckedInt(const ProfileFile& file, const QString& key, std::int32_t fallback,
                            std::int32_t min, std::int32_t max, bool* repaired,
                            const QString& section = kAppSection);

/// The value of `text` when it is a plain decimal number that fits 32 bits (blanks around it
/// and a sign allowed); nullopt otherwise.
std::optional<std::int32_t> ParseStrictInt32(const QString& text);

/// Low 32 bits of the decimal 64-bit value at the start of `text` (0 when there is none):
/// the base-10 conversion every numeric INI value and command-file item goes through.
std::int32_t ParseInt32(const QString& text);

/// Decimal text of a sign-extended 32-bit value (what "%I64d" prints).
QString FormatInt(std::int32_t value);

bool WriteProfileString(const QString& file, const QString& key, const QString& value,
                        const QString& section = kAppSection);
bool WriteProfileInt(const QString& file, const QString& key, std::int32_t value,
                     const QString& section = kAppSection);

} // namespace common
