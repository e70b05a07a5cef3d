#pragma once
// CPageJumpBase: one way a comic page lets the reader move to another page. A strategy reads
// the chapter's total page count from a page document and drives the page's own controls to
// reach page n, so that the site's scripts compute the next address.
//
// Strategies hold no element between calls: every call searches the document again. Calls on
// a document may throw engine::DocumentError, which ends the caller's current step.
#include "engine/browser/document.h"

#include <QString>
#include <cstdint>
#include <functional>

/// What the walk knows besides the page document, for the strategies that need it.
struct PageJumpContext {
  std::int32_t page = 1; ///< the number of the page the document shows
  QString pageUrl;       ///< that page's address
  /// Whether an address (fragment ignored) was saved in this task already; unset: none was.
  std::function<bool(const QString& url)> saved;
  /// Whether a walk without a stated total may be tried (CPageJumpControls::Total::Open).
  bool openWalk = false;
};

class CPageJumpBase {
public:
  /// Counts of a walk without a stated total: the strategy sees a way on from this page
  /// (kMorePages), or none, so this page is the chapter's last (kLastPage). The view turns
  /// them into a total before anyone else sees them.
  static constexpr std::int32_t kMorePages = -2;
  static constexpr std::int32_t kLastPage = -3;
  static bool IsOpenCount(std::int32_t count) { return count == kMorePages || count == kLastPage; }

  virtual ~CPageJumpBase() = default;
  /// The chapter's total page count as this strategy reads it; 0 when the strategy does not
  /// fit the page, -1 when it fits but the count is unreadable, kMorePages or kLastPage for a
  /// walk without a stated total.
  virtual std::int32_t GetPageCount(engine::FIHTMLDocument* document) = 0;
  /// Makes the page go to page `n` (1-based). Any navigation this starts has been offered to
  /// the view's before-navigate handler when the call returns.
  virtual void JumpToPage(engine::FIHTMLDocument* document, std::int32_t n) = 0;
};
