#include "chapter_site.h"

#include "image_bytes.h"

namespace testing_support {
namespace {

QString PageName(int page) { return QStringLiteral("p%1.html").arg(page); }

QString Controls(ChapterKind kind, int page, int pages) {
  switch (kind) {
  case ChapterKind::PageList: {
    QString options = QStringLiteral("<option>-- page --</option>");
    for (int i = 1; i <= pages; ++i)
      options += QStringLiteral("<option%1>%2</option>")
                     .arg(i == page ? QStringLiteral(" selected") : QString())
                     .arg(QStringLiteral(u"第 %1 页").arg(i));
    return QStringLiteral("<select onchange=\"location.href='p'+this.selectedIndex+'.html'\">%1"
                          "</select>")
        .arg(options);
  }
  case ChapterKind::NextLinks:
    return QStringLiteral(u"<a href=\"%1\">[上一页]</a> <a href=\"%2\">下 一 页</a>")
        .arg(PageName(std::max(1, page - 1)), PageName(std::min(pages, page + 1)));
  case ChapterKind::PageBoxButton:
    return QStringLiteral(
        "<span style=\"white-space:nowrap\"><input id=\"pg\" name=\"page\" style=\"width:40px\">"
        "<input type=\"button\" value=\"GO\" "
        "onclick=\"location.href='p'+document.getElementById('pg').value+'.html'\"></span>");
  case ChapterKind::PageBoxEnter:
    return QStringLiteral(
        "<input id=\"pg\" name=\"page\" style=\"width:40px\" "
        "onkeypress=\"if(event.keyCode==13){location.href='p'+this.value+'.html'}\">");
  case ChapterKind::NoControls:
    break;
  }
  return {};
}

QString PageHtml(ChapterKind kind, int page, int pages, const QString& body,
                 const QString& head = {}) {
  return QStringLiteral(
             "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Test comic %1</title>"
             "%5</head><body><div><img src=\"/logo.png\" width=\"100\" height=\"40\"></div>"
             "<div>%2</div><p>%3</p><p>%4</p></body></html>")
      .arg(page)
      .arg(body, QStringLiteral(u"共 %1 页").arg(pages), Controls(kind, page, pages), head);
}

} // namespace

QString Chapter::PageUrl(const LocalSite& site, int page) const {
  return site.Url(folder + PageName(page));
}

Chapter AddChapter(LocalSite& site, const QString& folder, ChapterKind kind, int pages,
                   int width, int height) {
  Chapter chapter;
  chapter.folder = folder;
  chapter.kind = kind;
  chapter.pages = pages;
  site.Add(QStringLiteral("/logo.png"), MakeImageBytes(100, 40, "PNG"), "image/png");
  for (int page = 1; page <= pages; ++page) {
    const QString image = folder + QStringLiteral("img/%1.jpg").arg(page, 3, 10, QLatin1Char('0'));
    const QByteArray bytes = MakeImageBytes(width, height, "JPEG", int(qHash(folder)) + page);
    site.Add(image, bytes, "image/jpeg");
    chapter.imagePaths.push_back(image);
    chapter.images.push_back(bytes);
    site.AddPage(folder + PageName(page),
                 PageHtml(kind, page, pages, QStringLiteral("<img src=\"%1\">").arg(image)));
  }
  return chapter;
}

void RequireSessionCookies(LocalSite& site, const Chapter& chapter) {
  for (int page = 1; page <= chapter.pages; ++page) {
    Resource html;
    html.body = PageHtml(chapter.kind, page, chapter.pages,
                         QStringLiteral("<img src=\"%1\">").arg(chapter.ImagePath(page)),
                         QStringLiteral("<script>document.cookie = 'reader=script; path=/'</script>"))
                    .toUtf8();
    html.headers = {{"Set-Cookie", "session=header; Path=/"}};
    site.Add(chapter.folder + PageName(page), html);
    Resource image;
    image.body = chapter.images[size_t(page - 1)];
    image.contentType = "image/jpeg";
    image.requiredCookies = {"session=header", "reader=script"};
    site.Add(chapter.ImagePath(page), image);
  }
}

QString UseSmallImagesOnly(LocalSite& site, Chapter& chapter, int page) {
  const QString shorter = chapter.folder + QStringLiteral("small/%1a.png").arg(page);
  const QString taller = chapter.folder + QStringLiteral("small/%1b.png").arg(page);
  site.Add(shorter, MakeImageBytes(500, 300, "PNG", page), "image/png");
  const QByteArray tallBytes = MakeImageBytes(280, 380, "PNG", page + 1);
  site.Add(taller, tallBytes, "image/png");
  chapter.imagePaths[page - 1] = taller;
  chapter.images[page - 1] = tallBytes;
  site.AddPage(chapter.folder + PageName(page),
               PageHtml(chapter.kind, page, chapter.pages,
                        QStringLiteral("<img src=\"%1\"><img src=\"%2\">").arg(shorter, taller)));
  return taller;
}

} // namespace testing_support
