#include "engine/page_jump_numbers.h"

#include "engine/page_jump.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

constexpr std::size_t kMinNumbers = 3; // numbers in one sequence ("1 2 … 9" is one)
constexpr int kMinLinks = 2;    // numbers besides the current page that are links

const QRegularExpression& NumberForm() {
  // "2", "Page 2", "p. 2", "第2页", "2页", "[2]", "(2)", "【2】", after NFKC (full-width
  // digits and brackets read as ASCII).
  static const QRegularExpression form(
      QStringLiteral(u"^[\\[(\u3010\u3014]?\\s*(?:page\\s*|p\\.\\s*|\u7B2C\\s*)?(\\d{1,6})\\s*"
                     u"(?:\u9875|\u9801|\u30DA\u30FC\u30B8|\uD398\uC774\uC9C0)?\\s*[\\])\u3011\u3015]?$"),
      QRegularExpression::CaseInsensitiveOption);
  return form;
}

bool IsEllipsis(const QString& text) {
  static const QRegularExpression form(QStringLiteral(u"^(?:\u2026+|\\.{2,}|\u2025|\u22EF|\u00B7{2,})$"));
  return form.match(text).hasMatch();
}

// "|", "·", "«", "›", arrows: between and around the numbers, never part of them.
bool IsSeparator(const QString& text) {
  return std::all_of(text.begin(), text.end(),
                     [](QChar c) { return c.isPunct() || c.isSymbol() || c.isSpace(); });
}

// A word that speaks of chapters or episodes, or a class or id naming a list of them.
bool NamesChapters(const QString& word) {
  static const QRegularExpression form(
      QStringLiteral(u"chapter|\\bch\\.|\\bchap\\b|episode|\\bep\\.|\u7AE0|\u8BDD|\u8A71|\u56DE|\uD654"),
      QRegularExpression::CaseInsensitiveOption);
  return form.match(word).hasMatch();
}

using Number = CPageJumpNumbers::Number;

// Splits a row's items into sequences of numbers: each one more than the one before, or more
// than that across a gap shown as "…". `values` holds every item's number (-1 for others).
std::vector<std::vector<Number>> Runs(const engine::ItemRow& row, const std::vector<int>& values) {
  std::vector<std::vector<Number>> runs(1);
  bool gap = false;
  for (std::size_t i = 0; i < row.items.size(); ++i) {
    const QString& text = row.items[i].text;
    if (IsEllipsis(text)) {
      gap = true;
      continue;
    }
    if (values[i] < 0) {
      if (!IsSeparator(text)) runs.emplace_back(), gap = false; // a word ends the run
      continue;
    }
    std::vector<Number>& run = runs.back();
    if (!run.empty()) {
      const int last = run.back().value;
      if (gap ? values[i] <= last + 1 : values[i] != last + 1) runs.emplace_back();
    }
    runs.back().push_back({values[i], i});
    gap = false;
  }
  return runs;
}

bool FitsForPage(const engine::ItemRow& row, const std::vector<Number>& run, std::int32_t page) {
  int links = 0;
  int currents = 0;
  std::int32_t current = -1;
  for (const Number& number : run) {
    const engine::RowItem& item = row.items[number.item];
    if (!item.link || item.current) {
      ++currents;
      current = number.value;
    } else if (!item.disabled) {
      ++links;
    }
  }
  return run.size() >= kMinNumbers && links >= kMinLinks && currents == 1 && current == page;
}

} // namespace

std::int32_t CPageJumpNumbers::PageNumberOf(const QString& text) {
  const QRegularExpressionMatch match =
      NumberForm().match(text.normalized(QString::NormalizationForm_KC).trimmed());
  if (!match.hasMatch()) return -1;
  const std::int32_t value = ParsePageDigits(match.captured(1));
  return value > 0 ? value : -1;
}

std::optional<CPageJumpNumbers::PageRow> CPageJumpNumbers::FindPageRow(
    engine::FIHTMLDocument* document, std::int32_t page) {
  std::optional<PageRow> found;
  for (engine::ItemRow& row : document->itemRows()) {
    if (NamesChapters(row.context)) continue;
    std::vector<int> values;
    bool chapters = false;
    for (const engine::RowItem& item : row.items) {
      values.push_back(PageNumberOf(item.text));
      if (values.back() < 0 && NamesChapters(item.text)) chapters = true;
    }
    if (chapters) continue;
    for (std::vector<Number>& run : Runs(row, values)) {
      if (!FitsForPage(row, run, page)) continue;
      // A later row replaces an earlier one (readers repeat the row below the page).
      found = PageRow{std::move(row), std::move(run)};
      break;
    }
  }
  return found;
}

std::int32_t CPageJumpNumbers::GetPageCount(engine::FIHTMLDocument* document) {
  const std::optional<PageRow> row = FindPageRow(document, page_);
  if (!row) return 0;
  const std::int32_t stated = TotalPagesFromText(document);
  return stated > 0 ? stated : row->numbers.back().value;
}

void CPageJumpNumbers::JumpToPage(engine::FIHTMLDocument* document, std::int32_t n) {
  std::optional<PageRow> row = FindPageRow(document, page_);
  if (!row) return;
  // The numbers grow along the row: the first link at n or above is n, or the nearest higher.
  for (const Number& number : row->numbers) {
    engine::RowItem& item = row->row.items[number.item];
    if (number.value < n || !item.link || item.current || item.disabled || !item.element) continue;
    item.element->clickAtCentre();
    return;
  }
}
