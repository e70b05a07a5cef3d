#include "engine/page_jump_next_page.h"

#include "engine/page_jump.h"

#include <QStringList>

using engine::ElementKind;

namespace {
const QString kPreviousPage = QStringLiteral(u"\u4E0A\u4E00\u9875"); // 上一页
const QString kNextPage = QStringLiteral(u"\u4E0B\u4E00\u9875");     // 下一页

// After NormaliseOtherLinkText: lower case, without blanks and surrounding arrows.
const QStringList kOtherNext = {
    QStringLiteral("next"), QStringLiteral("nextpage"),
    QStringLiteral(u"\u6B21\u3078"),                         // 次へ
    QStringLiteral(u"\u6B21\u306E\u30DA\u30FC\u30B8"),        // 次のページ
    QStringLiteral(u"\uB2E4\uC74C"),                         // 다음
};
const QStringList kOtherPrevious = {
    QStringLiteral("prev"), QStringLiteral("previous"), QStringLiteral("previouspage"),
    QStringLiteral(u"\u524D\u3078"),                         // 前へ
    QStringLiteral(u"\u524D\u306E\u30DA\u30FC\u30B8"),        // 前のページ
    QStringLiteral(u"\uC774\uC804"),                         // 이전
};
} // namespace

int CPageJumpNextPage::OtherLinkDirection(const QString& text) {
  const QString label = NormaliseOtherLinkText(text);
  if (kOtherNext.contains(label)) return 1;
  if (kOtherPrevious.contains(label)) return -1;
  return 0;
}

CPageJumpNextPage::Links CPageJumpNextPage::FindPrevNextLinks(engine::FIHTMLDocument* document,
                                                              Labels labels) {
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
    int direction = 0;
    if (labels == Labels::Chinese) {
      text = NormaliseLinkText(text);
      direction = text == kPreviousPage ? -1 : text == kNextPage ? 1 : 0;
    } else {
      direction = OtherLinkDirection(text);
    }
    if (direction < 0)
      links.previous = std::move(element);
    else if (direction > 0)
      links.next = std::move(element);
  }
  return links;
}

std::int32_t CPageJumpNextPage::GetPageCount(engine::FIHTMLDocument* document) {
  const Links links = FindPrevNextLinks(document, labels_);
  if (!links.previous && !links.next) return 0;
  return TotalPagesFromText(document);
}

void CPageJumpNextPage::JumpToPage(engine::FIHTMLDocument* document, std::int32_t) {
  const Links links = FindPrevNextLinks(document, labels_);
  if (links.next) links.next->click();
}
