#pragma once
// CPageJumpOption: a drop-down list of page numbers whose change handler loads the page.
#include "engine/page_jump_base.h"

#include <memory>
#include <vector>

class CPageJumpOption : public CPageJumpBase {
public:
  /// A select element with its option items in order.
  struct PageSelect {
    std::unique_ptr<engine::FIHTMLElement> select;
    std::vector<std::unique_ptr<engine::FIHTMLElement>> options;
  };

  /// Options minus a leading caption without a number, never below 0; 0 without a page list.
  std::int32_t GetPageCount(engine::FIHTMLDocument* document) override;
  /// Selects page n and fires the list's "onchange".
  void JumpToPage(engine::FIHTMLDocument* document, std::int32_t n) override;

  /// At least 5 options, and option i holds the number 1, 2, 3, ... in turn (spaces
  /// removed, containment is enough); only the first option may lack its number.
  static bool IsPageSelect(const PageSelect& select);
  /// The first option holds no digit at all: a caption such as "-- page --".
  static bool HasPlaceholderOption(const PageSelect& select);
  /// The last page list of the document in document order; `select` null when none.
  static PageSelect FindPageSelect(engine::FIHTMLDocument* document);
};
