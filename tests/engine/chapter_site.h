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
  // Today's readers (AddReader); none of them states a total unless said.
  NumberedPages, ///< a multi-page post: "Pages: 1 2 3", the current page a span with
                 ///< aria-current, beside a date row and a chapter list
  ForumPages,    ///< "« 1 … 4 5 6 … 12 »", the current page plain text in <strong>
  ImageLinks,    ///< the page image in a link to the next page; the last one links to page 1
  Webcomic,      ///< an archive, one strip per address (/comic/strip-N/), First / Prev / Next
                 ///< / Last, the last strip's Next a placeholder span
  NextChapter,   ///< buttons with script listeners; the last page's says "Next chapter ›"
  AppPushState,  ///< an app that fetches each page and renders it anew, pushState
                 ///< addresses, an icon button named by aria-label, "Page 2 of 7"
  AppFragment,   ///< a script reader on one document: the fragment names the page, the image
                 ///< changes its src, a role=button with a title and a mousedown listener;
                 ///< the last page's Next is disabled
  AppSwap,       ///< every page an img of its own, shown one at a time; the address never
                 ///< changes; aria-labelled links without href react to pointerdown;
                 ///< "2 / 7 페이지"
};

struct Chapter {
  QString folder;                 ///< site path prefix, e.g. "/list/"
  ChapterKind kind = ChapterKind::NextLinks;
  int pages = 0;
  std::vector<QString> imagePaths; ///< site path of page i's image at [i - 1]
  std::vector<QByteArray> images;  ///< its bytes
  /// Site path the engine reports for page i, at [i - 1]; empty: the kind's own rule.
  std::vector<QString> pagePaths;
  QString PageUrl(const LocalSite& site, int page) const;
  QString ImagePath(int page) const { return imagePaths.at(page - 1); }
};

/// Registers a chapter under `folder` (e.g. "/list/"). Pages are `width` x `height` JPEGs;
/// GraphicsMagick must be started.
Chapter AddChapter(LocalSite& site, const QString& folder, ChapterKind kind, int pages,
                   int width = 640, int height = 900);

/// Registers a chapter of one of today's readers (NumberedPages and after) under `folder`;
/// Chapter::PageUrl gives the address the engine reports for each page. Pages are 640 x 900
/// JPEGs.
Chapter AddReader(LocalSite& site, const QString& folder, ChapterKind kind, int pages);

/// Makes every image of the chapter answer 403 unless the request carries two cookies: one
/// the pages set in their answer's header, one their script sets.
void RequireSessionCookies(LocalSite& site, const Chapter& chapter);
/// Makes every page and image of the chapter answer 403 unless the request carries `cookie`
/// ("name=value"), which only the user's cookies file can give: no page sets it.
void RequireLoginCookie(LocalSite& site, const Chapter& chapter, const QByteArray& cookie);
/// Registers a long strip under `folder`: one web page ("strip.html", Chapter::PageUrl of every
/// page) showing `pages` page images between a small logo and a small banner. The page's own
/// script fills in the odd pages' addresses (data-src) only when they scroll into view
/// (IntersectionObserver); the even ones are plain lazy images (loading="lazy"). Every image is
/// laid out 900 pixels high, so most lie far below the first screen.
Chapter AddLongStrip(LocalSite& site, const QString& folder, int pages);

/// How the pages of a chapter show their image, in the style of readers found on the web.
enum class PageMarkup {
  Picture,    ///< a <picture>: the img's src a 1x1 placeholder, a smaller and an undecodable
              ///< source beside the page in the largest srcset entry
  BlobReader, ///< the script fetches the image and shows odd pages through a blob: address,
              ///< even ones through a data: address
  Background, ///< the page as a div's CSS background, under a transparent 1x1 image
  Shadow,     ///< a custom element with the image and a "Next" button in its open shadow root
              ///< (for a chapter of no controls of its own)
};

/// Registers every page of `chapter` again, showing its image as `markup`; the controls stay.
/// What else a markup names (smaller variants, the cover) is served too.
void ShowPagesAs(LocalSite& site, const Chapter& chapter, PageMarkup markup);

/// Registers a chapter (NextLinks) under `folder` of `readerSite`, and a host page
/// `folder`/index.html of `site` (the first page) that shows the reader in a frame.
Chapter AddFramedChapter(LocalSite& site, const QString& folder, int pages, LocalSite& readerSite);

/// Registers a chapter (NextLinks) of PNG pages whose reader draws each page into a canvas from
/// four shuffled tiles it loads itself (new Image()); the even pages' tiles come from
/// `tileSite` when given, which leaves the canvas unreadable to the page. The last page is an
/// ordinary img.
Chapter AddCanvasChapter(LocalSite& site, const QString& folder, int pages,
                         LocalSite* tileSite = nullptr);
/// The site path of tile `index` (0-3, as served) of `page` of a canvas chapter.
QString CanvasTilePath(const Chapter& chapter, int page, int index);

/// How a virtualised strip behaves (AddVirtualStrip).
enum class VirtualStrip {
  KeepsThree, ///< a list that keeps only the three images around the scroll position
  Endless,    ///< ... and adds a page whenever its end comes into view, without end
  Paywalled,  ///< ... and scrolls back whenever the reader goes past its fourth page
};

/// Registers a strip ("strip.html") of a reader built on list virtualisation: the document
/// holds only the images near the scroll position.
Chapter AddVirtualStrip(LocalSite& site, const QString& folder, int pages,
                        VirtualStrip kind = VirtualStrip::KeepsThree);

/// Makes every page of the chapter state a language: `htmlLang` in the html element's "lang"
/// attribute, `metaLang` in a Content-Language meta element; each is left out when empty.
void StateLanguage(LocalSite& site, const Chapter& chapter, const QString& htmlLang,
                   const QString& metaLang = {});

/// Kinds of series list pages, modelled on real ones.
enum class SeriesListKind {
  ChineseNewestFirst, ///< "第N话 …" newest first, a site menu and a box of other series' updates
  EnglishWithMenus,   ///< "Chapter N" oldest first among menus, a ranking and other series' latest
  WebcomicArchive,    ///< titles only, numbers in the addresses, with first/latest/about links
};

/// One chapter a list page links to.
struct SeriesEntry {
  QString url;    ///< the chapter's first page
  QString number; ///< "12", "12.5"
  QString title;  ///< the webcomic archive's link text
};

/// Serves a list page of the series "Tide Keeper" at `path` linking `chapters` (given oldest
/// first) the way pages of `kind` do, among links that are no chapters of it.
void AddSeriesList(LocalSite& site, const QString& path, SeriesListKind kind,
                   const std::vector<SeriesEntry>& chapters);

/// The list page of the link-search tests: site navigation, `chapters` links "Part N" to
/// "/ch/N.html", a contact address, and the awkward links of real list pages (new windows,
/// scripts that go elsewhere, links that do nothing, bookmarks, path tricks in link texts).
QString LinkSearchListPage(int chapters);

/// Adds small images to `page` of a chapter only (heights 300 and 380, both below the page
/// threshold), in place of its page image; returns the site path of the taller one.
QString UseSmallImagesOnly(LocalSite& site, Chapter& chapter, int page);

} // namespace testing_support
