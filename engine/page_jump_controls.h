#pragma once
// CPageJumpControls: previous and next controls of every kind today's readers use: links,
// buttons, elements with role button or link, and icons that carry their label only in
// aria-label or title ("Next page", "次へ"). The labels are those of the link strategy, the
// Chinese ones tried first; arrows and brackets around them do not matter. A control that is
// disabled is no control, and the click is a person's (pointer and mouse events at the
// control's centre), so listeners that frameworks add are reached.
//
// With a stated total (Total::Stated) the strategy fits as the link strategy does. Without
// one (Total::Open) it walks page by page while there is a way on, and says where the chapter
// ends (kLastPage): no usable next control (none, disabled, or a placeholder that is no
// control), a next control that names the next chapter or episode, or a next link to an
// address saved in this task already, to this very page, or to another site.
#include "engine/page_jump_base.h"

#include <QString>
#include <memory>

class CPageJumpControls : public CPageJumpBase {
public:
  enum class Total {
    Stated, ///< fits only when the page states its total (TotalPagesFromText)
    Open,   ///< fits without a total: kMorePages or kLastPage
  };

  CPageJumpControls(Total total, PageJumpContext context)
      : total_(total), context_(std::move(context)) {}

  /// What a page offers, the last usable control of each direction in document order.
  struct Controls {
    std::unique_ptr<engine::FIHTMLElement> previous;
    std::unique_ptr<engine::FIHTMLElement> next;
    bool nextDisabled = false; ///< a next control that cannot be used
    bool nextChapter = false;  ///< a control that names the next chapter or episode
  };

  std::int32_t GetPageCount(engine::FIHTMLDocument* document) override;
  /// Clicks the next control when it leads on; `n` is not used (always one page on).
  void JumpToPage(engine::FIHTMLDocument* document, std::int32_t n) override;

  static Controls FindControls(engine::FIHTMLDocument* document);
  /// Whether `text` reads as a previous (-1) or next (+1) label, Chinese (`chinese`) or of
  /// the other languages; 0 otherwise.
  static int Direction(const QString& text, bool chinese);
  /// Whether `text` names the next chapter or episode: 下一话, 下一章, 下一回, "Next chapter",
  /// "Next episode", 次の話, 다음 화.
  static bool NamesNextChapter(const QString& text);

private:
  /// Whether the next control leads on from this page (Total::Open's stop rules).
  bool LeadsOn(const Controls& controls) const;

  Total total_;
  PageJumpContext context_;
};
