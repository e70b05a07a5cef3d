#include "engine/page_jump_input.h"

#include "engine/page_jump.h"

#include <cstdlib>

using engine::ElementKind;
using engine::FIHTMLElement;

namespace {

constexpr int kMaxInputWidth = 100; // a page box is small; wider inputs are search boxes
constexpr int kMaxRowOffset = 10;   // the go button sits on the box's row
constexpr int kEnterKey = 13;

bool SpeaksOfPage(const QString& html) {
  return html.contains(QStringLiteral("page")) || html.contains(QChar(u'\u9875')) ||
         html.contains(QStringLiteral("isNaN"));
}

bool HasKeyHandler(const QString& html) {
  return html.contains(QStringLiteral("event.keyCode"), Qt::CaseInsensitive) ||
         html.contains(QStringLiteral("onkeyup"), Qt::CaseInsensitive);
}

} // namespace

std::unique_ptr<FIHTMLElement> CPageJumpInput::FindGoButton(engine::FIHTMLDocument* document,
                                                            FIHTMLElement& input) {
  const QString id = input.id();
  if (id.isEmpty()) return nullptr;
  const int left = input.offsetLeft();
  const int top = input.offsetTop();
  const auto all = document->all();
  for (int i = 0; i < all->length(); ++i) {
    auto element = all->item(i);
    if (!element) continue;
    if (!element->Is(ElementKind::Button) && !element->Is(ElementKind::InputButton)) continue;
    const QString html = element->outerHTML();
    if (!html.contains(id) || !html.contains(QStringLiteral("getElementById"))) continue;
    if (element->offsetLeft() <= left) continue;
    if (std::abs(element->offsetTop() - top) >= kMaxRowOffset) continue;
    return element;
  }
  return nullptr;
}

std::unique_ptr<FIHTMLElement> CPageJumpInput::FindPageInput(engine::FIHTMLDocument* document) {
  const auto inputs = document->getElementsByTagName(QStringLiteral("input"));
  for (int i = 0; i < inputs->length(); ++i) {
    auto input = inputs->item(i);
    if (!input || input->offsetWidth() >= kMaxInputWidth) continue;
    const QString html = input->outerHTML();
    if (!SpeaksOfPage(html)) continue;
    if (FindGoButton(document, *input) || HasKeyHandler(html)) return input;
  }
  return nullptr;
}

std::int32_t CPageJumpInput::GetPageCount(engine::FIHTMLDocument* document) {
  if (!FindPageInput(document)) return 0;
  return TotalPagesFromText(document);
}

void CPageJumpInput::JumpToPage(engine::FIHTMLDocument* document, std::int32_t n) {
  const auto input = FindPageInput(document);
  if (!input) return;
  input->setValue(QString::number(n));
  if (const auto go = FindGoButton(document, *input)) {
    go->click();
    return;
  }
  // Such a box navigates from its own handler; pressing Enter would do nothing more.
  if (input->outerHTML().contains(QStringLiteral("window.navigate"))) return;
  engine::EventObject event = document->createEventObject();
  event.keyCode = kEnterKey;
  input->fireEvent(QStringLiteral("onkeypress"), &event);
}
