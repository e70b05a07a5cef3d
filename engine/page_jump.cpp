#include "engine/page_jump.h"

#include "engine/page_jump_input.h"
#include "engine/page_jump_next_page.h"
#include "engine/page_jump_option.h"

#include <limits>

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
template <typename Strategy>
std::unique_ptr<CPageJumpBase> Probe(engine::FIHTMLDocument* document, std::int32_t* count) {
  auto strategy = std::make_unique<Strategy>();
  const std::int32_t total = strategy->GetPageCount(document);
  if (total == 0) return nullptr;
  if (count) *count = total;
  return strategy;
}

} // namespace

std::unique_ptr<CPageJumpBase> CreatePageJump(engine::FIHTMLDocument* document,
                                              std::int32_t* count) {
  if (count) *count = 0;
  if (!document) return nullptr;
  // The order is fixed: a page list beats links, links beat the page-number box.
  if (auto found = Probe<CPageJumpOption>(document, count)) return found;
  if (auto found = Probe<CPageJumpNextPage>(document, count)) return found;
  return Probe<CPageJumpInput>(document, count);
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
  return 0;
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
