#pragma once
// A user's cookies in the Netscape "cookies.txt" form that browser export add-ons write and
// curl reads: one cookie per line, seven fields separated by tabs:
//
//   domain  include-subdomains  path  secure  expires  name  value
//
// "include-subdomains" and "secure" are TRUE or FALSE; "expires" is seconds since 1970, 0 for
// a cookie of the session. A domain written as "#HttpOnly_example.com" marks a cookie that
// scripts may not read; other lines starting with "#" are comments, and blank lines are
// skipped. The file is only ever read, never written; what is read lives in memory only.
#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <vector>

namespace common {

/// One cookie of the file.
struct FileCookie {
  QString domain;          ///< without a leading "." or "#HttpOnly_"
  bool includeSubdomains;  ///< sent to every host below `domain` too, not to `domain` alone
  QString path;            ///< starts with "/"
  bool secure;             ///< sent over https only
  qint64 expires;          ///< seconds since 1970; 0: ends with the session
  QString name;
  QString value;
  bool httpOnly;           ///< hidden from the page's scripts
  bool operator==(const FileCookie&) const = default;
};

/// What reading a cookies file gave.
struct CookiesFile {
  std::vector<FileCookie> cookies; ///< in file order; cookies expired at reading left out
  QList<int> malformedLines;       ///< 1-based numbers of the lines skipped as malformed
  QString error;                   ///< why nothing could be read; empty when it was read
};

/// The largest cookies file read; a longer one is refused whole.
constexpr qint64 kMaxCookiesFileBytes = 8 * 1024 * 1024;

/// Parses the text of a cookies file; `now` (seconds since 1970) tells expired cookies.
CookiesFile ParseCookiesText(const QByteArray& text, qint64 now);
/// Reads and parses the file at `path` ("~/" stands for the home folder).
CookiesFile ReadCookiesFile(const QString& path);

/// The one warning about malformed lines, naming them ("PATH: malformed lines 3, 7 and 9
/// skipped", at most ten numbers); empty when there are none.
QString MalformedLinesWarning(const QString& path, const QList<int>& lines);

} // namespace common
