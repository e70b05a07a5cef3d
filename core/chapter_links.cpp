#include "core/chapter_links.h"

#include "common/folder_name.h"
#include "core/series_name.h"

#include <QHash>
#include <QRegularExpression>
#include <QUrl>
#include <algorithm>
#include <optional>

namespace chapter_links {
namespace {

// A number as chapter labels write it: digits with an optional decimal part.
const QString kNumber = QStringLiteral("(\\d+(?:\\.\\d+)?)");
const QString kHanNumber = QStringLiteral(u"([零〇一二两三四五六七八九十百千]+)");

// A number of an address: digits, with parts after ".", "-" or "_" ("12-5", "2024-05-01").
const QRegularExpression& AddressNumber() {
  static const QRegularExpression re(QStringLiteral("\\d+(?:[._-]\\d+)*"));
  return re;
}

struct Label {
  QRegularExpression re;
  bool han = false; ///< the number is written in Chinese numerals
};

// Chapter labels, most specific first; each captures the number.
const QList<Label>& Labels() {
  constexpr auto kOptions =
      QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption;
  static const QList<Label> labels = {
      {QRegularExpression(QStringLiteral(u"第\\s*") + kNumber + QStringLiteral(u"\\s*[话話回章集]"), kOptions)},
      {QRegularExpression(QStringLiteral(u"第\\s*") + kHanNumber + QStringLiteral(u"\\s*[话話回章集]"), kOptions), true},
      {QRegularExpression(QStringLiteral(u"제\\s*") + kNumber + QStringLiteral(u"\\s*화"), kOptions)},
      {QRegularExpression(kNumber + QStringLiteral(u"\\s*[話话화]"), kOptions)},
      {QRegularExpression(QStringLiteral("(?<![\\p{L}\\p{N}])(?:chapter|chap|ch|episode|ep)\\.?\\s*[-:#]?\\s*") +
                              kNumber, kOptions)},
      {QRegularExpression(QStringLiteral("#\\s*") + kNumber, kOptions)},
  };
  return labels;
}

const QRegularExpression& BareNumber() {
  static const QRegularExpression re(QStringLiteral("^[\\s\\[(]*") + kNumber + QStringLiteral("[\\s\\])\\.]*$"));
  return re;
}

// The value of a Chinese numeral below ten thousand ("十二" 12, "一百零五" 105); -1 otherwise.
int HanValue(const QString& text) {
  static const QString digits = QStringLiteral(u"零一二三四五六七八九");
  int total = 0;
  int digit = -1;
  for (QChar c : text) {
    if (c == u'〇') c = u'零';
    if (c == u'两') c = u'二';
    const int d = int(digits.indexOf(c));
    if (d >= 0) {
      digit = d;
      continue;
    }
    const int unit = c == u'十' ? 10 : c == u'百' ? 100 : c == u'千' ? 1000 : 0;
    if (unit == 0) return -1;
    total += (digit < 0 ? 1 : digit) * unit; // "十二": a unit without digit counts once
    digit = -1;
  }
  if (digit > 0) total += digit;
  return total > 0 || text.contains(u'零') ? total : -1;
}

QString Normalised(const QString& text) { return text.normalized(QString::NormalizationForm_KC); }

std::optional<QString> LabelledNumber(const QString& text) {
  const QString plain = Normalised(text);
  for (const Label& label : Labels()) {
    const QRegularExpressionMatch match = label.re.match(plain);
    if (!match.hasMatch()) continue;
    if (!label.han) return CanonicalNumber(match.captured(1));
    const int value = HanValue(match.captured(1));
    if (value >= 0) return QString::number(value);
  }
  return std::nullopt;
}

// The chapter number an address's number gives: whole digits, or digits with one short
// decimal part ("12-5" is 12.5); dates and other compounds give none.
QString NumberInAddressPart(const QString& part) {
  static const QRegularExpression chapter(QStringLiteral("^(\\d+)(?:[._-](\\d{1,2}))?$"));
  const QRegularExpressionMatch match = chapter.match(part);
  if (!match.hasMatch()) return QString();
  QString digits = match.captured(1);
  if (match.hasCaptured(2)) digits += QLatin1Char('.') + match.captured(2);
  return CanonicalNumber(digits);
}

// One link while the rule works on it.
struct Candidate {
  ChapterLink link;
  QString shape;
  QStringList numbers; ///< the numbers of its address, in order
  bool labelled = false;
  int position = 0; ///< in page order
};

QString PathAndQuery(const QUrl& url) {
  const QString query = url.query(QUrl::FullyEncoded);
  return url.path(QUrl::FullyEncoded) + (query.isEmpty() ? QString() : QLatin1Char('?') + query);
}

QStringList AddressNumbers(const QString& url) {
  QStringList numbers;
  const QString part = PathAndQuery(QUrl(url));
  for (auto it = AddressNumber().globalMatch(part); it.hasNext();) numbers << it.next().captured();
  return numbers;
}

// Step 1: numbered links, each address once.
QList<Candidate> NumberedLinks(const QList<FoundLink>& links) {
  QList<Candidate> candidates;
  QHash<QString, int> byUrl;
  for (const FoundLink& found : links) {
    const QString url = QUrl(found.url).adjusted(QUrl::RemoveFragment).toString();
    const QString number = NumberInText(found.text);
    if (const auto seen = byUrl.constFind(url); seen != byUrl.cend()) {
      // A picture link first and a numbered title later: the title speaks for both.
      Candidate& first = candidates[*seen];
      if (first.link.number.isEmpty() && !number.isEmpty()) {
        first.link.text = found.text;
        first.link.number = number;
        first.labelled = HasChapterLabel(found.text);
      }
      continue;
    }
    Candidate candidate;
    candidate.link = {found.url, found.text, number, {}};
    candidate.shape = AddressShape(found.url);
    candidate.numbers = AddressNumbers(found.url);
    candidate.labelled = HasChapterLabel(found.text);
    candidate.position = int(candidates.size());
    if (number.isEmpty() && candidate.numbers.isEmpty()) continue;
    byUrl.insert(url, int(candidates.size()));
    candidates.append(candidate);
  }
  return candidates;
}

// Step 3: the members whose value at some number place is an odd one out.
QList<Candidate> WithoutOtherSeries(QList<Candidate> group) {
  const qsizetype places = group.isEmpty() ? 0 : group.first().numbers.size();
  for (qsizetype place = 0; place < places; ++place) {
    QHash<QString, int> counts;
    for (const Candidate& c : group) ++counts[c.numbers.value(place)];
    if (counts.size() < 2) continue;
    QString common;
    int most = 0;
    bool othersUnrepeated = true;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
      if (it.value() > most) most = it.value(), common = it.key();
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
      if (it.key() != common && it.value() > 1) othersUnrepeated = false;
    if (most < 2 || most * 2 <= group.size() || !othersUnrepeated) continue;
    group.erase(std::remove_if(group.begin(), group.end(),
                               [&](const Candidate& c) { return c.numbers.value(place) != common; }),
                group.end());
  }
  return group;
}

int LabelCount(const QList<Candidate>& group) {
  return int(std::count_if(group.begin(), group.end(), [](const Candidate& c) { return c.labelled; }));
}

// Steps 2 to 4: the chapter list's links, in page order.
QList<Candidate> ChapterGroup(const QList<Candidate>& candidates) {
  QHash<QString, QList<Candidate>> byShape;
  QStringList shapes; // in order of first appearance
  for (const Candidate& c : candidates) {
    if (!byShape.contains(c.shape)) shapes << c.shape;
    byShape[c.shape].append(c);
  }
  QList<Candidate> best;
  for (const QString& shape : shapes) {
    const QList<Candidate> group = WithoutOtherSeries(byShape.value(shape));
    const bool larger = group.size() > best.size() ||
                        (group.size() == best.size() && LabelCount(group) > LabelCount(best));
    if (larger) best = group;
  }
  if (best.size() >= 2) return best;
  QList<Candidate> labelled;
  for (const Candidate& c : candidates)
    if (c.labelled) labelled.append(c);
  return labelled;
}

// Step 5, from the address: the last number place whose value changes within the group.
void NumberFromAddresses(QList<Candidate>& group) {
  const qsizetype places = group.isEmpty() ? 0 : group.first().numbers.size();
  qsizetype changing = -1;
  for (qsizetype place = 0; place < places; ++place)
    for (const Candidate& c : group)
      if (c.numbers.value(place) != group.first().numbers.value(place)) changing = place;
  if (changing < 0) return;
  for (Candidate& c : group)
    if (c.link.number.isEmpty() && c.numbers.size() == places)
      c.link.number = NumberInAddressPart(c.numbers.value(changing));
}

// Step 6: newest first becomes oldest first, and the numbered chapters take their places in
// the order of their numbers (a "start reading" link to chapter 1 above a newest-first list, or
// "First" and "Latest" links above an archive, would otherwise put them out of order).
void InReadingOrder(QList<Candidate>& group) {
  int rising = 0;
  int falling = 0;
  std::optional<double> previous;
  for (const Candidate& c : group) {
    if (c.link.number.isEmpty()) continue;
    const double value = c.link.number.toDouble();
    if (previous && value > *previous) ++rising;
    if (previous && value < *previous) ++falling;
    previous = value;
  }
  if (falling > rising) std::reverse(group.begin(), group.end());
  QList<qsizetype> places;
  QList<Candidate> numbered;
  for (qsizetype i = 0; i < group.size(); ++i)
    if (!group[i].link.number.isEmpty()) places << i, numbered << group[i];
  std::stable_sort(numbered.begin(), numbered.end(), [](const Candidate& a, const Candidate& b) {
    return a.link.number.toDouble() < b.link.number.toDouble();
  });
  for (qsizetype i = 0; i < places.size(); ++i) group[places[i]] = numbered[i];
}

} // namespace

QString CanonicalNumber(const QString& digits) {
  QString whole = digits.section(QLatin1Char('.'), 0, 0);
  QString fraction = digits.section(QLatin1Char('.'), 1);
  while (whole.size() > 1 && whole.front() == QLatin1Char('0')) whole.remove(0, 1);
  while (fraction.endsWith(QLatin1Char('0'))) fraction.chop(1);
  if (whole.isEmpty()) whole = QStringLiteral("0");
  return fraction.isEmpty() ? whole : whole + QLatin1Char('.') + fraction;
}

QString NumberInText(const QString& text) {
  if (const std::optional<QString> labelled = LabelledNumber(text)) return *labelled;
  const QRegularExpressionMatch bare = BareNumber().match(Normalised(text));
  return bare.hasMatch() ? CanonicalNumber(bare.captured(1)) : QString();
}

bool HasChapterLabel(const QString& text) { return LabelledNumber(text).has_value(); }

QString AddressShape(const QString& url) {
  const QUrl address(url);
  QString shape = PathAndQuery(address);
  shape.replace(AddressNumber(), QStringLiteral("#"));
  return address.host().toLower() + shape;
}

QList<ChapterLink> FindChapterLinks(const QList<FoundLink>& links) {
  QList<Candidate> group = ChapterGroup(NumberedLinks(links));
  std::sort(group.begin(), group.end(),
            [](const Candidate& a, const Candidate& b) { return a.position < b.position; });
  NumberFromAddresses(group);
  InReadingOrder(group);
  QList<ChapterLink> chapters;
  for (const Candidate& c : group) chapters.append(c.link);
  return chapters;
}

QString ChapterFolderName(const QString& series, const ChapterLink& chapter) {
  if (chapter.number.isEmpty()) return common::SafeFolderComponent(chapter.text);
  const QString name = QStringLiteral("Chapter ") + chapter.number;
  return common::SafeFolderComponent(series.trimmed().isEmpty() ? name
                                                                : series + QStringLiteral(" - ") + name);
}

void NameFolders(QList<ChapterLink>& chapters, const QString& series, QSet<QString>& used) {
  for (ChapterLink& chapter : chapters) {
    const QString base = ChapterFolderName(series, chapter);
    QString name = base;
    for (int n = 2; used.contains(name); ++n) name = base + QLatin1Char(' ') + QString::number(n);
    used.insert(name);
    chapter.folderName = name;
  }
}

QList<ChapterLink> ChaptersAmong(const std::vector<common::FoundLink>& links) {
  QList<FoundLink> found;
  for (const common::FoundLink& link : links) found.append({link.url, link.text});
  return FindChapterLinks(found);
}

QList<ChapterLink> NamedChapters(const std::vector<common::FoundLink>& links,
                                 const common::ListPage& page, const QString& url) {
  QList<ChapterLink> chapters = ChaptersAmong(links);
  QSet<QString> used;
  NameFolders(chapters, series_name::SeriesName(page.title, page.heading, url), used);
  return chapters;
}

} // namespace chapter_links
