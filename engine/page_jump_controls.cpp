#include "engine/page_jump_controls.h"

#include "engine/page_jump.h"
#include "engine/page_jump_next_page.h"

#include <QStringList>

namespace {

// After NormaliseOtherLinkText: lower case, without blanks and surrounding arrows.
const QString kChineseNext = QStringLiteral(u"\u4E0B\u4E00\u9875");     // 下一页
const QString kChinesePrevious = QStringLiteral(u"\u4E0A\u4E00\u9875"); // 上一页
const QStringList kNextChapter = {
    QStringLiteral(u"\u4E0B\u4E00\u8BDD"), // 下一话
    QStringLiteral(u"\u4E0B\u4E00\u7AE0"), // 下一章
    QStringLiteral(u"\u4E0B\u4E00\u56DE"), // 下一回
    QStringLiteral("nextchapter"),
    QStringLiteral("nextepisode"),
    QStringLiteral(u"\u6B21\u306E\u8A71"), // 次の話
    QStringLiteral(u"\uB2E4\uC74C\uD654"), // 다음 화
};

// Addresses that run a script or stay on the page: the control is the script's, not a link.
bool IsScriptAddress(const QString& href, const QString& pageUrl) {
  return href.isEmpty() || href.startsWith(QLatin1String("javascript:"), Qt::CaseInsensitive) ||
         (href.contains(QLatin1Char('#')) && WithoutFragment(href) == WithoutFragment(pageUrl));
}

} // namespace

int CPageJumpControls::Direction(const QString& text, bool chinese) {
  if (!chinese) return CPageJumpNextPage::OtherLinkDirection(text);
  const QString label = NormaliseOtherLinkText(text);
  return label == kChineseNext ? 1 : label == kChinesePrevious ? -1 : 0;
}

bool CPageJumpControls::NamesNextChapter(const QString& text) {
  return kNextChapter.contains(NormaliseOtherLinkText(text));
}

CPageJumpControls::Controls CPageJumpControls::FindControls(engine::FIHTMLDocument* document) {
  const auto controls = document->controls();
  // Chinese labels first: when any control carries one, the others' labels are not read.
  for (const bool chinese : {true, false}) {
    Controls found;
    for (int i = 0; i < controls->length(); ++i) {
      auto control = controls->item(i);
      if (!control) continue;
      int direction = 0;
      bool chapter = false;
      for (const QString& label : control->labels()) {
        direction = Direction(label, chinese);
        chapter = NamesNextChapter(label);
        if (direction != 0 || chapter) break;
      }
      if (chapter) {
        found.nextChapter = true;
      } else if (direction != 0 && control->disabled()) {
        if (direction > 0) found.nextDisabled = true;
      } else if (direction < 0) {
        found.previous = std::move(control);
      } else if (direction > 0) {
        found.next = std::move(control);
      }
    }
    if (found.previous || found.next || found.nextDisabled || !chinese) return found;
  }
  return {};
}

bool CPageJumpControls::LeadsOn(const Controls& controls) const {
  if (!controls.next) return false;
  if (!controls.next->Is(engine::ElementKind::Anchor)) return true;
  const QString href = controls.next->href();
  if (IsScriptAddress(href, context_.pageUrl)) return true;
  const QString target = WithoutFragment(href);
  if (target == WithoutFragment(context_.pageUrl)) return false;
  if (context_.saved && context_.saved(target)) return false;
  return SameSite(target, context_.pageUrl);
}

std::int32_t CPageJumpControls::GetPageCount(engine::FIHTMLDocument* document) {
  const Controls controls = FindControls(document);
  if (total_ == Total::Stated)
    return controls.previous || controls.next ? TotalPagesFromText(document) : 0;
  if (!controls.previous && !controls.next && !controls.nextDisabled && !controls.nextChapter)
    return 0;
  return LeadsOn(controls) ? kMorePages : kLastPage;
}

void CPageJumpControls::JumpToPage(engine::FIHTMLDocument* document, std::int32_t) {
  const Controls controls = FindControls(document);
  if (total_ == Total::Open ? LeadsOn(controls) : bool(controls.next))
    controls.next->clickAtCentre();
}
