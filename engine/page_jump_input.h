#pragma once
// CPageJumpInput: a small page-number box, driven by its go button or its Enter-key handler.
#include "engine/page_jump_base.h"

#include <memory>

class CPageJumpInput : public CPageJumpBase {
public:
  /// The page text's total when a page box exists; 0 otherwise.
  std::int32_t GetPageCount(engine::FIHTMLDocument* document) override;
  /// Writes n into the box, then clicks its go button, or else presses Enter in it (unless
  /// its markup navigates by itself, "window.navigate").
  void JumpToPage(engine::FIHTMLDocument* document, std::int32_t n) override;

  /// The first input narrower than 100 px whose markup speaks of a page ("page", 页, "isNaN")
  /// and that has a go button or a key handler ("event.keyCode", "onkeyup").
  static std::unique_ptr<engine::FIHTMLElement> FindPageInput(engine::FIHTMLDocument* document);
  /// The first button whose markup reads the box by its id through "getElementById", placed
  /// to the right of the box and less than 10 px above or below it; null when the box has no id.
  static std::unique_ptr<engine::FIHTMLElement> FindGoButton(engine::FIHTMLDocument* document,
                                                             engine::FIHTMLElement& input);
};
