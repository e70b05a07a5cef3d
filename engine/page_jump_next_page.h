#pragma once
// CPageJumpNextPage: previous-page and next-page links (anchors or input buttons).
//
// Two label sets: the Chinese labels 上一页 / 下一页, and the labels of other languages
// ("Next", "Previous page", 次へ, 다음, ...). The page-jump builder tries the Chinese set with
// the other Chinese-labelled strategies first; the other set only when none of them fits, so
// a page that works with the Chinese rules is walked exactly as before.
#include "engine/page_jump_base.h"

#include <memory>

class CPageJumpNextPage : public CPageJumpBase {
public:
  enum class Labels {
    Chinese, ///< 上一页 / 下一页, compared exactly after NormaliseLinkText
    Other,   ///< English, Japanese and Korean labels, compared after NormaliseOtherLinkText
  };

  explicit CPageJumpNextPage(Labels labels = Labels::Chinese) : labels_(labels) {}

  struct Links {
    std::unique_ptr<engine::FIHTMLElement> previous;
    std::unique_ptr<engine::FIHTMLElement> next;
  };

  /// The page text's total when either link exists; 0 otherwise.
  std::int32_t GetPageCount(engine::FIHTMLDocument* document) override;
  /// Clicks the next-page link. `n` is not used: the strategy only ever goes one page on.
  void JumpToPage(engine::FIHTMLDocument* document, std::int32_t n) override;

  /// The last element in document order whose normalised text is exactly a previous-page /
  /// next-page label of the set.
  static Links FindPrevNextLinks(engine::FIHTMLDocument* document, Labels labels = Labels::Chinese);

  /// Whether `text` reads as a previous-page (-1) or next-page (+1) label of the other
  /// languages; 0 otherwise.
  static int OtherLinkDirection(const QString& text);

private:
  Labels labels_;
};
