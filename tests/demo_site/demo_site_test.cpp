// The demo comic site: every page is consistent with itself and its neighbours, the page
// image is the first picture big enough to be one, and the program serves on loopback and
// ends when told.
#include "tools/demo_site/comic_site.h"
#include "tools/demo_site/demo_site_server.h"

#include "test_support.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

namespace {

using demo_site::ComicSite;

const QString kBase = QStringLiteral("http://127.0.0.1:8123");

/// Every value of `attribute`="..." in document order.
QStringList Attributes(const QString& html, const QString& attribute) {
  QStringList values;
  const QRegularExpression pattern(QStringLiteral("\\b%1=\"([^\"]*)\"").arg(attribute));
  for (const auto& match : pattern.globalMatch(html)) values << match.captured(1);
  return values;
}

/// `link` as a site path, seen from the page at `pagePath`.
QString Resolve(const QString& pagePath, const QString& link) {
  return QUrl(kBase + pagePath).resolved(QUrl(link)).path();
}

QString Html(const ComicSite& site, const QString& path) {
  const demo_site::Resource* resource = site.Find(path);
  return resource ? QString::fromUtf8(resource->body) : QString();
}

/// The text of the page without tags, as a browser would roughly show it.
QString Text(const QString& html) {
  QString text = html;
  text.remove(QRegularExpression(QStringLiteral("<style>.*</style>")));
  return text.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
}

class DemoSite : public ::testing::Test {
protected:
  static void SetUpTestSuite() { site = new ComicSite(kBase); }
  static void TearDownTestSuite() { delete site; site = nullptr; }
  static ComicSite* site;
};
ComicSite* DemoSite::site = nullptr;

TEST_F(DemoSite, EveryLinkAndImageOfEveryPageIsServed) {
  int pages = 0;
  for (const QString& path : site->Paths()) {
    if (!site->Find(path)->contentType.startsWith("text/html")) continue;
    ++pages;
    const QString html = Html(*site, path);
    for (const QString& link : Attributes(html, QStringLiteral("href")) + Attributes(html, QStringLiteral("src"))) {
      if (link.startsWith(QLatin1String("mailto:")) || link == QLatin1String("#")) continue;
      EXPECT_NE(site->Find(Resolve(path, link)), nullptr) << qPrintable(path) << " -> " << qPrintable(link);
    }
  }
  EXPECT_EQ(pages, 2 + 12 + 10 + 3);
}

TEST_F(DemoSite, ChapterOnePagesChooseTheirPageFromASelectThatCountsFromOne) {
  for (int page = 1; page <= 12; ++page) {
    const QString path = ComicSite::PagePath(1, page);
    const QString html = Html(*site, path);
    SCOPED_TRACE(path.toStdString());
    EXPECT_TRUE(html.contains(QLatin1String("onchange=\"window.location.href=this.options[this.selectedIndex].value;\"")));
    EXPECT_TRUE(Text(html).contains(QStringLiteral("共 12 页")));
    const QRegularExpression option(QStringLiteral("<option value=\"([^\"]*)\"( selected)?>([^<]*)</option>"));
    int index = 0;
    for (const auto& match : option.globalMatch(html)) {
      ++index;
      EXPECT_EQ(Resolve(path, match.captured(1)), ComicSite::PagePath(1, index));
      EXPECT_TRUE(match.captured(3).remove(QLatin1Char(' ')).contains(QString::number(index)));
      EXPECT_EQ(!match.captured(2).isEmpty(), index == page);
    }
    EXPECT_EQ(index, 12);
  }
}

TEST_F(DemoSite, ChapterTwoPagesLinkToTheirNeighboursAndStateTheirPlace) {
  const QRegularExpression prev(QStringLiteral("<a href=\"([^\"]*)\">上一页</a>"));
  const QRegularExpression next(QStringLiteral("<a href=\"([^\"]*)\">下一页</a>"));
  for (int page = 1; page <= 10; ++page) {
    const QString path = ComicSite::PagePath(2, page);
    const QString html = Html(*site, path);
    SCOPED_TRACE(path.toStdString());
    EXPECT_TRUE(Text(html).contains(QStringLiteral("第 %1 页 共 10 页").arg(page)));
    EXPECT_FALSE(html.contains(QLatin1String("<select")));
    const QString wantNext = page < 10 ? ComicSite::PagePath(2, page + 1) : QStringLiteral("/comic/");
    const QString wantPrev = page > 1 ? ComicSite::PagePath(2, page - 1) : QStringLiteral("/comic/");
    int links = 0;
    for (const auto& match : next.globalMatch(html)) {
      EXPECT_EQ(Resolve(path, match.captured(1)), wantNext);
      ++links;
    }
    for (const auto& match : prev.globalMatch(html)) EXPECT_EQ(Resolve(path, match.captured(1)), wantPrev);
    EXPECT_GE(links, 2); // the bars above and below the picture
  }
}

TEST_F(DemoSite, PageImageIsTheFirstPictureOfAtLeast301By401AndDiffersFromPageToPage) {
  QSet<QByteArray> seen;
  for (const demo_site::Chapter& chapter : ComicSite::kChapters) {
    for (int page = 1; page <= chapter.pageCount; ++page) {
      const QString path = ComicSite::PagePath(chapter.number, page);
      SCOPED_TRACE(path.toStdString());
      QString chosen;
      int decorations = 0;
      for (const QString& src : Attributes(Html(*site, path), QStringLiteral("src"))) {
        const demo_site::Resource* resource = site->Find(Resolve(path, src));
        ASSERT_NE(resource, nullptr);
        const QImage image = QImage::fromData(resource->body);
        ASSERT_FALSE(image.isNull()) << qPrintable(src);
        if (image.width() >= 301 && image.height() >= 401) {
          chosen = Resolve(path, src);
          EXPECT_GE(image.width(), 600);
          EXPECT_GE(image.height(), 850);
          break;
        }
        ++decorations;
      }
      EXPECT_EQ(chosen, ComicSite::ImagePath(chapter.number, page));
      EXPECT_EQ(decorations, 3); // logo, banner (wide), side advert (tall)
      const QByteArray bytes = site->Find(chosen)->body;
      const bool jpeg = QByteArray(chapter.imageType) == "jpg";
      EXPECT_TRUE(bytes.startsWith(jpeg ? QByteArray("\xFF\xD8\xFF") : QByteArray("\x89PNG")));
      EXPECT_FALSE(seen.contains(bytes));
      seen.insert(bytes);
    }
  }
}

TEST_F(DemoSite, ChapterListOffersBothChaptersSiteLinksAndLinksASearchSkips) {
  const QString html = Html(*site, QStringLiteral("/comic/"));
  EXPECT_TRUE(html.contains(QStringLiteral("<a href=\"/comic/ch1/1.html\">第1话 初遇</a>")));
  EXPECT_TRUE(html.contains(QStringLiteral("<a href=\"/comic/ch2/1.html\">第2话 远行</a>")));
  EXPECT_TRUE(html.contains(QLatin1String("href=\"mailto:")));
  EXPECT_TRUE(html.contains(QLatin1String("favorites.add(")));
  EXPECT_GE(Attributes(html, QStringLiteral("href")).size(), 8);
}

TEST_F(DemoSite, NewsDocumentIsUtf16IniPointingBackAtTheSite) {
  const QByteArray bytes = site->Find(QStringLiteral("/cn/comic/ad/"))->body;
  ASSERT_TRUE(bytes.startsWith("\xFF\xFE"));
  const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                                          (bytes.size() - 2) / 2);
  EXPECT_TRUE(text.startsWith(QLatin1String("[app]\r\nt=")));
  EXPECT_TRUE(text.contains(QStringLiteral("[0]\r\nt=演示漫画第2话已更新\r\nu=%1/comic/ch2/1.html\r\n").arg(kBase)));
  EXPECT_TRUE(text.contains(QStringLiteral("[1]\r\n")));
}

TEST(DemoSiteServer, ServesTheSiteOnLoopbackAndAnswers404ForTheRest) {
  demo_site::DemoSiteServer server;
  const int port = server.Bind();
  ASSERT_GT(port, 0);
  EXPECT_EQ(server.BaseUrl(), QStringLiteral("http://127.0.0.1:%1/").arg(port));
  server.Start();
  httplib::Client client("127.0.0.1", port);
  const auto list = client.Get("/comic/");
  ASSERT_TRUE(list);
  EXPECT_EQ(list->status, 200);
  EXPECT_EQ(list->body, Html(server.Site(), QStringLiteral("/comic/")).toStdString());
  const auto image = client.Get("/comic/ch2/img/010.jpg");
  ASSERT_TRUE(image);
  EXPECT_EQ(image->get_header_value("Content-Type"), "image/jpeg");
  EXPECT_FALSE(QImage::fromData(QByteArray::fromStdString(image->body)).isNull());
  const auto missing = client.Get("/comic/ch1/13.html");
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->status, 404);
  // The news addresses name the port the site really has.
  const QByteArray news = server.Site().NewsDocument();
  const QString newsText = QString::fromUtf16(
      reinterpret_cast<const char16_t*>(news.constData() + 2), (news.size() - 2) / 2);
  EXPECT_TRUE(newsText.contains(QStringLiteral("u=http://127.0.0.1:%1/comic/").arg(port)));
}

TEST(DemoSiteProgram, PrintsItsAddressFirstAndEndsWhenStdinCloses) {
  QProcess program;
  program.start(testing_support::AppFolder() + QStringLiteral("folivex-demo-site"),
                {QStringLiteral("--until-stdin-closes")});
  ASSERT_TRUE(program.waitForStarted(10000));
  ASSERT_TRUE(testing_support::WaitFor([&] { return program.canReadLine(); }, 20000));
  const QString first = QString::fromUtf8(program.readLine()).trimmed();
  const QRegularExpressionMatch match =
      QRegularExpression(QStringLiteral("^http://127\\.0\\.0\\.1:(\\d+)/$")).match(first);
  ASSERT_TRUE(match.hasMatch()) << qPrintable(first);
  const int port = match.captured(1).toInt();

  const auto page = httplib::Client("127.0.0.1", port).Get("/comic/ch1/3.html");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);

  // A second instance on the same port cannot listen and says so.
  QProcess second;
  second.start(testing_support::AppFolder() + QStringLiteral("folivex-demo-site"),
               {QStringLiteral("--port"), QString::number(port)});
  EXPECT_TRUE(second.waitForFinished(20000));
  EXPECT_EQ(second.exitCode(), 1);
  if (second.state() != QProcess::NotRunning) {
    second.kill();
    second.waitForFinished();
  }

  program.closeWriteChannel();
  EXPECT_TRUE(program.waitForFinished(10000));
  EXPECT_EQ(program.exitCode(), 0);
  EXPECT_TRUE(program.readAll().isEmpty()); // nothing but the first line without -v
  if (program.state() != QProcess::NotRunning) {
    program.kill();
    program.waitForFinished();
  }
}

} // namespace
