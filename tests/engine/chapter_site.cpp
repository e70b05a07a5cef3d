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

QString CanvasTilePath(const Chapter& chapter, int page, int index) {
  return chapter.folder + QStringLiteral("tiles/%1-%2.png").arg(page).arg(index);
}

Chapter AddFramedChapter(LocalSite& site, const QString& folder, int pages, LocalSite& readerSite) {
  Chapter chapter = AddChapter(readerSite, folder, ChapterKind::NextLinks, pages);
  site.AddPage(folder + QStringLiteral("index.html"),
               QStringLiteral("<!DOCTYPE html><html><head><title>Host</title></head><body>"
                              "<h1>Today's chapter</h1><iframe src=\"%1\" "
                              "style=\"width:760px;height:1100px;border:0\"></iframe></body></html>")
                   .arg(readerSite.Url(folder + PageName(1))));
  chapter.pagePaths = {folder + QStringLiteral("index.html")};
  for (int page = 2; page <= pages; ++page) chapter.pagePaths.push_back(folder + PageName(page));
  return chapter;
}

Chapter AddCanvasChapter(LocalSite& site, const QString& folder, int pages, LocalSite* tileSite) {
  Chapter chapter; // NextLinks
  chapter.folder = folder;
  chapter.pages = pages;
  site.Add(QStringLiteral("/logo.png"), MakeImageBytes(100, 40, "PNG"), "image/png");
  for (int page = 1; page <= pages; ++page) {
    const int seed = int(qHash(folder)) + page;
    chapter.imagePaths.push_back(folder + QStringLiteral("img/%1.png").arg(page));
    chapter.images.push_back(MakeImageBytes(640, 900, "PNG", seed));
    site.Add(chapter.imagePaths.back(), chapter.images.back(), "image/png");
    QString body = QStringLiteral("<img src=\"%1\">").arg(chapter.imagePaths.back());
    if (page < pages) {
      // Served tile i shows the quarter key[i] of the page.
      const int key[4] = {(page + 2) % 4, page % 4, (page + 3) % 4, (page + 1) % 4};
      LocalSite& tiles = tileSite && page % 2 == 0 ? *tileSite : site;
      for (int i = 0; i < 4; ++i)
        tiles.Add(CanvasTilePath(chapter, page, i),
                  MakeImageBytes(320, 450, "PNG", seed, key[i] % 2 * 320, key[i] / 2 * 450), "image/png");
      body = QStringLiteral("<canvas id=\"page\" width=\"640\" height=\"900\"></canvas><script>"
                            "const context = document.getElementById('page').getContext('2d');"
                            "[%1, %2, %3, %4].forEach((quarter, i) => {"
                            "  const tile = new Image();"
                            "  tile.onload = () => context.drawImage(tile, quarter % 2 * 320, Math.floor(quarter / 2) * 450);"
                            "  tile.src = '%5' + i + '.png';"
                            "});</script>")
                 .arg(key[0]).arg(key[1]).arg(key[2]).arg(key[3])
                 .arg(tiles.Url(CanvasTilePath(chapter, page, 0)).chopped(5));
    }
    site.AddPage(folder + PageName(page), PageHtml(chapter.kind, page, pages, body));
  }
  return chapter;
}

Chapter AddVirtualStrip(LocalSite& site, const QString& folder, int pages, VirtualStrip kind) {
  static const char* const kStripKinds[] = {"keeps", "endless", "paywalled"}; // as VirtualStrip
  Chapter chapter = AddChapter(site, folder, ChapterKind::NoControls, pages);
  chapter.kind = ChapterKind::LongStrip;
  QStringList paths;
  for (const QString& path : chapter.imagePaths) paths << QStringLiteral("'%1'").arg(path);
  site.AddPage(
      folder + QStringLiteral("strip.html"),
      QStringLiteral(
          "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Strip</title></head>"
          "<body style=\"margin:0\"><img src=\"/logo.png\" width=\"100\" height=\"40\">"
          "<div id=\"list\" style=\"position:relative\"></div><script>"
          "const pages = [%1]; const kind = '%2'; const H = 900;"
          "const list = document.getElementById('list'); const shown = new Map();"
          "let total = pages.length;"
          "const address = (i) => i < pages.length ? pages[i] : '%3more/' + i + '.jpg';"
          "function render() {"
          "  if (kind === 'paywalled' && scrollY > 4 * H) { scrollTo(0, 4 * H); return; }"
          "  const at = Math.floor(Math.max(0, scrollY - list.offsetTop) / H);"
          "  if (kind === 'endless' && at >= total - 2) total += 1;"
          "  list.style.height = total * H + 'px';"
          "  const want = [at - 1, at, at + 1].filter((i) => i >= 0 && i < total);"
          "  for (const [i, img] of shown) if (!want.includes(i)) { img.remove(); shown.delete(i); }"
          "  for (const i of want) if (!shown.has(i)) {"
          "    const img = document.createElement('img'); img.src = address(i);"
          "    img.style = 'position:absolute;left:0;width:640px;height:' + H + 'px;top:' + i * H + 'px';"
          "    shown.set(i, img); }"
          "  for (const i of [...shown.keys()].sort((a, b) => a - b)) list.appendChild(shown.get(i));"
          "}"
          "addEventListener('scroll', () => requestAnimationFrame(render)); render();"
          "</script></body></html>")
          .arg(paths.join(QLatin1Char(',')), QLatin1String(kStripKinds[int(kind)]), folder));
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

namespace {

// A transparent 1 x 1 GIF, the placeholder of lazy loaders.
const char kPlaceholder[] =
    "data:image/gif;base64,R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7";

QString MarkupBody(LocalSite& site, const Chapter& chapter, int page, PageMarkup markup) {
  const QString image = chapter.ImagePath(page);
  switch (markup) {
  case PageMarkup::Picture: {
    const QString small = chapter.folder + QStringLiteral("small/%1.jpg").arg(page);
    site.Add(small, MakeImageBytes(320, 450, "JPEG", page), "image/jpeg");
    return QStringLiteral(
               "<picture><source type=\"image/avif\" srcset=\"%1.avif 4000w\">"
               "<source srcset=\"%1 480w, %2 1280w\" sizes=\"100vw\">"
               "<img src=\"%3\" srcset=\"%1 1x\" alt=\"\"></picture>")
        .arg(small, image, QLatin1String(kPlaceholder));
  }
  case PageMarkup::BlobReader:
    return QStringLiteral(
               "<img id=\"page\" alt=\"\"><script>"
               "fetch('%1').then((r) => r.blob()).then((b) => {"
               "  const img = document.getElementById('page');"
               "  if (%2) { img.src = URL.createObjectURL(b); return; }"
               "  const reader = new FileReader();"
               "  reader.onload = () => { img.src = reader.result; };"
               "  reader.readAsDataURL(b);"
               "});</script>")
        .arg(image, page % 2 ? QStringLiteral("true") : QStringLiteral("false"));
  case PageMarkup::Background:
    site.Add(chapter.folder + QStringLiteral("clear.gif"),
             QByteArray::fromBase64(QByteArray(kPlaceholder).mid(22)),
             "image/gif");
    return QStringLiteral(
               "<div style=\"position:relative;width:640px;height:900px;"
               "background:url('%1') no-repeat;background-size:contain\">"
               "<img src=\"%2clear.gif\" style=\"position:absolute;left:0;top:0;"
               "width:100%;height:100%\" alt=\"\"></div>")
        .arg(image, chapter.folder);
  case PageMarkup::Shadow:
    return QStringLiteral(
               "<comic-reader></comic-reader><script>"
               "customElements.define('comic-reader', class extends HTMLElement {"
               "  constructor() { super(); const root = this.attachShadow({ mode: 'open' });"
               "    root.innerHTML = '<img src=\"%1\"><button>Next</button>';"
               "    root.querySelector('button').onclick = () => { location.href = '%2'; }; }"
               "});</script>")
        .arg(image, PageName(std::min(page + 1, chapter.pages)));
  }
  return {};
}

} // namespace

void ShowPagesAs(LocalSite& site, const Chapter& chapter, PageMarkup markup) {
  for (int page = 1; page <= chapter.pages; ++page)
    site.AddPage(chapter.folder + PageName(page),
                 PageHtml(chapter.kind, page, chapter.pages, MarkupBody(site, chapter, page, markup)));
}

void RequireLoginCookie(LocalSite& site, const Chapter& chapter, const QByteArray& cookie) {
  for (int page = 1; page <= chapter.pages; ++page) {
    Resource html, image;
    html.body = PageHtml(chapter.kind, page, chapter.pages,
                         QStringLiteral("<img src=\"%1\">").arg(chapter.ImagePath(page))).toUtf8();
    image.body = chapter.images[size_t(page - 1)];
    image.contentType = "image/jpeg";
    html.requiredCookies = image.requiredCookies = {cookie};
    site.Add(chapter.folder + PageName(page), html);
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

QString ReaderPage(const QString& body) {
  return QStringLiteral("<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><title>Test comic"
                        "</title></head><body><header><img src=\"/logo.png\" width=\"100\" height=\"40\" "
                        "alt=\"\"></header>%1</body></html>").arg(body);
}

QString Img(const Chapter& c, int page, const QString& extra = {}) {
  return QStringLiteral("<img src=\"%1\" width=\"640\" height=\"900\" alt=\"\"%2>").arg(c.ImagePath(page), extra);
}

// One page of a kind whose every page is a web page of its own.
QString DocumentBody(const Chapter& c, int page) {
  const auto link = [&](int to, const QString& attributes, const QString& text) {
    return QStringLiteral("<a href=\"%1\"%2>%3</a> ").arg(c.pagePaths[to - 1], attributes, text);
  };
  QString row;
  switch (c.kind) {
  case ChapterKind::NumberedPages: // a blog engine's row for a post split into pages
    for (int i = 1; i <= c.pages; ++i)
      row += i == page ? QStringLiteral("<span class=\"post-page-numbers current\" aria-current=\"page\">%1</span> ").arg(i)
                       : link(i, " class=\"post-page-numbers\"", QString::number(i));
    return QStringLiteral("<article class=\"post\"><div class=\"entry-content\"><p>%1</p><div class=\"page-links\">"
                          "Pages: %2</div></div></article>").arg(Img(c, page), row);
  case ChapterKind::ForumPages: // first, last and the neighbours of the current page
    for (int i = 1; i <= c.pages; ++i) {
      if (i != 1 && i != c.pages && std::abs(i - page) > 1) {
        if (!row.endsWith(QStringLiteral("… "))) row += QStringLiteral("<span class=\"dots\">…</span> ");
        continue;
      }
      row += i == page ? QStringLiteral("<strong>%1</strong> ").arg(i) : link(i, {}, QString::number(i));
    }
    return QStringLiteral("<div class=\"content\">%1</div><div class=\"pagination\">%2%3%4</div>")
        .arg(Img(c, page), page > 1 ? link(page - 1, {}, "«") : QString(), row,
             page < c.pages ? link(page + 1, {}, "»") : QString());
  case ChapterKind::ImageLinks:
    return QStringLiteral("<table class=\"viewer\"><tr><td>%1</td></tr></table>")
        .arg(link(page < c.pages ? page + 1 : 1, {}, Img(c, page)));
  case ChapterKind::Webcomic: { // a webcomic theme's navigation; the unusable ones void spans
    const auto cell = [&](bool usable, int to, const QString& which, const QString& label) {
      return usable ? link(to, QStringLiteral(" class=\"comic-nav-base comic-nav-%1\"").arg(which), label)
                    : QStringLiteral("<span class=\"comic-nav-base comic-nav-%1 comic-nav-void\">%2</span> ").arg(which, label);
    };
    return QStringLiteral("<div id=\"comic\">%1</div><div class=\"comic-nav\">%2%3%4%5</div>")
        .arg(Img(c, page), cell(page > 1, 1, "first", "&lsaquo;&lsaquo; First"),
             cell(page > 1, std::max(1, page - 1), "previous", "&lsaquo; Prev"),
             cell(page < c.pages, std::min(c.pages, page + 1), "next", "Next &rsaquo;"),
             cell(page < c.pages, c.pages, "last", "Last &rsaquo;&rsaquo;"));
  }
  default: // NextChapter: the next address comes from the server a moment after the click
    return QStringLiteral("<main>%1</main><div class=\"reader-nav\"><button class=\"btn prev\">‹ Prev</button>"
                          "<button class=\"btn next\">%2</button></div><script>"
                          "document.querySelector('.btn.prev').addEventListener('click', () => { location.href = '%3'; });"
                          "document.querySelector('.btn.next').addEventListener('click', () => "
                          "setTimeout(() => { location.href = '%4'; }, 200));</script>")
        .arg(Img(c, page), page < c.pages ? QStringLiteral("Next ›") : QStringLiteral("Next chapter ›"),
             c.pagePaths[std::max(0, page - 2)],
             page < c.pages ? c.pagePaths[page] : QStringLiteral("/chapter-2.html"));
  }
}

// The one web page of an app reader.
QString AppBody(const Chapter& c) {
  QStringList images;
  for (int page = 1; page <= c.pages; ++page) images << QLatin1Char('\'') + c.ImagePath(page) + QLatin1Char('\'');
  switch (c.kind) {
  case ChapterKind::AppPushState: // fetches each page, renders it anew, pushState
    return QStringLiteral(R"(<div id="root"></div><script>
const base = '%1', root = document.getElementById('root');
let page = Number(location.pathname.split('/').pop()) || 1;
async function show(n, push) {
  const data = await (await fetch(base + 'api/' + n + '.json')).json();
  if (push) history.pushState({ n }, '', base + 'read/' + n);
  page = n;
  const img = Object.assign(document.createElement('img'), { width: 640, height: 900, src: data.image });
  const bar = document.createElement('div');
  bar.innerHTML = '<span>Page ' + n + ' of ' + data.total + '</span><button class="icon" aria-label="Next page">' +
    '<svg width="24" height="24"><path d="M9 6l6 6-6 6"/></svg></button>';
  bar.querySelector('button').addEventListener('click', () => { if (page < data.total) show(page + 1, true); });
  root.replaceChildren(img, bar);
}
show(page, false);
</script>)").arg(c.folder);
  case ChapterKind::AppFragment: // the fragment names the page; mousedown on a role=button
    return QStringLiteral(R"(%1<span class="btn-prev" role="button" title="前へ">◀</span>
<span class="btn-next" role="button" title="次へ">▶</span><script>
const pages = [%2], img = document.querySelector('img'), next = document.querySelector('.btn-next');
const current = () => Number((location.hash.match(/p=(\d+)/) || [0, 1])[1]);
function render() {
  img.src = pages[current() - 1];
  next.setAttribute('aria-disabled', String(current() >= pages.length));
}
next.addEventListener('mousedown', () => { if (current() < pages.length) location.hash = 'p=' + (current() + 1); });
window.addEventListener('hashchange', () => setTimeout(render, 50)); // the page's data comes first
render();
</script>)").arg(Img(c, 1, QStringLiteral(" id=\"page-img\"")), images.join(QLatin1Char(',')));
  default: // AppSwap: an img per page, shown one at a time; pointerdown on aria-labelled links
    return QStringLiteral(R"(<div class="slides"></div><a class="arrow" aria-label="이전">&lt;</a>
<span class="count"></span> <a class="arrow" aria-label="다음">&gt;</a><script>
const sources = [%1], box = document.querySelector('.slides');
const slides = sources.map(() => box.appendChild(Object.assign(document.createElement('img'), { width: 640, height: 900 })));
let n = 0;
function show(i) {
  slides[n].style.display = 'none';
  n = i;
  slides[n].src = sources[n];
  slides[n].style.display = 'block';
  document.querySelector('.count').textContent = (n + 1) + ' / ' + slides.length + ' 페이지';
}
document.querySelectorAll('.arrow')[1].addEventListener('pointerdown', () => { if (n + 1 < slides.length) show(n + 1); });
slides.forEach((s) => { s.style.display = 'none'; });
show(0);
</script>)").arg(images.join(QLatin1Char(',')));
  }
}

QString PagePath(const QString& folder, ChapterKind kind, int page) {
  switch (kind) {
  case ChapterKind::NumberedPages: return folder + (page == 1 ? QStringLiteral("post/") : QStringLiteral("post/%1/").arg(page));
  case ChapterKind::Webcomic: return folder + QStringLiteral("comic/strip-%1/").arg(page);
  case ChapterKind::AppPushState: return folder + QStringLiteral("read/%1").arg(page);
  case ChapterKind::AppFragment:
    return folder + QStringLiteral("reader.html") + (page == 1 ? QString() : QStringLiteral("#p=%1").arg(page));
  case ChapterKind::AppSwap: return folder + QStringLiteral("reader.html");
  default: return folder + PageName(page);
  }
}

} // namespace

Chapter AddReader(LocalSite& site, const QString& folder, ChapterKind kind, int pages) {
  Chapter c = AddChapter(site, folder, ChapterKind::NoControls, pages); // its images
  c.kind = kind;
  for (int page = 1; page <= pages; ++page) c.pagePaths.push_back(PagePath(folder, kind, page));
  const bool app = kind == ChapterKind::AppPushState || kind == ChapterKind::AppFragment || kind == ChapterKind::AppSwap;
  for (int page = 1; page <= pages; ++page) {
    if (kind == ChapterKind::AppPushState)
      site.Add(folder + QStringLiteral("api/%1.json").arg(page),
               QStringLiteral("{\"image\":\"%1\",\"total\":%2}").arg(c.ImagePath(page)).arg(pages).toUtf8(),
               "application/json");
    // The pages of AddChapter's own kind are replaced; an app is one web page.
    site.Remove(folder + PageName(page));
    if (!app || page == 1)
      site.AddPage(c.pagePaths[page - 1].section(QLatin1Char('#'), 0, 0),
                   ReaderPage(app ? AppBody(c) : DocumentBody(c, page)));
  }
  // Where the last page of NextChapter leads: the engine must never go there.
  site.AddPage(QStringLiteral("/chapter-2.html"), ReaderPage(Img(c, 1)));
  return c;
}

void AddSeriesList(LocalSite& site, const QString& path, SeriesListKind kind,
                   const std::vector<SeriesEntry>& chapters) {
  QString links;
  switch (kind) {
  case SeriesListKind::ChineseNewestFirst:
    for (auto it = chapters.rbegin(); it != chapters.rend(); ++it)
      links += QStringLiteral(u"<li><a href=\"%1\">第%2话 潮汐</a></li>").arg(it->url, it->number);
    site.AddPage(path, QStringLiteral(
        u"<html><head><title>潮汐守望者漫画_潮汐守望者最新章节_某某漫画网</title></head><body>"
        u"<div class=\"nav\"><a href=\"/\">首页</a> <a href=\"/rank/1.html\">排行榜</a> "
        u"<a href=\"/list/2.html\">更新</a></div><h1>潮汐守望者</h1><p>连载中 共%1话</p>"
        u"<a href=\"%2\">开始阅读</a><ul class=\"chapters\">%3</ul>"
        u"<div class=\"updates\"><a href=\"/comic/91/5555.html\">风之谷 第88话</a> "
        u"<a href=\"/comic/92/7777.html\">铁花 第240话</a></div></body></html>")
        .arg(chapters.size()).arg(chapters.empty() ? QString() : chapters.front().url, links));
    return;
  case SeriesListKind::EnglishWithMenus:
    for (const SeriesEntry& chapter : chapters)
      links += QStringLiteral("<li><a href=\"%1\">Chapter %2</a> <small>2 days ago</small></li>")
                   .arg(chapter.url, chapter.number);
    site.AddPage(path, QStringLiteral(
        "<html><head><title>Tide Keeper Manga - Read Online - MangaShelf</title></head><body>"
        "<nav><a href=\"/\">Home</a> <a href=\"/genres\">Genres</a> <a href=\"/latest?page=2\">2</a> "
        "<a href=\"/latest?page=3\">3</a></nav><h1>Tide Keeper</h1><ul>%1</ul>"
        "<aside><h3>Ranking</h3><a href=\"/manga/sky-cook\">#1 Sky Cook</a> "
        "<a href=\"/manga/iron-bloom\">#2 Iron Bloom</a> <a href=\"/manga/old-moon\">#3 Old Moon</a>"
        "<h3>Latest updates</h3><a href=\"/manga/sky-cook/chapter-88\">Sky Cook Chapter 88</a> "
        "<a href=\"/manga/iron-bloom/chapter-240\">Iron Bloom Chapter 240</a></aside>"
        "<footer><a href=\"mailto:team@example.com\">Contact</a></footer></body></html>")
        .arg(links));
    return;
  case SeriesListKind::WebcomicArchive:
    for (const SeriesEntry& chapter : chapters)
      links += QStringLiteral("<a href=\"%1\">%2</a><br>").arg(chapter.url, chapter.title);
    site.AddPage(path, QStringLiteral(
        "<html><head><title>Archive | Tide Keeper</title></head><body><h1>Archive</h1>"
        "<a href=\"%1\">First</a> <a href=\"%2\">Latest</a> <a href=\"/about\">About</a> "
        "<a href=\"/store\">Store</a><div class=\"archive\">%3</div></body></html>")
        .arg(chapters.empty() ? QString() : chapters.front().url,
             chapters.empty() ? QString() : chapters.back().url, links));
    return;
  }
}

QString LinkSearchListPage(int chapters) {
  QString html = QStringLiteral(
      "<!DOCTYPE html><html><head><title>All chapters</title></head><body>"
      "<script>alert('Welcome!');</script>"
      "<div id='nav'><a href='/'>Home</a> | <a href='/about.html'>About</a></div><ol>");
  for (int i = 1; i <= chapters; ++i)
    html += QStringLiteral("<li><a href='/ch/%1.html'>Part %1</a></li>").arg(i);
  html += QStringLiteral(
      "</ol><p><a href='mailto:admin@example.com'>Contact</a></p>"
      "<a href='/ch/41.html' target='_blank'>Chapter 41</a>"
      "<a href='/ch/42.html' onclick=\"location.href='/ch/42-first.html'; return false;\">Chapter 42</a>"
      "<a href='/ch/46.html' onclick=\"location.href='/ch/46-first.html'\">Chapter 46</a>"
      "<a href='/ch/1.html'><img src='/cover.png' alt=''></a>"
      "<a href='javascript:void(0)'>Does nothing</a>"
      "<a href='#' onclick='return false'>Also nothing</a>"
      "<a href='#' onclick='Fav.add(this)'>Bookmark</a>"
      "<a href='/ch/43.html'>../../etc</a>"
      "<a href='/ch/44.html'>a/b</a>"
      "<a href='/ch/45.html' onclick=\"alert('Leaving')\">Chapter\n   45</a>"
      "</body></html>");
  return html;
}

} // namespace testing_support
