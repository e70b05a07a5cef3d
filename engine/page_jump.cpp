#include "engine/page_jump.h"

#include "engine/page_jump_controls.h"
#include "engine/page_jump_input.h"
#include "engine/page_jump_next_page.h"
#include "engine/page_jump_numbers.h"
#include "engine/page_jump_option.h"

#include <QRegularExpression>
#include <QUrl>

#include <iterator>
#include <limits>
#include <vector>

namespace {

constexpr char16_t kSpace = u' ';
constexpr char16_t kIdeographicSpace = u'\u3000';
constexpr char16_t kAll = u'\u5171';      // 共, "in all"
constexpr char16_t kTotal = u'\u603B';    // 总, read as 共
constexpr char16_t kPage = u'\u9875';     // 页, "page"
constexpr char16_t kSheet = u'\u5F20';    // 张, read as 页
const QString kSmartEyeTitle = QStringLiteral(u"\u7CBE\u660E\u773C");
const QString kDataCountId = QStringLiteral("spDataCount");

// Tries one strategy; keeps it when its count is non-zero.
template <typename Strategy, typename... Args>
std::unique_ptr<CPageJumpBase> Probe(engine::FIHTMLDocument* document, std::int32_t* count,
                                     Args... args) {
  auto strategy = std::make_unique<Strategy>(args...);
  const std::int32_t total = strategy->GetPageCount(document);
  if (total == 0) return nullptr;
  if (count) *count = total;
  return strategy;
}

} // namespace

std::unique_ptr<CPageJumpBase> CreatePageJump(engine::FIHTMLDocument* document,
                                              std::int32_t* count,
                                              const PageJumpContext& context) {
  if (count) *count = 0;
  if (!document) return nullptr;
  // The order is fixed: a page list beats links, links beat the page-number box.
  if (auto found = Probe<CPageJumpOption>(document, count)) return found;
  if (auto found = Probe<CPageJumpNextPage>(document, count)) return found;
  if (auto found = Probe<CPageJumpInput>(document, count)) return found;
  // Other languages' links come after those, so that no page the Chinese rules walk changes,
  // and every newer kind of control after all of them: a page that was walked before is
  // walked the same way.
  if (auto found = Probe<CPageJumpNextPage>(document, count, CPageJumpNextPage::Labels::Other))
    return found;
  if (auto found = Probe<CPageJumpNumbers>(document, count, context.page)) return found;
  using Total = CPageJumpControls::Total;
  if (auto found = Probe<CPageJumpControls>(document, count, Total::Stated, context)) return found;
  if (!context.openWalk) return nullptr;
  return Probe<CPageJumpControls>(document, count, Total::Open, context);
}

bool SameSite(const QString& a, const QString& b) {
  const auto host = [](const QString& url) {
    QString h = QUrl(url).host().toLower();
    if (h.startsWith(QLatin1String("www."))) h.remove(0, 4);
    return h;
  };
  const QString first = host(a);
  return !first.isEmpty() && first == host(b);
}

QString WithoutFragment(const QString& url) {
  const qsizetype hash = url.indexOf(QLatin1Char('#'));
  return hash < 0 ? url : url.left(hash);
}

std::int32_t ParsePageDigits(const QString& text) {
  constexpr qint64 kMax = std::numeric_limits<std::int32_t>::max();
  qint64 value = 0;
  bool any = false;
  for (const QChar c : text) {
    if (c == kSpace || c == kIdeographicSpace) continue;
    if (c < u'0' || c > u'9') return -1;
    any = true;
    value = std::min(kMax, value * 10 + (c.unicode() - u'0'));
  }
  return any ? std::int32_t(value) : -1;
}

std::int32_t TotalPagesFromText(engine::FIHTMLDocument* document) {
  QString text = document->documentText();
  text.replace(kTotal, kAll).replace(kSheet, kPage);
  // Only the first 共 and the first 页 after it are tried.
  const qsizetype all = text.indexOf(kAll);
  if (all >= 0) {
    const qsizetype page = text.indexOf(kPage, all);
    if (page > all) {
      const std::int32_t total = ParsePageDigits(text.mid(all + 1, page - all - 1));
      if (total != -1) return total;
    }
  }
  if (document->title().contains(kSmartEyeTitle)) {
    if (auto counter = document->getElementById(kDataCountId))
      return ParsePageDigits(counter->innerText());
  }
  return TotalPagesInOtherText(text);
}

std::int32_t TotalPagesInOtherText(const QString& pageText) {
  // Full-width digits and blanks read as ASCII ones.
  const QString text = pageText.normalized(QString::NormalizationForm_KC);
  struct Form {
    const char16_t* pattern;
    int page;  // capture group of the page number, 0 when the form has none
    int total; // capture group of the total
  };
  static const Form kForms[] = {
      {u"\\bpage\\s*(\\d+)\\s*of\\s*(\\d+)\\b", 1, 2},
      {u"\u5168\\s*(\\d+)\\s*(?:\u30DA\u30FC\u30B8|\u9801|\u679A)", 0, 1},             // 全7ページ
      {u"(\\d+)\\s*\u30DA\u30FC\u30B8\\s*\u4E2D\\s*(\\d+)", 2, 1},                  // 7ページ中2
      {u"(\\d+)\\s*/\\s*(\\d+)\\s*\u30DA\u30FC\u30B8", 1, 2},                      // 2/7ページ
      {u"\uCD1D\\s*(\\d+)\\s*(?:\uD398\uC774\uC9C0|\uCABD|\uC7A5)", 0, 1},           // 총 7 페이지
      {u"(\\d+)\\s*\uD398\uC774\uC9C0\\s*\uC911\\s*(\\d+)", 2, 1},                  // 7페이지 중 2
      {u"(\\d+)\\s*/\\s*(\\d+)\\s*\uD398\uC774\uC9C0", 1, 2},                      // 2/7 페이지
      {u"\\b(\\d+)\\s+of\\s+(\\d+)\\b", 1, 2},
  };
  static const std::vector<QRegularExpression> kPatterns = [] {
    std::vector<QRegularExpression> patterns;
    for (const Form& form : kForms)
      patterns.emplace_back(QString::fromUtf16(form.pattern),
                            QRegularExpression::CaseInsensitiveOption |
                                QRegularExpression::UseUnicodePropertiesOption);
    return patterns;
  }();
  for (std::size_t i = 0; i < std::size(kForms); ++i) {
    const Form& form = kForms[i];
    const QRegularExpressionMatch match = kPatterns[i].match(text);
    if (!match.hasMatch()) continue;
    const std::int32_t total = ParsePageDigits(match.captured(form.total));
    const std::int32_t page = form.page ? ParsePageDigits(match.captured(form.page)) : 1;
    if (total > 0 && page >= 0 && page <= total) return total;
  }
  return 0;
}

QString NormaliseOtherLinkText(const QString& text) {
  static const QString kAround = QStringLiteral(u"<>[](){}\u2039\u203A\u00AB\u00BB\u3008\u3009"
                                                u"\u300A\u300B\u3010\u3011\uFF08\uFF09\uFF1C\uFF1E"
                                                u"\u2190\u2192\u21D0\u21D2\u25C0\u25B6\u25C1\u25B7"
                                                u"\u276E\u276F");
  QString result;
  for (const QChar c : text)
    if (!c.isSpace()) result.append(c);
  qsizetype start = 0;
  qsizetype end = result.size();
  while (start < end && kAround.contains(result[start])) ++start;
  while (end > start && kAround.contains(result[end - 1])) --end;
  return result.mid(start, end - start).toLower();
}

QString NormaliseLinkText(const QString& text) {
  QString result = text;
  result.remove(kSpace).remove(kIdeographicSpace);
  static const char16_t kPairs[][2] = {{u'[', u']'}, {u'(', u')'}, {u'{', u'}'}, {u'<', u'>'}};
  if (result.size() >= 2) {
    for (const auto& pair : kPairs) {
      if (result.front() == pair[0] && result.back() == pair[1])
        return result.mid(1, result.size() - 2);
    }
  }
  return result;
}
