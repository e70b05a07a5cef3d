#pragma once
// CPageJumpBase: one way a comic page lets the reader move to another page. A strategy reads
// the chapter's total page count from a page document and drives the page's own controls to
// reach page n, so that the site's scripts compute the next address.
//
// Strategies hold no element between calls: every call searches the document again. Calls on
// a document may throw engine::DocumentError, which ends the caller's current step.
#include "engine/browser/document.h"

#include <cstdint>

class CPageJumpBase {
public:
  virtual ~CPageJumpBase() = default;
  /// The chapter's total page count as this strategy reads it; 0 when the strategy does not
  /// fit the page, -1 when it fits but the count is unreadable.
  virtual std::int32_t GetPageCount(engine::FIHTMLDocument* document) = 0;
  /// Makes the page go to page `n` (1-based). Any navigation this starts has been offered to
  /// the view's before-navigate handler when the call returns.
  virtual void JumpToPage(engine::FIHTMLDocument* document, std::int32_t n) = 0;
};
