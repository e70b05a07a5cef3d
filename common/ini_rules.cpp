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

std::optional<QString> ReadProfileString(const ProfileFile& file, const QString& key,
                                         const QString& section) {
  ProfileRead read = file.Get(section, key, kMissing, kFirstBuffer);
  if (read.value == kMissing) return std::nullopt;
  if (read.length >= kRereadAt) read = file.Get(section, key, kMissing, kSecondBuffer);
  return read.value;
}

std::optional<std::int32_t> ReadProfileInt(const ProfileFile& file, const QString& key,
                                           const QString& section) {
  const ProfileRead read = file.Get(section, key, kMissing, kNumberBuffer);
  if (read.value == kMissing) return std::nullopt;
  return ParseInt32(read.value);
}

std::optional<std::int32_t> ParseStrictInt32(const QString& text) {
  const QString t = text.trimmed();
  qsizetype i = (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) ? 1 : 0;
  if (i == t.size()) return std::nullopt;
  for (qsizetype j = i; j < t.size(); ++j)
    if (t[j] < QLatin1Char('0') || t[j] > QLatin1Char('9')) return std::nullopt;
  bool ok = false;
  const qlonglong value = t.toLongLong(&ok);
  if (!ok || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return std::int32_t(value);
}

std::int32_t ReadCheckedInt(const ProfileFile& file, const QString& key, std::int32_t fallback,
                            std::int32_t min, std::int32_t max, bool* repaired,
                            const QString& section) {
  // Read whole, not into the 32-character number buffer: a cut value would pass as another.
  const std::optional<QString> text = ReadProfileString(file, key, section);
  if (!text) return fallback;
  const std::optional<std::int32_t> value = ParseStrictInt32(*text);
  if (value && *value >= min && *value <= max) return *value;
  if (repaired) *repaired = true;
  return fallback;
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
