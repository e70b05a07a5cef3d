#pragma once
// Building the page-jump strategy that fits a page, and the text rules the strategies share.
#include "engine/page_jump_base.h"

#include <QString>
#include <cstdint>
#include <memory>

/// Tries the page list, then the previous/next links labelled in Chinese, then the page-number
/// box, then previous/next links labelled in other languages (the ways every chapter walked
/// before is walked), then a row of numbered page links, then previous/next controls of any
/// kind with a stated total, and, when `context` allows it, the same controls without one.
/// Returns the first whose count is non-zero (a negative count fits too); null when none fits
/// or there is no document. `count`, when given, receives that strategy's count (0 for none).
std::unique_ptr<CPageJumpBase> CreatePageJump(engine::FIHTMLDocument* document,
                                              std::int32_t* count = nullptr,
                                              const PageJumpContext& context = {});

/// The number written in `text`, ignoring spaces (U+0020 and U+3000): -1 when any other
/// non-digit appears or no digit does. Values beyond the 32-bit range saturate.
std::int32_t ParsePageDigits(const QString& text);

/// The total page count written in the page's text as 共 <n> 页 (also 总 and 张); failing
/// that, the "spDataCount" element of one known site (by its title); failing that, the forms
/// of other languages (TotalPagesInOtherText); otherwise 0.
std::int32_t TotalPagesFromText(engine::FIHTMLDocument* document);

/// The total of "Page 2 of 7", "2 of 7" (any letter case), 全7ページ, 7ページ中2ページ,
/// 2/7ページ, 총 7 페이지, 7페이지 중 2, 2/7 페이지 (full-width digits too), tried in that
/// order of kinds, the first match of a kind counting; 0 when none is found. A total below
/// its page number, or 0, is no total.
std::int32_t TotalPagesInOtherText(const QString& text);

/// A link text of the other languages as it is compared: lower case, without any blanks, and
/// without arrows and brackets around it ("» Next page ›" reads "nextpage").
QString NormaliseOtherLinkText(const QString& text);

/// A link text without spaces and without one enclosing pair of brackets: "[下一页]" and
/// "下 一 页" both read "下一页".
QString NormaliseLinkText(const QString& text);

/// Whether two addresses belong to one site: the same host, a leading "www." aside (letter
/// case ignored).
bool SameSite(const QString& a, const QString& b);

/// An address without its fragment.
QString WithoutFragment(const QString& url);
