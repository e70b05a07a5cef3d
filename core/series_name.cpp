#include "core/series_name.h"

#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

namespace series_name {
namespace {

constexpr int kMaxHeadingChars = 120;

// Words that sites put around every title; a part made only of them names nothing.
const QStringList& LatinFillers() {
  static const QStringList words = {
      "read", "online", "free", "manga", "manhwa", "manhua", "comic", "comics", "webtoon",
      "webcomic", "chapter", "chapters", "all", "latest", "list", "raw", "scans", "scan",
      "english", "full", "hd", "for", "at", "in", "on", "new", "index", "archive", "home"};
  return words;
}
const QStringList& CjkFillers() {
  static const QStringList words = {
      QStringLiteral(u"最新章节"), QStringLiteral(u"章节列表"), QStringLiteral(u"章节目录"),
      QStringLiteral(u"在线阅读"), QStringLiteral(u"在线观看"), QStringLiteral(u"免费阅读"),
      QStringLiteral(u"漫画网"), QStringLiteral(u"漫画"), QStringLiteral(u"漫畫"),
      QStringLiteral(u"全集"), QStringLiteral(u"目录"), QStringLiteral(u"下拉式"),
      QStringLiteral(u"免费"), QStringLiteral(u"阅读"), QStringLiteral(u"连载中"),
      QStringLiteral(u"完结"), QStringLiteral(u"マンガ"), QStringLiteral(u"無料"),
      QStringLiteral(u"웹툰"), QStringLiteral(u"만화"), QStringLiteral(u"최신화")};
  return words;
}

const QRegularExpression& Separators() {
  static const QRegularExpression re(QStringLiteral(u"\\s+[-|–—:·»]+\\s+|\\s*[|_｜]\\s*|\\s+::\\s+"));
  return re;
}

// Letters and digits only, lower case: "Manga-Site.com" and "MangaSite" meet as "mangasite".
QString Squashed(const QString& text) {
  QString out;
  for (const QChar c : text.toLower())
    if (c.isLetterOrNumber()) out += c;
  return out;
}

// The names in the host: "www.manga-site.co.uk" gives "mangasite".
QStringList HostNames(const QString& pageUrl) {
  static const QStringList ignored = {"www", "m", "com", "net", "org", "co", "info", "io", "cc", "tv", "me"};
  QStringList labels = QUrl(pageUrl).host().toLower().split(QLatin1Char('.'), Qt::SkipEmptyParts);
  if (labels.size() > 1) labels.removeLast(); // the top-level domain
  QStringList names;
  for (const QString& label : labels) {
    const QString name = Squashed(label);
    if (name.size() >= 3 && !ignored.contains(name) && !name.front().isDigit()) names << name;
  }
  return names;
}

bool NamesSite(const QString& part, const QStringList& hostNames) {
  const QString squashed = Squashed(part);
  if (squashed.isEmpty()) return false;
  for (const QString& name : hostNames)
    if (squashed.contains(name) || (squashed.size() >= 3 && name.contains(squashed))) return true;
  return false;
}

// `text` without filler words at its ends, brackets and quotes around it.
QString WithoutFillers(QString text) {
  static const QRegularExpression latinWord(QStringLiteral("^(\\p{L}+)\\b|\\b(\\p{L}+)$"),
                                            QRegularExpression::UseUnicodePropertiesOption);
  static const QString opening = QStringLiteral(u"《「『【[(\"“‘'");
  static const QString closing = QStringLiteral(u"》」』】])\"”’'");
  static const QString loose = QStringLiteral(u" :：-–—");
  for (bool changed = true; changed;) {
    changed = false;
    text = text.trimmed();
    while (!text.isEmpty() && loose.contains(text.front())) text.remove(0, 1), changed = true;
    while (!text.isEmpty() && loose.contains(text.back())) text.chop(1), changed = true;
    const qsizetype open = text.isEmpty() ? -1 : opening.indexOf(text.front());
    if (open >= 0 && text.size() > 2 && text.back() == closing[open]) {
      text = text.mid(1, text.size() - 2);
      changed = true;
    }
    for (const QString& word : CjkFillers()) {
      if (text.startsWith(word) && text.size() > word.size()) text.remove(0, word.size()), changed = true;
      if (text.endsWith(word) && text.size() > word.size()) text.chop(word.size()), changed = true;
    }
    const qsizetype space = text.indexOf(QLatin1Char(' '));
    if (space < 0) continue; // one word is left whatever it is
    const QString first = text.left(space);
    const QString last = text.section(QLatin1Char(' '), -1);
    if (LatinFillers().contains(first.toLower())) text.remove(0, space + 1), changed = true;
    else if (LatinFillers().contains(last.toLower())) text.chop(last.size() + 1), changed = true;
  }
  return text;
}

bool OnlyFillers(const QString& part) {
  QString rest = part;
  for (const QString& word : CjkFillers()) rest.remove(word);
  for (const QString& word : rest.split(QRegularExpression(QStringLiteral("[^\\p{L}\\p{N}]+"),
                                                           QRegularExpression::UseUnicodePropertiesOption),
                                        Qt::SkipEmptyParts))
    if (!LatinFillers().contains(word.toLower())) return false;
  return true;
}

QString NameInTitle(const QString& title, const QStringList& hostNames) {
  for (const QString& part : title.split(Separators(), Qt::SkipEmptyParts)) {
    if (NamesSite(part, hostNames) || OnlyFillers(part)) continue;
    const QString name = WithoutFillers(part);
    if (!name.isEmpty()) return name;
  }
  return QString();
}

bool Agree(const QString& a, const QString& b) {
  return a.contains(b, Qt::CaseInsensitive) || b.contains(a, Qt::CaseInsensitive);
}

} // namespace

QString SeriesName(const QString& title, const QString& heading, const QString& pageUrl) {
  const QStringList hostNames = HostNames(pageUrl);
  const QString fromTitle = NameInTitle(title.simplified(), hostNames);
  const QString plainHeading = heading.simplified();
  if (!plainHeading.isEmpty() && plainHeading.size() <= kMaxHeadingChars &&
      !NamesSite(plainHeading, hostNames) && !OnlyFillers(plainHeading)) {
    const QString fromHeading = WithoutFillers(plainHeading);
    if (fromTitle.isEmpty() || Agree(fromTitle, fromHeading) || Agree(title, fromHeading))
      return fromHeading;
  }
  return fromTitle;
}

} // namespace series_name
