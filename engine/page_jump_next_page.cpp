#include "engine/page_jump_next_page.h"

#include "engine/page_jump.h"

using engine::ElementKind;

namespace {
const QString kPreviousPage = QStringLiteral(u"\u4E0A\u4E00\u9875"); // 上一页
const QString kNextPage = QStringLiteral(u"\u4E0B\u4E00\u9875");     // 下一页
} // namespace

CPageJumpNextPage::Links CPageJumpNextPage::FindPrevNextLinks(engine::FIHTMLDocument* document) {
  Links links;
  const auto all = document->all();
  for (int i = 0; i < all->length(); ++i) {
    auto element = all->item(i);
    if (!element) continue;
    QString text;
    if (element->Is(ElementKind::Anchor))
      text = element->innerText();
    else if (element->Is(ElementKind::InputButton))
      text = element->value();
    else
      continue;
    text = NormaliseLinkText(text);
    if (text == kPreviousPage)
      links.previous = std::move(element);
    else if (text == kNextPage)
      links.next = std::move(element);
  }
  return links;
}

std::int32_t CPageJumpNextPage::GetPageCount(engine::FIHTMLDocument* document) {
  const Links links = FindPrevNextLinks(document);
  if (!links.previous && !links.next) return 0;
  return TotalPagesFromText(document);
}

void CPageJumpNextPage::JumpToPage(engine::FIHTMLDocument* document, std::int32_t) {
  const Links links = FindPrevNextLinks(document);
  if (links.next) links.next->click();
}
