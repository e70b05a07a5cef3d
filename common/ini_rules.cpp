#include "common/ini_rules.h"

#include "common/profile.h"

namespace common {
namespace {
const QString kMissing = QStringLiteral("\n");
constexpr int kFirstBuffer = 512;
constexpr int kRereadAt = 505;
constexpr int kSecondBuffer = 4096;
constexpr int kNumberBuffer = 32;
} // namespace

std::optional<QString> ReadProfileString(const QString& file, const QString& key,
                                         const QString& section) {
  ProfileRead read = GetPrivateProfileString(section, key, kMissing, kFirstBuffer, file);
  if (read.value == kMissing) return std::nullopt;
  if (read.length >= kRereadAt)
    read = GetPrivateProfileString(section, key, kMissing, kSecondBuffer, file);
  return read.value;
}

std::optional<std::int32_t> ReadProfileInt(const QString& file, const QString& key,
                                           const QString& section) {
  const ProfileRead read = GetPrivateProfileString(section, key, kMissing, kNumberBuffer, file);
  if (read.value == kMissing) return std::nullopt;
  return ParseInt32(read.value);
}

std::int32_t ParseInt32(const QString& text) {
  // Like a C base-10 conversion: leading blanks, an optional sign, then digits up to the
  // first non-digit; overflow saturates as the 64-bit conversion does.
  qsizetype i = 0;
  while (i < text.size() && text[i].isSpace()) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
    negative = text[i++] == QLatin1Char('-');
  std::uint64_t magnitude = 0;
  bool overflow = false;
  for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
    const unsigned digit = text[i].unicode() - u'0';
    if (magnitude > (UINT64_MAX - digit) / 10) overflow = true;
    if (!overflow) magnitude = magnitude * 10 + digit;
  }
  std::int64_t value;
  if (negative)
    value = (overflow || magnitude > std::uint64_t(INT64_MAX) + 1) ? INT64_MIN
                                                                   : std::int64_t(0 - magnitude);
  else
    value = (overflow || magnitude > std::uint64_t(INT64_MAX)) ? INT64_MAX : std::int64_t(magnitude);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

QString FormatInt(std::int32_t value) {
  return QString::number(static_cast<qint64>(value));
}

bool WriteProfileString(const QString& file, const QString& key, const QString& value,
                        const QString& section) {
  return WritePrivateProfileString(section, key, value, file);
}

bool WriteProfileInt(const QString& file, const QString& key, std::int32_t value,
                     const QString& section) {
  return WritePrivateProfileString(section, key, FormatInt(value), file);
}

} // namespace common
