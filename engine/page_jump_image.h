#pragma once
// CPageJumpImage: readers that turn the page when the page image is clicked. Classic readers
// put the image in a link to the next page, or listen for clicks on it; besides it they may
// offer nothing the other strategies know. The strategy is built only once the page image is
// known (the monitor view tries it at a page's last chance, when nothing else fits, and from
// then on for every page of the chapter). It states no total: the walk goes on as one without
// a stated total and stops by the same rules (an address saved already, this very page,
// another site).
#include "engine/page_jump_base.h"

#include <QString>
#include <memory>

class CPageJumpImage : public CPageJumpBase {
public:
  /// `imageUrl`: the page image's address. `established`: the chapter has shown itself to be
  /// such a reader already, so an image that leads nowhere ends it (kLastPage) instead of
  /// not fitting.
  CPageJumpImage(QString imageUrl, PageJumpContext context, bool established)
      : imageUrl_(std::move(imageUrl)), context_(std::move(context)), established_(established) {}

  /// kMorePages when the image sits in a link to a new page of the same site or has a click
  /// handler of its own; kLastPage or 0 (see `established`) otherwise.
  std::int32_t GetPageCount(engine::FIHTMLDocument* document) override;
  /// Clicks the page image at its centre, as a reader does.
  void JumpToPage(engine::FIHTMLDocument* document, std::int32_t n) override;

private:
  std::unique_ptr<engine::FIHTMLElement> FindImage(engine::FIHTMLDocument* document) const;

  QString imageUrl_;
  PageJumpContext context_;
  bool established_;
};
