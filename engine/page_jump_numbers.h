#pragma once
// CPageJumpNumbers: a row of numbered page links and nothing else to go on with, such as a
// multi-page post's "Pages: 1 2 3 4 5" (the current page a span marked aria-current) or a
// forum's "« 1 2 3 … 9 »" (the current page plain text, or a link marked current).
//
// A row fits when, within one container, at least three numbers form a sequence: each one
// more than the one before, or more than that across a gap shown as "…" ("1 2 … 9"); two or
// more of them are links, exactly one is the current page, and that is the page the walk is
// on. Numbers may carry a word around them ("Page 2", "第2页", "[2]"); any other word ends the
// sequence. Single numbers in text, date rows (the current one is no page of the walk, and a
// calendar's days sit one per table cell) and chapter lists (words or class names of
// chapters and episodes) do not fit.
#include "engine/page_jump_base.h"

#include <QString>
#include <optional>
#include <vector>

class CPageJumpNumbers : public CPageJumpBase {
public:
  /// `page`: the number of the page the document shows.
  explicit CPageJumpNumbers(std::int32_t page) : page_(page) {}

  /// The stated total (TotalPagesFromText) when the page has one, otherwise the largest number
  /// of the row; 0 when no row fits.
  std::int32_t GetPageCount(engine::FIHTMLDocument* document) override;
  /// Clicks the link numbered `n`, or the nearest higher one when `n` is hidden behind "…".
  void JumpToPage(engine::FIHTMLDocument* document, std::int32_t n) override;

  /// One number of a fitting row.
  struct Number {
    std::int32_t value = 0;
    std::size_t item = 0; ///< its index in PageRow::row.items
  };
  struct PageRow {
    engine::ItemRow row;
    std::vector<Number> numbers; ///< in order, the current page among them
  };
  /// The last row of the document that fits for page `page`.
  static std::optional<PageRow> FindPageRow(engine::FIHTMLDocument* document, std::int32_t page);

  /// The page number an item's text names ("2", "Page 2", "p. 2", "第2页", "[2]"); -1 for
  /// anything else.
  static std::int32_t PageNumberOf(const QString& text);

private:
  std::int32_t page_;
};
