// The monitor view inside the real host window, with pages from a browser in memory, images
// from a local server and an engine host that records the reports.
#include "common/library_init.h"
#include "common/protocol.h"
#include "engine/engine_window.h"
#include "engine/monitor_view.h"
#include "fake_browser.h"
#include "fake_engine_host.h"
#include "image_bytes.h"
#include "local_site.h"
#include "test_support.h"

#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>

using testing_support::FakeBrowser;
using testing_support::FakeDocument;
using testing_support::FakeElement;
using testing_support::FakeEngineHost;
using testing_support::LocalSite;
using testing_support::MakeImageBytes;
using testing_support::Sandbox;
using testing_support::WaitFor;

namespace {

const QString kNext = QStringLiteral(u"下一页");

class MonitorViewTest : public ::testing::Test {
protected:
  MonitorViewTest() {
    host_.browser = &browser_;
    host_.folder = sandbox_.path() + QStringLiteral("/");
    prefix_ = QStringLiteral("/%1/").arg(
        QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  }

  QString PageUrl(int page) const { return site_.Url(prefix_ + QStringLiteral("p%1.html").arg(page)); }
  QString ImagePath(int page, int n = 0) const {
    return prefix_ + QStringLiteral("i%1_%2.png").arg(page).arg(n);
  }

  // A page with one image of the given size, a next-page link and its page count.
  std::shared_ptr<FakeDocument> AddPage(int page, int total, int width = 400, int height = 500,
                                        bool linked = true) {
    auto doc = browser_.AddPage(PageUrl(page));
    doc->pageTitle = QStringLiteral("Chapter 1");
    doc->pageText = QStringLiteral(u"共 %1 页").arg(total);
    AddImage(doc, page, 0, width, height);
    browser_.LinkTo(doc->AddAnchor(kNext), doc, linked ? PageUrl(page + 1) : QString());
    return doc;
  }
  void AddImage(const std::shared_ptr<FakeDocument>& doc, int page, int n, int width, int height) {
    const QByteArray bytes = MakeImageBytes(width, height, "PNG", page * 10 + n);
    images_[ImagePath(page, n)] = bytes;
    site_.Add(ImagePath(page, n), bytes, "image/png");
    doc->AddImage(site_.Url(ImagePath(page, n)));
  }

  void Start(int page = 1) { dialog_.StartPageView(PageUrl(page), page); }

  // The front-end's answer to the chapter's last page and to a stall, given while the view
  // waits in its report.
  void QuitOnLastPageOrStall(int last) {
    host_.onReport = [this, last](const common::EngineReport& report) {
      const auto* saved = std::get_if<common::PageSavedReport>(&report);
      if ((saved && saved->page >= last) || std::holds_alternative<common::StallReport>(report))
        QuitEngine();
    };
  }
  void QuitEngine() { platform::SendMessage(dialog_.Handle(), protocol::WM_APP_ENGINE_QUIT, 0, 0); }

  std::vector<common::PageSavedReport> Saved() const {
    return host_.ReportsOf<common::PageSavedReport>();
  }
  std::size_t Stalls() const { return host_.ReportsOf<common::StallReport>().size(); }
  QByteArray SavedFile(const QString& name) const {
    return testing_support::ReadBytes(sandbox_.file(name));
  }

  CurlGlobal curl_; // image downloads and decoding, as the engine process has them
  ImageLibraryInit magick_;
  Sandbox sandbox_;
  LocalSite site_;
  FakeBrowser browser_;
  FakeEngineHost host_;
  CEngineWindow dialog_{host_}; // after the browser and host: its views go first
  QString prefix_;
  std::map<QString, QByteArray> images_;
};

} // namespace

TEST_F(MonitorViewTest, WalksTheChapterSavingEveryPageOnceAndEndsOnQuit) {
  constexpr int kPages = 3;
  for (int page = 1; page <= kPages; ++page) AddPage(page, kPages);
  QuitOnLastPageOrStall(kPages);
  browser_.userAgent = QStringLiteral("Walker/2.0");
  Start();
  ASSERT_TRUE(WaitFor([&] { return dialog_.Destroyed(); }, 20000));

  // Images are asked for as the browser that shows the pages would ask.
  for (const auto& request : site_.Requests()) EXPECT_EQ(request.Header("User-Agent"), "Walker/2.0");
  const auto saved = Saved();
  ASSERT_EQ(saved.size(), std::size_t(kPages));
  for (int page = 1; page <= kPages; ++page) {
    EXPECT_EQ(saved[page - 1], (common::PageSavedReport{42, page, PageUrl(page)}));
    EXPECT_EQ(SavedFile(QStringLiteral("%1.png").arg(page, 3, 10, QLatin1Char('0'))),
              images_[ImagePath(page)]);
    EXPECT_EQ(site_.RequestCount(ImagePath(page)), 1);
  }
  EXPECT_EQ(Stalls(), 0u);
  const auto info = host_.ReportsOf<common::PageInfoReport>();
  ASSERT_FALSE(info.empty());
  EXPECT_EQ(info.front(), (common::PageInfoReport{42, "Chapter 1", 3}));
  EXPECT_EQ(dialog_.ViewCount(), 0);
  EXPECT_TRUE(browser_.views.empty());
  EXPECT_EQ(browser_.createdViews, kPages);
}

TEST_F(MonitorViewTest, SmallDecoyAtCompletionIsReplacedByTheImageAScriptPutsInLater) {
  // The early look at completion finds only a small decoy; the page image that takes its
  // place afterwards is still the one saved.
  auto first = browser_.AddPage(PageUrl(1));
  first->pageText = QStringLiteral(u"共 2 页");
  AddImage(first, 1, 0, 200, 300);
  FakeElement& image = *first->elements.back();
  browser_.LinkTo(first->AddAnchor(kNext), first, PageUrl(2));
  const QByteArray real = MakeImageBytes(400, 500, "PNG", 77);
  site_.Add(prefix_ + QStringLiteral("real.png"), real, "image/png");
  AddPage(2, 2);
  QuitOnLastPageOrStall(2);
  Start();
  ASSERT_TRUE(WaitFor([&] { return site_.RequestCount(ImagePath(1)) == 1; }, 10000));
  EXPECT_TRUE(Saved().empty());
  image.src = site_.Url(prefix_ + QStringLiteral("real.png"));
  ASSERT_TRUE(WaitFor([&] { return dialog_.Destroyed(); }, 15000));
  ASSERT_EQ(Saved().size(), 2u);
  EXPECT_EQ(SavedFile("001.png"), real);
  EXPECT_EQ(SavedFile("002.png"), images_[ImagePath(2)]);
  EXPECT_EQ(site_.RequestCount(ImagePath(1)), 1); // the decoy is not fetched again
  EXPECT_EQ(Stalls(), 0u);
}

TEST_F(MonitorViewTest, LastPageTriesNoJumpAndSendsNoStall) {
  AddPage(1, 2);
  AddPage(2, 2);
  Start();
  ASSERT_TRUE(WaitFor([&] { return Saved().size() == 2; }, 20000));
  // The last view posted its own deletion; nothing follows its page-saved report.
  ASSERT_TRUE(WaitFor([&] { return dialog_.ViewCount() == 0; }, 5000));
  EXPECT_FALSE(WaitFor([&] { return Stalls() > 0; }, 1200));
  EXPECT_EQ(browser_.createdViews, 2);
}

TEST_F(MonitorViewTest, JumpThatStartsNoNavigationIsAStall) {
  AddPage(1, 5, 400, 500, /*linked=*/false);
  QuitOnLastPageOrStall(5);
  Start();
  ASSERT_TRUE(WaitFor([&] { return dialog_.Destroyed(); }, 20000));
  ASSERT_EQ(Saved().size(), 1u);
  ASSERT_GE(host_.reports.size(), 2u);
  EXPECT_EQ(host_.reports.back(), common::EngineReport(common::StallReport{42}));
  // Why, right before it: no way on, or, when the unchanged page counts as turned in place,
  // no image on the page it turned to.
  const auto* why = std::get_if<common::FailureReport>(&host_.reports[host_.reports.size() - 2]);
  ASSERT_NE(why, nullptr);
  EXPECT_TRUE(why->reason == common::FailureReason::NoNextPage ||
              why->reason == common::FailureReason::NoPageImage)
      << common::FailureReasonName(why->reason).toStdString();
  EXPECT_EQ(browser_.createdViews, 1);
}

TEST_F(MonitorViewTest, PageWithoutStrategyAndOneLargeImageStallsAfterTheQuiet) {
  auto doc = browser_.AddPage(PageUrl(1));
  doc->pageText = QStringLiteral(u"共 5 页"); // a count, but no control to reach page 2
  AddImage(doc, 1, 0, 400, 500);
  QuitOnLastPageOrStall(5);
  QElapsedTimer clock;
  clock.start();
  Start();
  ASSERT_TRUE(WaitFor([&] { return Stalls() == 1; }, 15000));
  EXPECT_GE(clock.elapsed(), 4000); // whole seconds: at least 4 s after the completion
  EXPECT_TRUE(Saved().empty());
  EXPECT_EQ(host_.ReportsOf<common::FailureReport>(),
            (std::vector{common::FailureReport{42, common::FailureReason::NoNextPage, {}}}));
  // Looked at once, at the last chance: one page image is no long strip.
  EXPECT_EQ(site_.RequestCount(ImagePath(1)), 1);
  for (const auto& info : host_.ReportsOf<common::PageInfoReport>()) EXPECT_EQ(info.total, 0);
}

TEST_F(MonitorViewTest, SmallImagesSaveTheTallestAfterTheQuietAndTheWalkGoesOn) {
  auto first = AddPage(1, 2, 250, 300);
  AddImage(first, 1, 1, 200, 350); // the tallest small one
  AddImage(first, 1, 2, 900, 350); // as tall, but later: stays out
  AddPage(2, 2);
  QuitOnLastPageOrStall(2);
  Start();
  ASSERT_TRUE(WaitFor([&] { return !Saved().empty(); }, 15000));
  EXPECT_EQ(SavedFile("001.png"), images_[ImagePath(1, 1)]);
  ASSERT_TRUE(WaitFor([&] { return dialog_.Destroyed(); }, 15000));
  ASSERT_EQ(Saved().size(), 2u);
  EXPECT_EQ(SavedFile("002.png"), images_[ImagePath(2, 0)]);
  EXPECT_EQ(Stalls(), 0u);
}

TEST_F(MonitorViewTest, LastChanceGoesOnByTheCountItReportedBeforeTheSave) {
  // The front-end ends a chapter by the count reported before each saved page; at the last
  // chance the engine must go on by that same count, even if the page changes it meanwhile.
  auto first = AddPage(1, 2, 250, 300); // only a candidate: saved at the last chance
  AddPage(2, 2);
  host_.onReport = [this, first](const common::EngineReport& report) {
    const auto* saved = std::get_if<common::PageSavedReport>(&report);
    if (saved && saved->page == 1) first->pageText = QStringLiteral(u"共 1 页");
    if ((saved && saved->page == 2) || std::holds_alternative<common::StallReport>(report))
      QuitEngine();
  };
  Start();
  ASSERT_TRUE(WaitFor([&] { return dialog_.Destroyed(); }, 20000));
  ASSERT_EQ(Saved().size(), 2u);
  EXPECT_EQ(Stalls(), 0u);
  // Just before page 1 was saved, the count it went on by.
  const auto saved = std::find(host_.reports.begin(), host_.reports.end(),
                               common::EngineReport(common::PageSavedReport{42, 1, PageUrl(1)}));
  ASSERT_NE(saved, host_.reports.begin());
  EXPECT_EQ(*std::prev(saved), common::EngineReport(common::PageInfoReport{42, "Chapter 1", 2}));
}

TEST_F(MonitorViewTest, QuitWhileWaitingStopsTheViewAndRemovesItsTemporaryFiles) {
  auto doc = AddPage(1, 3, 200, 300); // only a candidate: the view keeps waiting
  browser_.completePages = false;    // and never gets its quiet countdown
  Start();
  ASSERT_TRUE(WaitFor([&] { return site_.RequestCount(ImagePath(1)) == 1; }, 10000));
  ASSERT_EQ(browser_.views.size(), 1u);
  auto* view = dynamic_cast<CMonitorView*>(browser_.views.front()->events);
  ASSERT_NE(view, nullptr);
  const QStringList temporary = view->TemporaryFiles();
  ASSERT_EQ(temporary.size(), 1);
  EXPECT_TRUE(QFile::exists(temporary.front()));

  QuitEngine();
  EXPECT_EQ(dialog_.ViewCount(), 0);
  EXPECT_FALSE(QFile::exists(temporary.front()));
  const std::size_t reports = host_.reports.size();
  EXPECT_FALSE(WaitFor([&] { return host_.reports.size() > reports; }, 1200));
}

TEST_F(MonitorViewTest, FailedCopyIsReportedAsAStallNotAsSaved) {
  AddPage(1, 3);
  AddPage(2, 3);
  QuitOnLastPageOrStall(3);
  host_.folder = sandbox_.path() + QStringLiteral("/no such folder/");
  Start();
  ASSERT_TRUE(WaitFor([&] { return dialog_.Destroyed(); }, 15000));
  EXPECT_TRUE(Saved().empty());
  EXPECT_EQ(Stalls(), 1u);
  const auto failures = host_.ReportsOf<common::FailureReport>();
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].reason, common::FailureReason::FolderNotWritable);
  EXPECT_EQ(browser_.createdViews, 1); // no jump after a page that was not saved
}

TEST(PageTrouble, ThePagesOwnAnswerExplainsAStallFirst) {
  using common::FailureReason;
  using engine::CPageTrouble;
  const struct {
    const char* error;
    FailureReason reason;
    const char* detail;
  } loads[] = {
      {"net::ERR_PROXY_CONNECTION_FAILED", FailureReason::ProxyNoAnswer, "net::ERR_PROXY_CONNECTION_FAILED"},
      {"net::ERR_TUNNEL_CONNECTION_FAILED", FailureReason::ProxyNoAnswer, "net::ERR_TUNNEL_CONNECTION_FAILED"},
      {"net::ERR_CONNECTION_REFUSED", FailureReason::SiteRefused, ""},
      {"net::ERR_NAME_NOT_RESOLVED", FailureReason::SiteNotFound, ""},
      {"net::ERR_CONNECTION_TIMED_OUT", FailureReason::SiteTimedOut, ""},
      {"net::ERR_CERT_AUTHORITY_INVALID", FailureReason::SiteNoAnswer, "net::ERR_CERT_AUTHORITY_INVALID"},
  };
  for (const auto& load : loads) {
    SCOPED_TRACE(load.error);
    EXPECT_EQ(CPageTrouble::FailureOfLoadError(load.error),
              (common::FailureReport{0, load.reason, QString::fromLatin1(load.detail)}));
  }

  const common::FailureReport fetch{0, FailureReason::ImageRedirects, {}};
  CPageTrouble trouble;
  EXPECT_EQ(trouble.Reason(FailureReason::NoPageImage, std::nullopt).reason, FailureReason::NoPageImage);
  EXPECT_EQ(trouble.Reason(FailureReason::NoPageImage, fetch), fetch);
  trouble.PageAnswered(404, true);
  EXPECT_EQ(trouble.Reason(FailureReason::NoPageImage, fetch),
            (common::FailureReport{0, FailureReason::HttpError, "404"}));
  trouble.PageAnswered(200, false); // a script moved on, to something that is no page
  EXPECT_EQ(trouble.Reason(FailureReason::NoPageImage, fetch).reason, FailureReason::NotWebPage);
  trouble.PageAnswered(200, true); // and on again, to a page: nothing is wrong with it
  EXPECT_EQ(trouble.Reason(FailureReason::NoNextPage, std::nullopt).reason, FailureReason::NoNextPage);
  trouble.PageLoadFailed("net::ERR_CONNECTION_REFUSED");
  trouble.PageAnswered(0, false); // no answer at all says nothing over the error's name
  EXPECT_EQ(trouble.Reason(FailureReason::NoPageImage, fetch).reason, FailureReason::SiteRefused);
}
