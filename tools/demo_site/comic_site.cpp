#include "tools/demo_site/comic_site.h"

#include "tools/demo_site/page_painter.h"

namespace demo_site {

const Chapter ComicSite::kChapters[2] = {
    {1, 12, "第1话 初遇", "png"},
    {2, 10, "第2话 远行", "jpg"},
};

namespace {

const char kStyle[] =
    "body{font-family:sans-serif;background:#f4f1ea;margin:0}"
    ".top{background:#333;padding:6px}.top a{color:#fff;margin-right:14px}"
    ".nav{text-align:center;margin:10px}.comic{text-align:center}"
    ".side{float:right;margin:8px}";

// The frame every page shares: logo, site navigation, banner and side advert come before the
// page's own content, as on real reading sites.
QString Frame(const QString& title, const QString& content) {
  return QStringLiteral(
             "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%1</title>"
             "<style>%2</style></head><body>\n"
             "<div class=\"top\"><a href=\"/\"><img src=\"/img/logo.png\" width=\"160\" "
             "height=\"50\" alt=\"logo\"></a>\n"
             "<a href=\"/\">首页</a><a href=\"/comic/\">漫画列表</a><a href=\"/rank.html\">排行榜</a>"
             "<a href=\"/cn/comic/help.php\">帮助</a></div>\n"
             "<div class=\"ad\"><img src=\"/img/banner.png\" width=\"600\" height=\"80\" "
             "alt=\"banner\"></div>\n"
             "<div class=\"side\"><img src=\"/img/side.png\" width=\"120\" height=\"600\" "
             "alt=\"ad\"></div>\n%3\n</body></html>\n")
      .arg(title, QLatin1String(kStyle), content);
}

QString PageImageTag(int chapter, int page, const QString& href) {
  return QStringLiteral("<div class=\"comic\"><a href=\"%1\"><img id=\"comic_page\" src=\"%2\" "
                        "alt=\"page %3\"></a></div>")
      .arg(href, QStringLiteral("img/") + ComicSite::ImagePath(chapter, page).section('/', -1))
      .arg(page);
}

QString PrevNextBar(int page, int count) {
  const QString prev = page > 1 ? QStringLiteral("%1.html").arg(page - 1) : QStringLiteral("../");
  const QString next = page < count ? QStringLiteral("%1.html").arg(page + 1) : QStringLiteral("../");
  return QStringLiteral("<div class=\"nav\"><a href=\"%1\">上一页</a> 第 %2 页 共 %3 页 "
                        "<a href=\"%4\">下一页</a></div>")
      .arg(prev)
      .arg(page)
      .arg(count)
      .arg(next);
}

} // namespace

ComicSite::ComicSite(const QString& base) : base_(base) {
  while (base_.endsWith(QLatin1Char('/'))) base_.chop(1);
  AddHtml(QStringLiteral("/"), HomePage());
  AddHtml(QStringLiteral("/comic/"), ChapterListPage());
  for (int page = 1; page <= kChapters[0].pageCount; ++page)
    AddHtml(PagePath(1, page), ChapterOnePage(page));
  for (int page = 1; page <= kChapters[1].pageCount; ++page)
    AddHtml(PagePath(2, page), ChapterTwoPage(page));
  for (const char* path : {"/rank.html", "/cn/comic/hot.php", "/cn/comic/help.php"})
    AddHtml(QString::fromLatin1(path),
            Frame(QStringLiteral("演示漫画站"),
                  QStringLiteral("<h1>演示漫画站</h1><p>这是一个离线演示站点。</p>"
                                 "<p><a href=\"/comic/\">去看演示漫画</a></p>")));
  Add(QStringLiteral("/cn/comic/ad/"), NewsDocument(), "text/plain; charset=utf-16");
  AddImages();
}

void ComicSite::Add(const QString& path, const QByteArray& body, const QByteArray& type) {
  resources_.insert(path, Resource{body, type});
}

void ComicSite::AddHtml(const QString& path, const QString& html) {
  Add(path, html.toUtf8(), "text/html; charset=utf-8");
}

void ComicSite::AddImages() {
  Add(QStringLiteral("/img/logo.png"), Encode(PaintDecoration({160, 50}, QColor(250, 200, 60), 1), "PNG"),
      "image/png");
  Add(QStringLiteral("/img/banner.png"),
      Encode(PaintDecoration({600, 80}, QColor(120, 190, 240), 2), "PNG"), "image/png");
  Add(QStringLiteral("/img/side.png"),
      Encode(PaintDecoration({120, 600}, QColor(200, 140, 220), 3), "PNG"), "image/png");
  for (const Chapter& chapter : kChapters) {
    const bool jpeg = QByteArray(chapter.imageType) == "jpg";
    for (int page = 1; page <= chapter.pageCount; ++page) {
      const QImage image = PaintComicPage(chapter.number, page, chapter.pageCount);
      Add(ImagePath(chapter.number, page), Encode(image, jpeg ? "JPEG" : "PNG"),
          jpeg ? "image/jpeg" : "image/png");
    }
  }
}

const Resource* ComicSite::Find(const QString& path) const {
  const auto it = resources_.constFind(path);
  return it == resources_.constEnd() ? nullptr : &it.value();
}

QString ComicSite::PagePath(int chapter, int page) {
  return QStringLiteral("/comic/ch%1/%2.html").arg(chapter).arg(page);
}

QString ComicSite::ImagePath(int chapter, int page) {
  const Chapter& c = kChapters[chapter == 2 ? 1 : 0];
  return QStringLiteral("/comic/ch%1/img/%2.%3")
      .arg(chapter)
      .arg(page, 3, 10, QLatin1Char('0'))
      .arg(QLatin1String(c.imageType));
}

QString ComicSite::ChapterOnePage(int page) {
  const int count = kChapters[0].pageCount;
  QString options;
  for (int i = 1; i <= count; ++i)
    options += QStringLiteral("<option value=\"%1.html\"%2>第 %1 页</option>")
                   .arg(i)
                   .arg(i == page ? QStringLiteral(" selected") : QString());
  const QString pager =
      QStringLiteral("<div class=\"nav\">跳转到 <select id=\"page_select\" "
                     "onchange=\"window.location.href=this.options[this.selectedIndex].value;\">"
                     "%1</select> 共 %2 页</div>")
          .arg(options)
          .arg(count);
  const QString next = page < count ? QStringLiteral("%1.html").arg(page + 1) : QStringLiteral("../");
  return Frame(QStringLiteral("演示漫画 第1话 第%1页").arg(page),
               QStringLiteral("<h1>演示漫画 第1话</h1>\n") + pager + QLatin1Char('\n') +
                   PageImageTag(1, page, next));
}

QString ComicSite::ChapterTwoPage(int page) {
  const int count = kChapters[1].pageCount;
  const QString bar = PrevNextBar(page, count);
  const QString next = page < count ? QStringLiteral("%1.html").arg(page + 1) : QStringLiteral("../");
  return Frame(QStringLiteral("演示漫画 第2话 第%1页").arg(page),
               QStringLiteral("<h1>演示漫画 第2话</h1>\n") + bar + QLatin1Char('\n') +
                   PageImageTag(2, page, next) + QLatin1Char('\n') + bar);
}

QString ComicSite::ChapterListPage() {
  QString items;
  for (const Chapter& chapter : kChapters)
    items += QStringLiteral("<li><a href=\"%1\">%2</a></li>\n")
                 .arg(PagePath(chapter.number, 1), QString::fromUtf8(chapter.title));
  return Frame(QStringLiteral("演示漫画 - 章节列表"),
               QStringLiteral("<h1>演示漫画</h1>\n<p>作者：演示 状态：连载中</p>\n"
                              "<ul class=\"chapters\">\n%1</ul>\n"
                              "<p><a href=\"#\" onclick=\"favorites.add(location.href);return "
                              "false;\">收藏本漫画</a> "
                              "<a href=\"mailto:editor@demo.invalid\">联系编辑</a></p>")
                   .arg(items));
}

QString ComicSite::HomePage() {
  return Frame(QStringLiteral("演示漫画站"),
               QStringLiteral("<h1>演示漫画站</h1>\n<p>本站离线运行，仅供演示。</p>\n"
                              "<p><a href=\"/comic/\">演示漫画</a>（2 话）</p>"));
}

QByteArray ComicSite::NewsDocument() const {
  const QString text =
      QStringLiteral("[app]\r\nt=8000\r\n"
                     "[0]\r\nt=演示漫画第2话已更新\r\nu=%1/comic/ch2/1.html\r\n"
                     "[1]\r\nt=演示漫画章节列表\r\nu=%1/comic/\r\n")
          .arg(base_);
  QByteArray bytes("\xFF\xFE", 2);
  bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
  return bytes;
}

} // namespace demo_site
