#include "common/profile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace common {
namespace {

// A profile file held as lines, with the encoding it must be written back in.
using ProfileText = ProfileFile::Text;

bool StartsWithUtf16Mark(const QByteArray& bytes) {
  return bytes.size() >= 2 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xFE;
}

// UTF-16LE text that lost its mark: an INI file starts with a character below U+0100 ("[",
// ";", a blank), whose second byte is 0. No UTF-8 text has a NUL there.
bool LooksLikeUtf16WithoutMark(const QByteArray& bytes) {
  return bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0';
}

QString Utf16Text(const char* data, qsizetype bytes) {
  QString all(bytes / 2, Qt::Uninitialized);
  for (qsizetype i = 0; i < all.size(); ++i)
    all[i] = QChar(char16_t(uchar(data[2 * i]) | (uchar(data[2 * i + 1]) << 8)));
  return all;
}

ProfileText Decode(const QByteArray& bytes) {
  ProfileText text;
  QString all;
  if (StartsWithUtf16Mark(bytes)) {
    text.utf16 = true;
    all = Utf16Text(bytes.constData() + 2, bytes.size() - 2);
  } else if (LooksLikeUtf16WithoutMark(bytes)) {
    text.utf16 = true;
    all = Utf16Text(bytes.constData(), bytes.size());
  } else if (bytes.startsWith("\xEF\xBB\xBF")) {
    all = QString::fromUtf8(bytes.mid(3));
  } else {
    all = QString::fromUtf8(bytes);
  }
  if (all.isEmpty()) return text;
  text.lines = all.split(QLatin1Char('\n'));
  for (QString& line : text.lines)
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
  if (text.lines.last().isEmpty()) text.lines.removeLast(); // the final line break
  return text;
}

QByteArray Encode(const ProfileText& text) {
  QString all;
  for (const QString& line : text.lines) all += line + QStringLiteral("\r\n");
  if (!text.utf16) return all.toUtf8();
  QByteArray bytes("\xFF\xFE", 2);
  for (QChar c : all) {
    const char16_t unit = c.unicode();
    bytes.append(char(unit & 0xFF));
    bytes.append(char(unit >> 8));
  }
  return bytes;
}

std::optional<ProfileText> Load(const QString& file) {
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
  return Decode(f.readAll());
}

bool Store(const QString& file, const QByteArray& bytes) {
  QSaveFile f(file);
  if (!f.open(QIODevice::WriteOnly)) return false;
  if (f.write(bytes) != bytes.size()) {
    f.cancelWriting();
    return false;
  }
  return f.commit();
}

// "[name]" at the start of a trimmed line names a section; anything after "]" is ignored.
std::optional<QString> SectionName(const QString& line) {
  const QString t = line.trimmed();
  if (!t.startsWith(QLatin1Char('['))) return std::nullopt;
  const qsizetype end = t.indexOf(QLatin1Char(']'));
  return (end < 0 ? t.mid(1) : t.mid(1, end - 1)).trimmed();
}

QString KeyOf(const QString& line) {
  const qsizetype eq = line.indexOf(QLatin1Char('='));
  return eq < 0 ? QString() : line.left(eq).trimmed();
}

QString ValueOf(const QString& line) {
  QString v = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
  if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
      v.back() == v.front())
    v = v.mid(1, v.size() - 2);
  return v;
}

// A value is one line of the file: line breaks in it (from web text, say) become blanks, so a
// value can never add keys or sections of its own.
QString OneLine(QString value) {
  for (QChar& c : value)
    if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) c = QLatin1Char(' ');
  return value;
}

bool SameName(const QString& a, const QString& b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Line range [first, end) of the section's body, or first == -1 when there is no such section.
struct SectionRange {
  qsizetype header = -1;
  qsizetype end = -1;
};

SectionRange FindSection(const QStringList& lines, const QString& section) {
  SectionRange range;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const auto name = SectionName(lines[i]);
    if (!name) continue;
    if (range.header >= 0) {
      range.end = i;
      return range;
    }
    if (SameName(*name, section)) range.header = i;
  }
  if (range.header >= 0) range.end = lines.size();
  return range;
}

qsizetype FindKey(const QStringList& lines, const SectionRange& range, const QString& key) {
  for (qsizetype i = range.header + 1; i < range.end; ++i) {
    const QString& line = lines[i];
    if (line.trimmed().startsWith(QLatin1Char(';'))) continue;
    if (line.contains(QLatin1Char('=')) && SameName(KeyOf(line), key)) return i;
  }
  return -1;
}

ProfileRead Truncated(const QString& value, int size) {
  if (size <= 0) return {};
  ProfileRead read;
  read.value = value.left(size - 1);
  read.length = int(read.value.size());
  return read;
}


ProfileRead LookUp(const ProfileText& text, const QString& section, const QString& key,
                   const QString& defaultValue, int size) {
  const SectionRange range = FindSection(text.lines, section);
  if (range.header < 0) return Truncated(defaultValue, size);
  const qsizetype at = FindKey(text.lines, range, key);
  if (at < 0) return Truncated(defaultValue, size);
  return Truncated(ValueOf(text.lines[at]), size);
}

// Sets or removes one key; false when there was nothing to remove.
bool Change(ProfileText& text, const QString& section, const QString& key,
            const std::optional<QString>& value) {
  SectionRange range = FindSection(text.lines, section);
  const QString entry = key + QLatin1Char('=') + OneLine(value.value_or(QString()));
  if (range.header < 0) {
    if (!value) return false;
    text.lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
    return true;
  }
  const qsizetype at = FindKey(text.lines, range, key);
  if (at >= 0) {
    if (value)
      text.lines[at] = entry;
    else
      text.lines.removeAt(at);
  } else if (value) {
    // New keys go after the section's last non-blank line, before any blank separator.
    qsizetype insertAt = range.end;
    while (insertAt > range.header + 1 && text.lines[insertAt - 1].trimmed().isEmpty()) --insertAt;
    text.lines.insert(insertAt, entry);
  } else {
    return false;
  }
  return true;
}

} // namespace

ProfileRead GetPrivateProfileString(const QString& section, const QString& key,
                                    const QString& defaultValue, int size, const QString& file) {
  const auto text = Load(file);
  if (!text) return Truncated(defaultValue, size);
  return LookUp(*text, section, key, defaultValue, size);
}

bool WritePrivateProfileString(const QString& section, const QString& key,
                               const std::optional<QString>& value, const QString& file) {
  ProfileFile text(file);
  if (!text.Set(section, key, value)) return true; // nothing to remove
  return text.Save(); // a file that already says so is left alone
}

bool ReplaceFile(const QString& file, const QByteArray& bytes) { return Store(file, bytes); }

bool CreateUnicodeProfileFile(const QString& file) {
  return Store(file, QByteArray("\xFF\xFE", 2));
}

ProfileFile::ProfileFile(const QString& file) : file_(file) {
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) return;
  exists_ = true;
  onDisk_ = f.readAll();
  text_ = Decode(onDisk_);
  lostMark_ = text_.utf16 && !StartsWithUtf16Mark(onDisk_);
  // Decode drops the final line break; a last line without one may have lost its end.
  const bool endsWithBreak =
      text_.utf16 ? onDisk_.endsWith(QByteArray("\n\0", 2)) : onDisk_.endsWith('\n');
  if (!text_.lines.isEmpty() && !endsWithBreak) unterminatedKey_ = KeyOf(text_.lines.last());
}

ProfileFile::ProfileFile(const QString& file, bool utf16) : file_(file) { text_.utf16 = utf16; }

ProfileRead ProfileFile::Get(const QString& section, const QString& key,
                             const QString& defaultValue, int size) const {
  return LookUp(text_, section, key, defaultValue, size);
}

bool ProfileFile::Set(const QString& section, const QString& key,
                      const std::optional<QString>& value) {
  return Change(text_, section, key, value);
}

QByteArray ProfileFile::Bytes() const {
  // An empty UTF-16 file is still its mark, as CreateUnicodeProfileFile makes it.
  return Encode(text_);
}

bool ProfileFile::Save() {
  const QByteArray bytes = Bytes();
  if (exists_ && bytes == onDisk_) return true;
  if (!Store(file_, bytes)) return false;
  onDisk_ = bytes;
  exists_ = true;
  return true;
}

} // namespace common
