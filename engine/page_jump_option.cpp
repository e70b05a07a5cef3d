#include "engine/page_jump_option.h"

#include <algorithm>

using engine::ElementKind;
using engine::FIHTMLElement;

namespace {

constexpr int kMinPageOptions = 5;

bool IsOptionGroup(FIHTMLElement& element) {
  return element.outerHTML().startsWith(QStringLiteral("<optgroup"), Qt::CaseInsensitive);
}

bool HasDigit(const QString& text) {
  return std::any_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

bool CPageJumpOption::IsPageSelect(const PageSelect& select) {
  if (select.options.size() < kMinPageOptions) return false;
  int expected = 1;
  for (std::size_t i = 0; i < select.options.size(); ++i) {
    QString text = select.options[i]->text();
    text.remove(QLatin1Char(' '));
    if (text.contains(QString::number(expected)))
      ++expected;
    else if (i != 0)
      return false; // only the first option may be a caption without its number
  }
  return true;
}

bool CPageJumpOption::HasPlaceholderOption(const PageSelect& select) {
  return !select.options.empty() && !HasDigit(select.options.front()->text());
}

CPageJumpOption::PageSelect CPageJumpOption::FindPageSelect(engine::FIHTMLDocument* document) {
  // The document has no per-select option list, so the options of a select are read as the
  // run of option elements (and option groups) that follow it in document order: exactly its
  // descendants, because an option holds no elements and a select holds nothing else.
  PageSelect found;
  const auto all = document->all();
  int i = 0;
  while (i < all->length()) {
    auto element = all->item(i++);
    if (!element || !element->Is(ElementKind::Select)) continue;
    PageSelect candidate;
    candidate.select = std::move(element);
    while (i < all->length()) {
      auto item = all->item(i);
      if (!item) break;
      if (item->Is(ElementKind::Option))
        candidate.options.push_back(std::move(item));
      else if (!IsOptionGroup(*item))
        break;
      ++i;
    }
    // A later page list replaces an earlier one (pages repeat the list at the bottom).
    if (IsPageSelect(candidate)) found = std::move(candidate);
  }
  return found;
}

std::int32_t CPageJumpOption::GetPageCount(engine::FIHTMLDocument* document) {
  const PageSelect select = FindPageSelect(document);
  if (!select.select) return 0;
  const int count = int(select.options.size()) - (HasPlaceholderOption(select) ? 1 : 0);
  return std::max(0, count);
}

void CPageJumpOption::JumpToPage(engine::FIHTMLDocument* document, std::int32_t n) {
  const PageSelect select = FindPageSelect(document);
  if (!select.select) return;
  select.select->setSelectedIndex(HasPlaceholderOption(select) ? n : n - 1);
  select.select->fireEvent(QStringLiteral("onchange"), nullptr);
}
