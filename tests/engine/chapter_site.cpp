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
  if (!pagePaths.empty()) return site.Url(pagePaths.at(page - 1));
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

// ---- today's readers

namespace {

QString ReaderPage(const QString& title, const QString& body) {
  return QStringLiteral("<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><title>%1"
                        "</title></head><body><header class=\"site-header\"><img src=\"/logo.png\" "
                        "width=\"100\" height=\"40\" alt=\"\"></header>%2</body></html>")
      .arg(title, body);
}

QString Img(const Chapter& c, int page) {
  return QStringLiteral("<img src=\"%1\" width=\"640\" height=\"900\" alt=\"\">").arg(c.ImagePath(page));
}

// A multi-page post: the row a blog engine writes for a post split into pages, between the
// post's date row and a chapter list in the sidebar.
QString NumberedPagesBody(const Chapter& c, int page) {
  QString row;
  for (int i = 1; i <= c.pages; ++i)
    row += i == page ? QStringLiteral(" <span class=\"post-page-numbers current\" aria-current=\"page\">%1</span>").arg(i)
                     : QStringLiteral(" <a href=\"%1\" class=\"post-page-numbers\">%2</a>").arg(c.pagePaths[i - 1]).arg(i);
  QString chapters;
  for (int i = 1; i <= 6; ++i)
    chapters += QStringLiteral("<li%1><a href=\"/chapters/%2/\">%2</a></li>").arg(i == 1 ? " class=\"current\"" : "").arg(i);
  return QStringLiteral(
             "<article class=\"post type-post\"><h1 class=\"entry-title\">Test comic</h1>"
             "<div class=\"entry-meta\">Posted on <a href=\"/2024/\">2024</a>/<a href=\"/2024/05/\">05</a>"
             "/<span>12</span> <a href=\"/2024/05/13/\">13</a> <a href=\"/2024/05/14/\">14</a></div>"
             "<div class=\"entry-content\"><p>%1</p><div class=\"page-links\">Pages:%2</div></div></article>"
             "<aside class=\"widget\"><h3>Chapters</h3><ul class=\"chapter-list\">%3</ul></aside>")
      .arg(Img(c, page), row, chapters);
}

// Forum-style: the first and last page, the neighbours of the current one, gaps as "…".
QString ForumBody(const Chapter& c, int page) {
  QString row;
  if (page > 1) row += QStringLiteral("<a href=\"%1\">«</a> ").arg(PageName(page - 1));
  bool gap = false;
  for (int i = 1; i <= c.pages; ++i) {
    if (i != 1 && i != c.pages && std::abs(i - page) > 1) {
      if (!gap) row += QStringLiteral("<span class=\"dots\">…</span> ");
      gap = true;
      continue;
    }
    gap = false;
    row += i == page ? QStringLiteral("<strong>%1</strong> ").arg(i)
                     : QStringLiteral("<a href=\"%1\">%2</a> ").arg(PageName(i)).arg(i);
  }
  if (page < c.pages) row += QStringLiteral("<a href=\"%1\">»</a>").arg(PageName(page + 1));
  return QStringLiteral("<div class=\"content\">%1</div><div class=\"pagination\">%2</div>")
      .arg(Img(c, page), row);
}

QString ImageLinkBody(const Chapter& c, int page) {
  return QStringLiteral("<table class=\"viewer\"><tr><td><a href=\"%1\">%2</a></td></tr></table>"
                        "<p class=\"hint\">Click the picture for the next page.</p>")
      .arg(PageName(page < c.pages ? page + 1 : 1), Img(c, page));
}

// A webcomic theme's strip page: navigation cells, the unusable ones void spans.
QString WebcomicBody(const Chapter& c, int page) {
  const auto cell = [&](bool usable, int target, const QString& which, const QString& label) {
    return usable ? QStringLiteral("<td class=\"comic-nav\"><a href=\"%1\" class=\"comic-nav-base comic-nav-%2\">%3</a></td>")
                        .arg(c.pagePaths[target - 1], which, label)
                  : QStringLiteral("<td class=\"comic-nav\"><span class=\"comic-nav-base comic-nav-%1 comic-nav-void\">%2</span></td>")
                        .arg(which, label);
  };
  return QStringLiteral("<div id=\"comic-wrap\"><div id=\"comic\">%1</div></div>"
                        "<table id=\"comic-nav-wrapper\"><tr class=\"comic-nav-container\">%2%3%4%5</tr></table>"
                        "<div class=\"post-info\"><h2 class=\"post-title\">Strip %6</h2></div>")
      .arg(Img(c, page), cell(page > 1, 1, "first", "&lsaquo;&lsaquo; First"),
           cell(page > 1, std::max(1, page - 1), "previous", "&lsaquo; Prev"),
           cell(page < c.pages, std::min(c.pages, page + 1), "next", "Next &rsaquo;"),
           cell(page < c.pages, c.pages, "last", "Last &rsaquo;&rsaquo;"))
      .arg(page);
}

QString NextChapterBody(const Chapter& c, int page) {
  const QString next = page < c.pages ? PageName(page + 1) : QStringLiteral("/chapter-2.html");
  return QStringLiteral(
             "<main>%1</main><div class=\"reader-nav\"><button type=\"button\" class=\"btn prev\">‹ Prev</button>"
             "<button type=\"button\" class=\"btn next\">%2</button></div><script>"
             "document.querySelector('.btn.prev').addEventListener('click', () => { location.href = '%3'; });"
             "document.querySelector('.btn.next').addEventListener('click', () => { location.href = '%4'; });"
             "</script>")
      .arg(Img(c, page), page < c.pages ? QStringLiteral("Next ›") : QStringLiteral("Next chapter ›"),
           PageName(std::max(1, page - 1)), next);
}

// An app: each page's data comes from the site's API; the page element is built anew.
QString AppPushStateBody(const Chapter& c) {
  return QStringLiteral(R"(<div id="root"></div><script>
const base = '%1';
let page = Number(location.pathname.split('/').pop()) || 1;
const root = document.getElementById('root');
async function show(n, push) {
  const data = await (await fetch(base + 'api/' + n + '.json')).json();
  if (push) history.pushState({ n }, '', base + 'read/' + n);
  page = n;
  const img = document.createElement('img');
  img.className = 'page-image'; img.width = 640; img.height = 900; img.src = data.image;
  const bar = document.createElement('div');
  bar.className = 'toolbar';
  bar.innerHTML = '<button class="icon" aria-label="Previous page"><svg width="24" height="24"><path d="M15 6l-6 6 6 6"/></svg></button>' +
    '<span class="counter">Page ' + n + ' of ' + data.total + '</span>' +
    '<button class="icon" aria-label="Next page"><svg width="24" height="24"><path d="M9 6l6 6-6 6"/></svg></button>';
  const [prev, next] = bar.querySelectorAll('button');
  prev.addEventListener('click', () => { if (page > 1) show(page - 1, true); });
  next.addEventListener('click', () => { if (page < data.total) show(page + 1, true); });
  root.replaceChildren(img, bar);
}
show(page, false);
</script>)").arg(c.folder);
}

QString AppFragmentBody(const Chapter& c) {
  QStringList images;
  for (int page = 1; page <= c.pages; ++page) images << QLatin1Char('\'') + c.ImagePath(page) + QLatin1Char('\'');
  return QStringLiteral(R"(<div class="viewer"><img id="page-img" width="640" height="900" alt=""></div>
<div class="controls"><span class="btn-prev" role="button" title="前へ">◀</span>
<span class="btn-next" role="button" title="次へ">▶</span></div><script>
const pages = [%1];
const img = document.getElementById('page-img');
const next = document.querySelector('.btn-next');
const current = () => Number((location.hash.match(/p=(\d+)/) || [0, 1])[1]);
function render() {
  const n = current();
  img.src = pages[n - 1];
  const last = n >= pages.length;
  next.classList.toggle('disabled', last);
  next.setAttribute('aria-disabled', String(last));
}
next.addEventListener('mousedown', () => { if (current() < pages.length) location.hash = 'p=' + (current() + 1); });
document.querySelector('.btn-prev').addEventListener('mousedown', () => { if (current() > 1) location.hash = 'p=' + (current() - 1); });
window.addEventListener('hashchange', render);
render();
</script>)").arg(images.join(QLatin1Char(',')));
}

QString AppSwapBody(const Chapter& c) {
  QString slides;
  for (int page = 1; page <= c.pages; ++page)
    slides += QStringLiteral("<img class=\"slide\" data-src=\"%1\" width=\"640\" height=\"900\" alt=\"\" style=\"display:none\">")
                  .arg(c.ImagePath(page));
  return QStringLiteral(R"(<div class="slides">%1</div><div class="pager">
<a class="arrow" aria-label="이전"><i class="icon-left"></i>&nbsp;</a> <span class="count"></span>
<a class="arrow" aria-label="다음"><i class="icon-right"></i>&nbsp;</a></div><script>
const slides = document.querySelectorAll('.slide');
let n = 0;
function show(i) {
  slides[n].style.display = 'none';
  n = i;
  if (!slides[n].src) slides[n].src = slides[n].dataset.src;
  slides[n].style.display = 'block';
  document.querySelector('.count').textContent = (n + 1) + ' / ' + slides.length + ' 페이지';
}
const [prev, next] = document.querySelectorAll('.arrow');
prev.addEventListener('pointerdown', () => { if (n > 0) show(n - 1); });
next.addEventListener('pointerdown', () => { if (n + 1 < slides.length) show(n + 1); });
show(0);
</script>)").arg(slides);
}

} // namespace

Chapter AddReader(LocalSite& site, const QString& folder, ChapterKind kind, int pages) {
  Chapter c;
  c.folder = folder;
  c.kind = kind;
  c.pages = pages;
  site.Add(QStringLiteral("/logo.png"), MakeImageBytes(100, 40, "PNG"), "image/png");
  for (int page = 1; page <= pages; ++page) {
    const QString image = folder + QStringLiteral("img/%1.jpg").arg(page, 3, 10, QLatin1Char('0'));
    const QByteArray bytes = MakeImageBytes(640, 900, "JPEG", int(qHash(folder)) + page);
    site.Add(image, bytes, "image/jpeg");
    c.imagePaths.push_back(image);
    c.images.push_back(bytes);
    switch (kind) {
    case ChapterKind::NumberedPages:
      c.pagePaths.push_back(folder + (page == 1 ? QStringLiteral("post/") : QStringLiteral("post/%1/").arg(page)));
      break;
    case ChapterKind::Webcomic:
      c.pagePaths.push_back(folder + QStringLiteral("comic/strip-%1/").arg(page));
      break;
    case ChapterKind::AppPushState:
      c.pagePaths.push_back(folder + QStringLiteral("read/%1").arg(page));
      break;
    case ChapterKind::AppFragment:
      c.pagePaths.push_back(folder + QStringLiteral("reader.html") +
                            (page == 1 ? QString() : QStringLiteral("#p=%1").arg(page)));
      break;
    case ChapterKind::AppSwap:
      c.pagePaths.push_back(folder + QStringLiteral("reader.html"));
      break;
    default:
      c.pagePaths.push_back(folder + PageName(page));
    }
  }
  const QString title = QStringLiteral("Test comic");
  for (int page = 1; page <= pages; ++page) {
    QString body;
    switch (kind) {
    case ChapterKind::NumberedPages: body = NumberedPagesBody(c, page); break;
    case ChapterKind::ForumPages: body = ForumBody(c, page); break;
    case ChapterKind::ImageLinks: body = ImageLinkBody(c, page); break;
    case ChapterKind::Webcomic: body = WebcomicBody(c, page); break;
    case ChapterKind::NextChapter: body = NextChapterBody(c, page); break;
    case ChapterKind::AppPushState:
      site.Add(folder + QStringLiteral("api/%1.json").arg(page),
               QStringLiteral("{\"image\":\"%1\",\"total\":%2}").arg(c.ImagePath(page)).arg(pages).toUtf8(),
               "application/json");
      if (page == 1) body = AppPushStateBody(c);
      break;
    case ChapterKind::AppFragment:
      if (page == 1) body = AppFragmentBody(c);
      break;
    case ChapterKind::AppSwap:
      if (page == 1) body = AppSwapBody(c);
      break;
    default: break;
    }
    // A fragment is no part of the address the site is asked for.
    if (!body.isEmpty()) site.AddPage(c.pagePaths[page - 1].section(QLatin1Char('#'), 0, 0), ReaderPage(title, body));
  }
  // Where the last page of NextChapter leads: the engine must never go there.
  site.AddPage(QStringLiteral("/chapter-2.html"), ReaderPage(QStringLiteral("Chapter 2"), Img(c, 1)));
  return c;
}

} // namespace testing_support
