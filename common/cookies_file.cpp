#include "common/cookies_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStringList>

namespace common {
namespace {

std::optional<bool> Flag(const QString& text) {
  if (text.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0) return true;
  if (text.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0) return false;
  return std::nullopt;
}

// A name, value or domain that would break a header line or a cookie string.
bool Unsafe(const QString& text) {
  for (const QChar c : text)
    if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == QLatin1Char(';')) return true;
  return false;
}

// One line as a cookie; none when malformed.
std::optional<FileCookie> ParseLine(QString line) {
  FileCookie cookie{};
  const QLatin1String httpOnly("#HttpOnly_");
  if (line.startsWith(httpOnly, Qt::CaseInsensitive)) {
    cookie.httpOnly = true;
    line = line.mid(httpOnly.size());
  }
  QStringList fields = line.split(QLatin1Char('\t'));
  // Some exporters drop the tab before an empty value.
  if (fields.size() == 6) fields << QString();
  if (fields.size() != 7) return std::nullopt;
  cookie.domain = fields[0].trimmed();
  while (cookie.domain.startsWith(QLatin1Char('.'))) cookie.domain.remove(0, 1);
  const auto subdomains = Flag(fields[1].trimmed());
  cookie.path = fields[2].trimmed();
  const auto secure = Flag(fields[3].trimmed());
  bool number = false;
  cookie.expires = fields[4].trimmed().toLongLong(&number);
  cookie.name = fields[5];
  cookie.value = fields[6];
  if (cookie.domain.isEmpty() || cookie.domain.contains(QLatin1Char('/')) || !subdomains ||
      !secure || !number || cookie.expires < 0 || !cookie.path.startsWith(QLatin1Char('/')) ||
      cookie.name.isEmpty() || Unsafe(cookie.domain) || Unsafe(cookie.path) ||
      Unsafe(cookie.name) || Unsafe(cookie.value) || cookie.name.contains(QLatin1Char('=')))
    return std::nullopt;
  cookie.includeSubdomains = *subdomains;
  cookie.secure = *secure;
  return cookie;
}

} // namespace

CookiesFile ParseCookiesText(const QByteArray& text, qint64 now) {
  CookiesFile file;
  const QList<QByteArray> lines = text.split('\n');
  for (qsizetype i = 0; i < lines.size(); ++i) {
    QString line = QString::fromUtf8(lines[i]);
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    if (line.trimmed().isEmpty()) continue;
    const bool comment = line.startsWith(QLatin1Char('#')) &&
                         !line.startsWith(QLatin1String("#HttpOnly_"), Qt::CaseInsensitive);
    if (comment) continue;
    const auto cookie = ParseLine(line);
    if (!cookie) {
      file.malformedLines << int(i + 1);
      continue;
    }
    if (cookie->expires != 0 && cookie->expires <= now) continue; // expired: not malformed
    file.cookies.push_back(*cookie);
  }
  return file;
}

CookiesFile ReadCookiesFile(const QString& path) {
  QString name = path;
  if (name.startsWith(QLatin1String("~/"))) name = QDir::homePath() + name.mid(1);
  QFile file(name);
  CookiesFile result;
  if (!file.open(QIODevice::ReadOnly)) {
    result.error = QStringLiteral("cannot read the cookies file %1: %2").arg(path, file.errorString());
    return result;
  }
  if (file.size() > kMaxCookiesFileBytes) {
    result.error = QStringLiteral("the cookies file %1 is larger than %2 MiB")
                       .arg(path).arg(kMaxCookiesFileBytes >> 20);
    return result;
  }
  return ParseCookiesText(file.read(kMaxCookiesFileBytes), QDateTime::currentSecsSinceEpoch());
}

QString MalformedLinesWarning(const QString& path, const QList<int>& lines) {
  if (lines.isEmpty()) return {};
  QStringList numbers;
  for (int i = 0; i < lines.size() && i < 10; ++i) numbers << QString::number(lines[i]);
  QString list = numbers.size() == 1 ? numbers.front()
                                     : numbers.mid(0, numbers.size() - 1).join(QStringLiteral(", ")) +
                                           QStringLiteral(" and ") + numbers.back();
  if (lines.size() > 10) list += QStringLiteral(" (%1 in all)").arg(lines.size());
  return QStringLiteral("%1: malformed %2 %3 skipped")
      .arg(path, lines.size() == 1 ? QStringLiteral("line") : QStringLiteral("lines"), list);
}

} // namespace common
