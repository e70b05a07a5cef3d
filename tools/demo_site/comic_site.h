#pragma once
// ComicSite: every page, image and document of the demo comic site, built once in memory.
//
//   /                        home page
//   /comic/                  chapter list (both chapters, site navigation, a mailto link and
//                            a bookmark link that a link search skips)
//   /comic/ch1/N.html        chapter 1, 12 pages: a page-number drop-down whose change handler
//                            goes to the chosen page, and "共 12 页"
//   /comic/ch2/N.html        chapter 2, 10 pages: "上一页"/"下一页" links and "第 N 页 共 10 页"
//   /comic/chX/img/NNN.png|jpg   the page images (720 × 1020; chapter 1 PNG, chapter 2 JPEG)
//   /img/logo.png, /img/banner.png, /img/side.png   decorations, each below 301 × 401 in one
//                            dimension, placed before the page image on every page
//   /cn/comic/ad/            news document (UTF-16LE INI with a byte order mark)
//   /cn/comic/hot.php, /cn/comic/help.php, /rank.html   plain site pages
//
// Pages link relatively; only the news document holds absolute addresses, made from the base
// address given at construction. The site is immutable once built, so any number of server
// threads may read it.
#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

namespace demo_site {

struct Resource {
  QByteArray body;
  QByteArray contentType;
};

/// One chapter of the demo comic.
struct Chapter {
  int number;
  int pageCount;
  const char* title;     ///< Link text on the chapter list.
  const char* imageType; ///< "png" or "jpg"
};

class ComicSite {
public:
  /// `base` is the site's address without trailing "/", e.g. "http://127.0.0.1:8080".
  explicit ComicSite(const QString& base);

  static const Chapter kChapters[2];

  /// The resource at `path` (query ignored by the caller), or null.
  const Resource* Find(const QString& path) const;
  QStringList Paths() const { return resources_.keys(); }
  QString Base() const { return base_; }

  /// Path of a chapter's page and of its image.
  static QString PagePath(int chapter, int page);
  static QString ImagePath(int chapter, int page);

  /// The generators, for tests that want one piece without building the site.
  static QString ChapterOnePage(int page);
  static QString ChapterTwoPage(int page);
  static QString ChapterListPage();
  static QString HomePage();
  QByteArray NewsDocument() const;

private:
  void Add(const QString& path, const QByteArray& body, const QByteArray& type);
  void AddHtml(const QString& path, const QString& html);
  void AddImages();

  QString base_;
  QMap<QString, Resource> resources_;
};

} // namespace demo_site
