#include "engine/page_jump_option.h"

#include <algorithm>

using engine::ElementKind;

namespace {

constexpr int kMinPageOptions = 5;

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
  PageSelect found;
  const auto all = document->all();
  for (int i = 0; i < all->length(); ++i) {
    auto element = all->item(i);
    if (!element || !element->Is(ElementKind::Select)) continue;
    // The select's own options: what else stands between them in the markup (a rule, a
    // script-inserted element) and the options of lists after it play no part.
    PageSelect candidate;
    const auto options = element->options();
    for (int k = 0; k < options->length(); ++k)
      if (auto option = options->item(k)) candidate.options.push_back(std::move(option));
    candidate.select = std::move(element);
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
