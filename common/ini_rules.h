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
