#pragma once
// CPageJumpNextPage: previous-page and next-page links (anchors or input buttons).
#include "engine/page_jump_base.h"

#include <memory>

class CPageJumpNextPage : public CPageJumpBase {
public:
  struct Links {
    std::unique_ptr<engine::FIHTMLElement> previous;
    std::unique_ptr<engine::FIHTMLElement> next;
  };

  /// The page text's total when either link exists; 0 otherwise.
  std::int32_t GetPageCount(engine::FIHTMLDocument* document) override;
  /// Clicks the next-page link. `n` is not used: the strategy only ever goes one page on.
  void JumpToPage(engine::FIHTMLDocument* document, std::int32_t n) override;

  /// The last element in document order whose normalised text is exactly 上一页 / 下一页.
  static Links FindPrevNextLinks(engine::FIHTMLDocument* document);
};
