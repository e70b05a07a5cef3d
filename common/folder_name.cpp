#include "common/folder_name.h"

namespace common {
namespace {

// Characters that draw nothing but reorder or hide the text around them; in a file name they
// only serve to disguise what the name really is.
bool IsInvisibleFormat(char32_t c) {
  return c == 0x061C || c == 0x200B || c == 0x200E || c == 0x200F ||
         (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
}

bool IsDropped(char32_t c) {
  return QChar::category(c) == QChar::Other_Control || IsInvisibleFormat(c) ||
         QChar::isNonCharacter(c);
}

// Appends code point `c` to `out`.
void Append(QString& out, char32_t c) {
  if (QChar::requiresSurrogates(c)) {
    out += QChar(QChar::highSurrogate(c));
    out += QChar(QChar::lowSurrogate(c));
  } else {
    out += QChar(char16_t(c));
  }
}

int Utf8Length(char32_t c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; }

// Walks the code points of `text`; lone surrogates are reported as 0xFFFF (a non-character).
template <typename F> void ForEachCodePoint(const QString& text, F f) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      f(QChar::surrogateToUcs4(c, text[i + 1]));
      ++i;
    } else if (c.isSurrogate()) {
      f(char32_t(0xFFFF));
    } else {
      f(char32_t(c.unicode()));
    }
  }
}

QString CleanCharacters(const QString& text) {
  QString out;
  ForEachCodePoint(text, [&](char32_t c) {
    if (IsDropped(c)) return;
    Append(out, c == '/' || c == '\\' ? char32_t('_') : c);
  });
  return out;
}

QString StripLeadingDotsAndBlanks(const QString& text) {
  qsizetype start = 0;
  while (start < text.size() && (text[start] == QLatin1Char('.') || text[start] == QLatin1Char(' ')))
    ++start;
  return text.mid(start);
}

QString CutToLimits(const QString& text) {
  QString out;
  int bytes = 0;
  bool full = false;
  ForEachCodePoint(text, [&](char32_t c) {
    if (full) return;
    const int units = QChar::requiresSurrogates(c) ? 2 : 1;
    if (out.size() + units > kMaxFolderNameChars || bytes + Utf8Length(c) > kMaxFolderNameBytes) {
      full = true;
      return;
    }
    Append(out, c);
    bytes += Utf8Length(c);
  });
  return out;
}

} // namespace

QString NormaliseWhitespace(const QString& text) { return text.simplified(); }

QString SafeFolderComponent(const QString& text) {
  // White space first, so that control characters among line breaks do not glue words.
  QString name = CleanCharacters(NormaliseWhitespace(text));
  // Removing characters may have brought blanks together again.
  name = NormaliseWhitespace(name);
  name = StripLeadingDotsAndBlanks(name);
  name = CutToLimits(name).trimmed();
  if (name.isEmpty()) return QString::fromLatin1(kNeutralFolderName);
  return name;
}

} // namespace common
