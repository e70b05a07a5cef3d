#pragma once
// Comic chapters served by a LocalSite, one per kind of page navigation, for end-to-end tests
// and the chapter benchmark. Every page shows a shared small logo and its own page image; the
// page's own script moves to the next page when driven the way the engine drives it.
#include "local_site.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace testing_support {

enum class ChapterKind {
  PageList,      ///< a select with a caption option whose onchange loads the page
  NextLinks,     ///< previous/next links ("[上一页]", "下 一 页")
  PageBoxButton, ///< a page box with a go button on its right reading it by id
  PageBoxEnter,  ///< a page box whose key handler loads the page on Enter
  NoControls,    ///< images but nothing to reach another page
  EnglishLinks,  ///< "‹ Prev" / "Next ›" links and "Page 2 of 7"
  KoreanLinks,   ///< "< 이전" / "다음 >" input buttons and "2 / 7 페이지"
  LongStrip,     ///< every page on one web page (AddLongStrip)
};

struct Chapter {
  QString folder;                 ///< site path prefix, e.g. "/list/"
  ChapterKind kind = ChapterKind::NextLinks;
  int pages = 0;
  std::vector<QString> imagePaths; ///< site path of page i's image at [i - 1]
  std::vector<QByteArray> images;  ///< its bytes
  QString PageUrl(const LocalSite& site, int page) const;
  QString ImagePath(int page) const { return imagePaths.at(page - 1); }
};

/// Registers a chapter under `folder` (e.g. "/list/"). Pages are `width` x `height` JPEGs;
/// GraphicsMagick must be started.
Chapter AddChapter(LocalSite& site, const QString& folder, ChapterKind kind, int pages,
                   int width = 640, int height = 900);

/// Makes every image of the chapter answer 403 unless the request carries two cookies: one
/// the pages set in their answer's header, one their script sets.
void RequireSessionCookies(LocalSite& site, const Chapter& chapter);
/// Registers a long strip under `folder`: one web page ("strip.html", Chapter::PageUrl of every
/// page) showing `pages` page images between a small logo and a small banner. The page's own
/// script fills in the odd pages' addresses (data-src) only when they scroll into view
/// (IntersectionObserver); the even ones are plain lazy images (loading="lazy"). Every image is
/// laid out 900 pixels high, so most lie far below the first screen.
Chapter AddLongStrip(LocalSite& site, const QString& folder, int pages);

/// Makes every page of the chapter state a language: `htmlLang` in the html element's "lang"
/// attribute, `metaLang` in a Content-Language meta element; each is left out when empty.
void StateLanguage(LocalSite& site, const Chapter& chapter, const QString& htmlLang,
                   const QString& metaLang = {});

/// Adds small images to `page` of a chapter only (heights 300 and 380, both below the page
/// threshold), in place of its page image; returns the site path of the taller one.
QString UseSmallImagesOnly(LocalSite& site, Chapter& chapter, int page);

} // namespace testing_support
