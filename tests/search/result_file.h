#pragma once
// Reading a link-search result file the way the user's viewer does.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace search_test {

inline bool HasUtf16LeMark(const QByteArray& bytes) { return bytes.startsWith("\xFF\xFE"); }

/// The text after FF FE, decoded as UTF-16 little-endian.
inline QString DecodeResult(const QByteArray& bytes) {
  QString text;
  for (qsizetype i = 2; i + 1 < bytes.size(); i += 2)
    text += QChar(char16_t(quint8(bytes[i]) | (quint8(bytes[i + 1]) << 8)));
  return text;
}

/// The lines of a result file, each without its "\r\n"; the text must end with "\r\n".
inline QStringList ResultLines(const QByteArray& bytes) {
  QStringList lines = DecodeResult(bytes).split(QStringLiteral("\r\n"));
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

} // namespace search_test
