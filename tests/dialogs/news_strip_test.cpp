// The news strip: reading the news document, rotation and scrolling, the download from the
// configured site with its growing retry delay, and the site address itself.
#include "dialog_fixture.h"
#include "gui/site_address.h"
#include "gui/news_strip.h"
#include "local_site.h"

#include <QTest>

using dialog_tests::DialogTest;
using testing_support::LocalSite;
using testing_support::WaitFor;

namespace {

class NewsStrip : public DialogTest {
protected:
  /// Writes a news document and reads it back.
  int Read(const QByteArray& document, QList<CNewsStrip::NewsItem>& items) {
    const QString path = sandbox.file("news.ini");
    EXPECT_TRUE(testing_support::WriteBytes(path, document));
    return CNewsStrip::ReadNewsFile(path, items);
  }
  void ConfigureSite(const QByteArray& host) {
    ASSERT_TRUE(testing_support::WriteBytes(sandbox.file("site.ini"), "[app]\nhost=" + host + "\n"));
  }
};

QByteArray Utf16Le(const QString& text) {
  QByteArray bytes("\xFF\xFE", 2);
  bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
  return bytes;
}

} // namespace

TEST_F(NewsStrip, IntervalIsClampedBetweenFiveAndSixtySeconds) {
  QList<CNewsStrip::NewsItem> items;
  EXPECT_EQ(Read("[app]\nt=100\n", items), 5000);
  EXPECT_EQ(Read("[app]\nt=90000\n", items), 60000);
  EXPECT_EQ(Read("[app]\nt=30000\n", items), 30000);
  EXPECT_EQ(Read("[app]\nt=59999\n", items), 59999);
  EXPECT_EQ(Read("[app]\nt=60000\n", items), 60000);
  EXPECT_EQ(Read("[app]\nt=-70000\n", items), 5000);
  EXPECT_EQ(Read("[app]\nt=4294997296\n", items), 30000); // low 32 bits
  EXPECT_EQ(Read("[0]\nt=a\n", items), 5000);
  EXPECT_EQ(Read("[app]\nt=soon\n", items), 5000);
}

TEST_F(NewsStrip, ItemsStopAtTheFirstGapAndOnlyWebAddressesCount) {
  QList<CNewsStrip::NewsItem> items;
  Read("[0]\nt=first\nu=http://a/1\n[1]\nt=second\nu=https://a/2\n[3]\nt=fourth\nu=http://a/4\n",
       items);
  EXPECT_EQ(items, (QList<CNewsStrip::NewsItem>{{"first", "http://a/1"}, {"second", "https://a/2"}}));

  Read("[0]\nt=first\nu=\n[1]\nt=second\nu=http://a/2\n", items);
  EXPECT_TRUE(items.isEmpty());

  Read("[0]\nt=run me\nu=file:///usr/bin/xterm\n[1]\nt=news\nu=HTTP://a/2\n", items);
  EXPECT_EQ(items, (QList<CNewsStrip::NewsItem>{{"news", "HTTP://a/2"}}));

  Read(Utf16Le("[app]\r\nt=20000\r\n[0]\r\nt=\u65b0\u95fb\r\nu=http://a/1\r\n"), items);
  EXPECT_EQ(items, (QList<CNewsStrip::NewsItem>{{QString::fromUtf8("\u65b0\u95fb"), "http://a/1"}}));
}

TEST_F(NewsStrip, RetryDelayDoublesFromThirtySecondsUpToAnHour) {
  EXPECT_EQ(CNewsStrip::RetryDelayMs(1), 30000);
  EXPECT_EQ(CNewsStrip::RetryDelayMs(2), 60000);
  EXPECT_EQ(CNewsStrip::RetryDelayMs(3), 120000);
  EXPECT_EQ(CNewsStrip::RetryDelayMs(7), 1920000);
  EXPECT_EQ(CNewsStrip::RetryDelayMs(8), 3600000);
  EXPECT_EQ(CNewsStrip::RetryDelayMs(1000), 3600000);
}

TEST_F(NewsStrip, OneItemStaysTwoItemsSwapWithATenStepScroll) {
  CNewsStrip strip;
  strip.resize(200, 20);
  strip.show();
  strip.SetNews({{"only", "http://a/1"}}, 60000);
  EXPECT_TRUE(strip.IsTimerRunning());
  strip.OnTimerNotify(); // the rotation tick
  EXPECT_EQ(strip.Scroll(), nullptr);

  strip.SetNews({{"one", "http://a/1"}, {"two", "http://a/2"}}, 60000);
  strip.OnTimerNotify();
  ASSERT_NE(strip.Scroll(), nullptr);
  EXPECT_EQ(strip.Scroll()->OldItem().text, "one");
  EXPECT_EQ(strip.Scroll()->NewItem().text, "two");
  EXPECT_EQ(strip.Items().first().text, "two");
  strip.OnTimerNotify(); // a tick during the scroll changes nothing
  EXPECT_EQ(strip.Items().first().text, "two");
  // The scroll ends with the paint after its tenth step.
  ASSERT_TRUE(WaitFor([&] { return strip.Scroll() == nullptr; }, 3000));
  EXPECT_EQ(strip.Items().first().text, "two");
  EXPECT_EQ(strip.Items().last().text, "one");
}

TEST_F(NewsStrip, ClickOpensTheFirstItem) {
  CNewsStrip strip;
  strip.resize(200, 20);
  strip.show();
  QTest::mouseClick(&strip, Qt::LeftButton);
  EXPECT_TRUE(opener.opened.isEmpty());
  strip.SetNews({{"one", "http://a/1"}, {"two", "http://a/2"}}, 60000);
  QTest::mouseClick(&strip, Qt::LeftButton);
  EXPECT_EQ(opener.opened, QStringList{"http://a/1"});
}

TEST_F(NewsStrip, DownloadsTheNewsFromTheConfiguredSite) {
  LocalSite site;
  site.Add("/cn/comic/ad/", "[app]\nt=20000\n[0]\nt=hello\nu=http://a/1\n", "text/plain");
  ConfigureSite(QStringLiteral("127.0.0.1:%1").arg(site.Port()).toUtf8());
  CNewsStrip strip;
  ASSERT_TRUE(strip.Create());
  ASSERT_TRUE(WaitFor([&] { return !strip.Items().isEmpty(); }, 10000));
  EXPECT_EQ(strip.Items().first().text, "hello");
  EXPECT_EQ(strip.IntervalMs(), 20000);
  EXPECT_TRUE(strip.IsTimerRunning());
  EXPECT_FALSE(strip.IsRetryPending());
  EXPECT_EQ(site.RequestCount("/cn/comic/ad/"), 1);
}

TEST_F(NewsStrip, FailedDownloadWaitsBeforeTryingAgain) {
  LocalSite site;
  site.Add("/cn/comic/ad/", "not a news list", "text/plain");
  ConfigureSite(QStringLiteral("http://127.0.0.1:%1/").arg(site.Port()).toUtf8());
  CNewsStrip strip;
  ASSERT_TRUE(strip.Create());
  ASSERT_TRUE(WaitFor([&] { return strip.Failures() == 1; }, 10000));
  EXPECT_TRUE(strip.IsRetryPending());
  QTest::qWait(1000);
  EXPECT_EQ(site.RequestCount("/cn/comic/ad/"), 1);
  EXPECT_TRUE(strip.Items().isEmpty());
}

TEST_F(NewsStrip, MissingNewsFileEndsTheDownloadsForGood) {
  LocalSite site; // nothing registered: 404
  ConfigureSite(QStringLiteral("127.0.0.1:%1").arg(site.Port()).toUtf8());
  CNewsStrip strip;
  ASSERT_TRUE(strip.Create());
  ASSERT_TRUE(WaitFor([&] { return site.RequestCount("/cn/comic/ad/") == 1 && strip.DownloadCount() == 0; },
                      10000));
  EXPECT_FALSE(strip.IsRetryPending());
  EXPECT_EQ(strip.Failures(), 0);
}

TEST_F(NewsStrip, WithoutAHostNothingIsDownloadedOrOpened) {
  CNewsStrip strip;
  EXPECT_FALSE(strip.Create());
  EXPECT_EQ(strip.DownloadCount(), 0);
  EXPECT_EQ(dialogs::SiteAddress("/cn/comic/hot.php"), "");
  EXPECT_FALSE(dialogs::OpenSitePage("/cn/comic/help.php"));
  ConfigureSite("");
  EXPECT_FALSE(dialogs::OpenSitePage("/cn/comic/help.php"));
  EXPECT_TRUE(opener.opened.isEmpty());
}

TEST_F(NewsStrip, SiteHostIsAPlainHostOrNothing) {
  ConfigureSite("comics.example");
  EXPECT_EQ(dialogs::SiteAddress("/cn/comic/hot.php"), "http://comics.example/cn/comic/hot.php");
  EXPECT_TRUE(dialogs::OpenSitePage("/cn/comic/help.php"));
  EXPECT_EQ(opener.opened, QStringList{"http://comics.example/cn/comic/help.php"});
  ConfigureSite("https://comics.example:8443/");
  EXPECT_EQ(dialogs::SiteBase(), "https://comics.example:8443");
  for (const char* bad : {"comics.example/path", "comics.example?x=1", "user@comics.example",
                          "ftp://comics.example", "two words"}) {
    ConfigureSite(bad);
    EXPECT_EQ(dialogs::SiteBase(), "") << bad;
  }
}
