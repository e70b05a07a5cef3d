#include "engine/page_jump_image.h"

#include "engine/page_jump.h"

std::unique_ptr<engine::FIHTMLElement> CPageJumpImage::FindImage(
    engine::FIHTMLDocument* document) const {
  const auto images = document->getElementsByTagName(QStringLiteral("img"));
  for (int i = 0; i < images->length(); ++i) {
    auto image = images->item(i);
    if (image && image->Is(engine::ElementKind::Image) && image->src() == imageUrl_) return image;
  }
  return nullptr;
}

std::int32_t CPageJumpImage::GetPageCount(engine::FIHTMLDocument* document) {
  const auto image = FindImage(document);
  bool leadsOn = false;
  if (image) {
    const QString href = image->linkHref();
    const QString target = WithoutFragment(href);
    const bool link = !href.isEmpty() && !href.startsWith(QLatin1String("javascript:"), Qt::CaseInsensitive) &&
                      target != WithoutFragment(context_.pageUrl);
    if (link)
      leadsOn = SameSite(target, context_.pageUrl) && !(context_.saved && context_.saved(target));
    else
      leadsOn = image->hasClickHandler();
  }
  if (leadsOn) return kMorePages;
  return established_ ? kLastPage : 0;
}

void CPageJumpImage::JumpToPage(engine::FIHTMLDocument* document, std::int32_t) {
  if (const auto image = FindImage(document)) image->clickAtCentre();
}
