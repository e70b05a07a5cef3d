#pragma once
// Building the page-jump strategy that fits a page, and the text rules the strategies share.
#include "engine/page_jump_base.h"

#include <QString>
#include <cstdint>
#include <memory>

/// Tries the page list, then the previous/next links, then the page-number box, and returns
/// the first whose count is non-zero (a negative count fits too); null when none fits or
/// there is no document. `count`, when given, receives that strategy's count (0 for none).
std::unique_ptr<CPageJumpBase> CreatePageJump(engine::FIHTMLDocument* document,
                                              std::int32_t* count = nullptr);

/// The number written in `text`, ignoring spaces (U+0020 and U+3000): -1 when any other
/// non-digit appears or no digit does. Values beyond the 32-bit range saturate.
std::int32_t ParsePageDigits(const QString& text);

/// The total page count written in the page's text as 共 <n> 页 (also 总 and 张); failing
/// that, the "spDataCount" element of one known site (by its title); otherwise 0.
std::int32_t TotalPagesFromText(engine::FIHTMLDocument* document);

/// A link text without spaces and without one enclosing pair of brackets: "[下一页]" and
/// "下 一 页" both read "下一页".
QString NormaliseLinkText(const QString& text);
