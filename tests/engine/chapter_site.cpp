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
  case ChapterKind::EnglishLinks:
    return QStringLiteral(u"<a href=\"%1\">‹ Prev</a> | <a href=\"%2\">Next&nbsp;›</a>")
        .arg(PageName(std::max(1, page - 1)), PageName(std::min(pages, page + 1)));
  case ChapterKind::KoreanLinks:
    return QStringLiteral(u"<input type=\"button\" value=\"< 이전\" "
                          "onclick=\"location.href='%1'\"> <input type=\"button\" "
                          "value=\"다음 >\" onclick=\"location.href='%2'\">")
        .arg(PageName(std::max(1, page - 1)), PageName(std::min(pages, page + 1)));
  case ChapterKind::NoControls:
  case ChapterKind::LongStrip:
    break;
  }
  return {};
}

QString TotalText(ChapterKind kind, int page, int pages) {
  switch (kind) {
  case ChapterKind::EnglishLinks: return QStringLiteral("Page %1 of %2").arg(page).arg(pages);
  case ChapterKind::KoreanLinks: return QStringLiteral(u"%1 / %2 페이지").arg(page).arg(pages);
  default: return QStringLiteral(u"共 %1 页").arg(pages);
  }
}

QString PageHtml(ChapterKind kind, int page, int pages, const QString& body,
                 const QString& head = {}) {
  return QStringLiteral(
             "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Test comic %1</title>"
             "%5</head><body><div><img src=\"/logo.png\" width=\"100\" height=\"40\"></div>"
             "<div>%2</div><p>%3</p><p>%4</p></body></html>")
      .arg(page)
      .arg(body, TotalText(kind, page, pages), Controls(kind, page, pages), head);
}

} // namespace

QString Chapter::PageUrl(const LocalSite& site, int page) const {
  return site.Url(folder + (kind == ChapterKind::LongStrip ? QStringLiteral("strip.html") : PageName(page)));
}

Chapter AddLongStrip(LocalSite& site, const QString& folder, int pages) {
  Chapter chapter = AddChapter(site, folder, ChapterKind::NoControls, pages);
  chapter.kind = ChapterKind::LongStrip;
  site.Add(QStringLiteral("/banner.png"), MakeImageBytes(728, 90, "PNG"), "image/png");
  QString images;
  for (int page = 1; page <= pages; ++page) {
    const QString& path = chapter.imagePaths[page - 1];
    images += page % 2 ? QStringLiteral("<img class=\"lazy\" data-src=\"%1\" alt=\"\" ").arg(path)
                       : QStringLiteral("<img loading=\"lazy\" src=\"%1\" ").arg(path);
    images += QStringLiteral("style=\"display:block;width:640px;height:900px\">");
    if (page == 2) images += QStringLiteral("<img src=\"/banner.png\">");
  }
  site.AddPage(folder + QStringLiteral("strip.html"),
               QStringLiteral(
                   "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Strip</title></head>"
                   "<body><img src=\"/logo.png\" width=\"100\" height=\"40\">%1<script>"
                   "const seen = new IntersectionObserver((entries) => {"
                   "  for (const e of entries) if (e.isIntersecting) {"
                   "    e.target.src = e.target.dataset.src; seen.unobserve(e.target); }});"
                   "document.querySelectorAll('img.lazy').forEach((i) => seen.observe(i));"
                   "</script></body></html>")
                   .arg(images));
  return chapter;
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

void StateLanguage(LocalSite& site, const Chapter& chapter, const QString& htmlLang,
                   const QString& metaLang) {
  const QString meta = metaLang.isEmpty() ? QString()
                                          : QStringLiteral("<meta http-equiv=\"Content-Language\" "
                                                           "content=\"%1\">").arg(metaLang);
  const QString root = htmlLang.isEmpty() ? QStringLiteral("<html>")
                                          : QStringLiteral("<html lang=\"%1\">").arg(htmlLang);
  for (int page = 1; page <= chapter.pages; ++page)
    site.AddPage(chapter.folder + PageName(page),
                 PageHtml(chapter.kind, page, chapter.pages,
                          QStringLiteral("<img src=\"%1\">").arg(chapter.ImagePath(page)), meta)
                     .replace(QStringLiteral("<html>"), root));
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
