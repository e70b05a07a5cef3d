// The real Gantrell with its real browser walking whole chapters of a local site, reporting to
// a front-end stand-in that answers as the front-end does. The engines run side by side.
#include "chapter_site.h"
#include "common/library_init.h"
#include "engine/chapter_walk.h"
#include "common/command_file.h"
#include "frontend_stub.h"
#include "image_bytes.h"
#include "test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <csignal>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <memory>
#include <optional>
#include <unistd.h>

using testing_support::AddChapter;
using testing_support::Chapter;
using testing_support::ChapterKind;
using testing_support::EngineProcess;
using testing_support::FrontEndStub;
using testing_support::LocalSite;
using testing_support::Sandbox;
using testing_support::WaitFor;

namespace {

constexpr int kWalkTimeoutMs = 240000; // generous: several browsers on a loaded 2-core machine

// One engine walking one chapter into its own folder.
struct Walk {
  /// Starts at page `start`; with `crashAfter`, the engine is killed while it reports that
  /// page saved, as if it had crashed there; `pageMemory` sets the renderer's memory ceiling.
  Walk(const LocalSite& site, const Chapter& c, std::int32_t id, const Sandbox& sandbox,
       int start = 1, int crashAfter = 0, std::optional<std::int32_t> pageMemory = {})
      : id(id), chapter(c), folder(sandbox.file(QString::number(id)) + QStringLiteral("/")) {
    QDir().mkpath(folder);
    frontEnd.onReport = [this, crashAfter](const common::EngineReport& report) {
      const auto* saved = std::get_if<common::PageSavedReport>(&report);
      if (saved && crashAfter && saved->page == crashAfter) {
        ::kill(engine->pid(), SIGKILL);
        return;
      }
      // As the front-end: the last page completes the task, a stall restarts or fails it;
      // either way the engine is told to quit while it waits in its send.
      if ((saved && saved->page >= chapter.pages) || std::holds_alternative<common::StallReport>(report))
        frontEnd.QuitEngine();
    };
    common::HandOff job;
    job.id = id;
    job.index = start;
    job.url = chapter.PageUrl(site, start);
    job.folder = folder;
    job.pageMemory = pageMemory;
    engine = std::make_unique<EngineProcess>(job, frontEnd);
  }

  template <class Report> std::vector<Report> Reports() const { return frontEnd.ReportsOf<Report>(); }

  std::int32_t id;
  Chapter chapter;
  QString folder;
  FrontEndStub frontEnd;
  std::unique_ptr<EngineProcess> engine;
};

// The reports as one line each in their wire form, for failure messages.
std::string Dump(const FrontEndStub& frontEnd) {
  QString text;
  for (const auto& report : frontEnd.reports)
    text += common::ReportItems(report).join(QLatin1Char('|')) + QLatin1Char('\n');
  for (const QStringList& items : frontEnd.malformed)
    text += QStringLiteral("not a report: ") + items.join(QLatin1Char('|')) + QLatin1Char('\n');
  return text.toStdString();
}

// Sets an environment variable for the engines started while it lives.
struct ScopedVariable {
  ScopedVariable(const char* name, const QString& value) : name(name), old(qgetenv(name)) {
    qputenv(name, value.toLocal8Bit());
  }
  ~ScopedVariable() {
    if (old.isNull()) qunsetenv(name);
    else qputenv(name, old);
  }
  const char* name;
  QByteArray old;
};

// Every page saved in order under its own address, byte for byte, and nothing else.
void ExpectWholeChapter(const LocalSite& site, const Walk& walk) {
  const Chapter& chapter = walk.chapter;
  SCOPED_TRACE(chapter.folder.toStdString());
  const auto saved = walk.Reports<common::PageSavedReport>();
  ASSERT_EQ(saved.size(), std::size_t(chapter.pages)) << Dump(walk.frontEnd);
  EXPECT_TRUE(walk.Reports<common::StallReport>().empty());
  for (int page = 1; page <= chapter.pages; ++page) {
    EXPECT_EQ(saved[page - 1], (common::PageSavedReport{walk.id, page, chapter.PageUrl(site, page)}));
    const QString name = QStringLiteral("%1.jpg").arg(page, 3, 10, QLatin1Char('0'));
    EXPECT_EQ(testing_support::ReadBytes(walk.folder + name), chapter.images[page - 1]) << name.toStdString();
  }
  EXPECT_EQ(QDir(walk.folder).entryList(QDir::Files).size(), chapter.pages);
}

// An engine started on one address that cannot be walked: it reports why and stalls, and
// is told to quit then, as the front-end does.
struct Attempt {
  Attempt(const QString& url, std::int32_t id, const Sandbox& sandbox)
      : folder(sandbox.file(QString::number(id)) + QStringLiteral("/")) {
    QDir().mkpath(folder);
    frontEnd.onReport = [this](const common::EngineReport& report) {
      if (std::holds_alternative<common::StallReport>(report)) frontEnd.QuitEngine();
    };
    common::HandOff job;
    job.id = id;
    job.index = 1;
    job.url = url;
    job.folder = folder;
    engine = std::make_unique<EngineProcess>(job, frontEnd);
  }
  QString folder;
  FrontEndStub frontEnd;
  std::unique_ptr<EngineProcess> engine;
};

bool AllFinished(std::vector<std::unique_ptr<Walk>>& walks) {
  for (auto& walk : walks)
    if (!walk->engine->Finished()) return false;
  return true;
}

class ChapterWalkTest : public ::testing::Test {
protected:
  ImageLibraryInit magick_; // the chapters' pictures are made here
  LocalSite site_;
  Sandbox sandbox_;
};

} // namespace

TEST_F(ChapterWalkTest, EveryKindOfNavigationWalksATwelvePageChapterCompletely) {
  constexpr int kPages = 12;
  const std::pair<ChapterKind, const char*> kinds[] = {
      {ChapterKind::PageList, "/list/"},
      {ChapterKind::NextLinks, "/links/"},
      {ChapterKind::PageBoxButton, "/button/"},
      {ChapterKind::PageBoxEnter, "/enter/"}};
  std::vector<std::unique_ptr<Walk>> walks;
  std::int32_t id = 501;
  for (const auto& [kind, folder] : kinds)
    walks.push_back(std::make_unique<Walk>(site_, AddChapter(site_, folder, kind, kPages), id++, sandbox_));
  ASSERT_TRUE(WaitFor([&] { return AllFinished(walks); }, kWalkTimeoutMs));

  for (const auto& walk : walks) {
    const Chapter& chapter = walk->chapter;
    SCOPED_TRACE(chapter.folder.toStdString());
    EXPECT_EQ(walk->engine->exitCode, 0);
    const auto saved = walk->Reports<common::PageSavedReport>();
    ASSERT_EQ(saved.size(), std::size_t(kPages)) << Dump(walk->frontEnd);
    EXPECT_TRUE(walk->Reports<common::StallReport>().empty());
    EXPECT_TRUE(walk->frontEnd.malformed.empty()) << Dump(walk->frontEnd);
    for (int page = 1; page <= kPages; ++page) {
      const common::PageSavedReport expected{walk->id, page, chapter.PageUrl(site_, page)};
      EXPECT_EQ(saved[page - 1], expected);
      const QString name = QStringLiteral("%1.jpg").arg(page, 3, 10, QLatin1Char('0'));
      EXPECT_EQ(testing_support::ReadBytes(walk->folder + name), chapter.images[page - 1]) << name.toStdString();
      EXPECT_EQ(site_.RequestCount(chapter.ImagePath(page)), 1) << page;
      // The view that caught the next page's navigation never loads that page itself.
      EXPECT_EQ(site_.RequestCount(chapter.folder + QStringLiteral("p%1.html").arg(page)), 1) << page;
    }
    EXPECT_EQ(QDir(walk->folder).entryList(QDir::Files).size(), kPages);
    // Each page-saved report follows the page-info report of the same scan.
    const auto& reports = walk->frontEnd.reports;
    ASSERT_FALSE(reports.empty());
    EXPECT_TRUE(std::holds_alternative<common::PageInfoReport>(reports.front()));
    for (std::size_t i = 1; i < reports.size(); ++i) {
      const auto* page = std::get_if<common::PageSavedReport>(&reports[i]);
      if (!page) continue;
      const auto* info = std::get_if<common::PageInfoReport>(&reports[i - 1]);
      ASSERT_NE(info, nullptr) << Dump(walk->frontEnd);
      EXPECT_EQ(*info, (common::PageInfoReport{walk->id, QStringLiteral("Test comic %1").arg(page->page), kPages}));
    }
    EXPECT_TRUE(std::holds_alternative<common::PageSavedReport>(reports.back()));
  }
  // The logo shared by every page is fetched once per engine process.
  EXPECT_EQ(site_.RequestCount("/logo.png"), int(walks.size()));
}

TEST_F(ChapterWalkTest, NoStrategyStallsSmallImagesSaveTheTallestAndImagesGetSessionCookies) {
  Chapter bare = AddChapter(site_, "/bare/", ChapterKind::NoControls, 3);
  Chapter small = AddChapter(site_, "/small/", ChapterKind::NextLinks, 3);
  const QString taller = testing_support::UseSmallImagesOnly(site_, small, 2);
  Chapter guarded = AddChapter(site_, "/guarded/", ChapterKind::PageList, 5);
  testing_support::RequireSessionCookies(site_, guarded);
  std::vector<std::unique_ptr<Walk>> walks;
  walks.push_back(std::make_unique<Walk>(site_, bare, 601, sandbox_));
  walks.push_back(std::make_unique<Walk>(site_, small, 602, sandbox_));
  walks.push_back(std::make_unique<Walk>(site_, guarded, 603, sandbox_));
  ASSERT_TRUE(WaitFor([&] { return AllFinished(walks); }, kWalkTimeoutMs));

  // Images served only to a visitor holding the session's cookies (one set by the page's
  // answer, one by its script) are fetched with them.
  const Walk& session = *walks[2];
  ASSERT_EQ(session.Reports<common::PageSavedReport>().size(), 5u) << Dump(session.frontEnd);
  for (int page = 1; page <= 5; ++page)
    EXPECT_EQ(testing_support::ReadBytes(session.folder + QStringLiteral("%1.jpg").arg(page, 3, 10, QLatin1Char('0'))),
              guarded.images[size_t(page - 1)]) << page;

  const Walk& stalled = *walks[0];
  EXPECT_TRUE(stalled.Reports<common::PageSavedReport>().empty());
  EXPECT_EQ(stalled.Reports<common::StallReport>().size(), 1u);
  EXPECT_EQ(stalled.frontEnd.reports.back(), common::EngineReport(common::StallReport{601}));
  const auto infos = stalled.Reports<common::PageInfoReport>();
  for (const auto& info : infos) EXPECT_EQ(info.total, 0);
  // Quiet of at least 4 s (whole seconds) at 500 ms page monitoring before the last chance.
  EXPECT_GE(infos.size(), 8u);
  // Looked at once at the last chance: one page image alone is no long strip.
  EXPECT_EQ(site_.RequestCount(bare.ImagePath(1)), 1);
  EXPECT_EQ(QDir(stalled.folder).entryList(QDir::Files).size(), 0);

  const Walk& quiet = *walks[1];
  ASSERT_EQ(quiet.Reports<common::PageSavedReport>().size(), 3u) << Dump(quiet.frontEnd);
  EXPECT_TRUE(quiet.Reports<common::StallReport>().empty());
  EXPECT_EQ(testing_support::ReadBytes(quiet.folder + "002.png"), small.images[1]);
  EXPECT_EQ(site_.RequestCount(taller), 1);
  EXPECT_EQ(QDir(quiet.folder).entryList(QDir::Files).size(), 3);
}

TEST_F(ChapterWalkTest, PageWhoseRendererPassesTheMemoryCeilingIsClosedAndEndsWithoutImage) {
  // The page fills a gigabyte of arrays step by step and shows its image two seconds later,
  // well within the quiet. Under a 400 MiB ceiling its renderer is ended before that: the
  // image is never asked for, and the page ends as one without image, with the stall.
  Chapter greedy;
  greedy.folder = QStringLiteral("/greedy/");
  greedy.pages = 2;
  site_.Add("/greedy/page.jpg", testing_support::MakeImageBytes(640, 900, "JPEG", 3), "image/jpeg");
  site_.AddPage("/greedy/p1.html", QStringLiteral(uR"(<html><head><title>Greedy</title></head>
<body><a href="p2.html">下一页</a> 共 2 页<script>
var kept = [];
function show() {
  var img = document.createElement('img');
  img.src = '/greedy/page.jpg';
  document.body.appendChild(img);
}
function grow() {
  var block = new Float64Array(8 * 1024 * 1024);
  block.fill(kept.length + 1);
  kept.push(block);
  if (kept.length < 16) setTimeout(grow, 0);
  else setTimeout(show, 2000);
}
window.onload = function () { setTimeout(grow, 0); };
</script></body></html>)"));
  std::vector<std::unique_ptr<Walk>> walks;
  walks.push_back(std::make_unique<Walk>(site_, greedy, 701, sandbox_, 1, 0, 400));
  ASSERT_TRUE(WaitFor([&] { return AllFinished(walks); }, kWalkTimeoutMs));

  const Walk& walk = *walks[0];
  EXPECT_EQ(site_.RequestCount("/greedy/p1.html"), 1);
  EXPECT_EQ(site_.RequestCount("/greedy/page.jpg"), 0) << Dump(walk.frontEnd);
  EXPECT_TRUE(walk.Reports<common::PageSavedReport>().empty()) << Dump(walk.frontEnd);
  EXPECT_EQ(walk.frontEnd.reports.back(), common::EngineReport(common::StallReport{701}));
  EXPECT_TRUE(QDir(walk.folder).entryList(QDir::Files).isEmpty());
}

TEST_F(ChapterWalkTest, QuitOrTerminationEndsAnEngineInTheMiddleOfASlowImage) {
  // Both engines are stuck downloading a page image sent at four bytes a second.
  Chapter toldToQuit = AddChapter(site_, "/quit/", ChapterKind::NextLinks, 2);
  Chapter terminated = AddChapter(site_, "/term/", ChapterKind::NextLinks, 2);
  for (const Chapter* chapter : {&toldToQuit, &terminated}) {
    testing_support::Resource slow;
    slow.body = chapter->images[0];
    slow.contentType = "image/jpeg";
    slow.trickleMs = 250;
    site_.Add(chapter->ImagePath(1), slow);
  }
  Walk quit(site_, toldToQuit, 701, sandbox_);
  Walk term(site_, terminated, 702, sandbox_);
  ASSERT_TRUE(WaitFor([&] {
    return site_.RequestCount(toldToQuit.ImagePath(1)) == 1 &&
           site_.RequestCount(terminated.ImagePath(1)) == 1;
  }, kWalkTimeoutMs));
  WaitFor([] { return false; }, 500); // well inside the download

  QElapsedTimer clock;
  clock.start();
  quit.frontEnd.QuitEngine();
  ::kill(term.engine->pid(), SIGTERM); // the engine this test started, by its id
  ASSERT_TRUE(WaitFor([&] { return quit.engine->Finished() && term.engine->Finished(); }, 60000));
  // Within a second the download is given up; closing the browser takes the rest.
  EXPECT_LT(clock.elapsed(), 6000);
  EXPECT_EQ(quit.engine->exitCode, 0);
  EXPECT_EQ(term.engine->exitCode, 0);
  EXPECT_TRUE(quit.Reports<common::PageSavedReport>().empty());
  EXPECT_TRUE(term.Reports<common::PageSavedReport>().empty());
}

TEST_F(ChapterWalkTest, HttpsWithTheExtraCertificateAndLabelsOfOtherLanguages) {
  LocalSite secure(testing_support::SiteScheme::Https);
  ASSERT_FALSE(LocalSite::CertificateFile().isEmpty());
  const Chapter english = AddChapter(secure, "/en/", ChapterKind::EnglishLinks, 4);
  const Chapter chinese = AddChapter(secure, "/zh/", ChapterKind::PageList, 5);
  const Chapter korean = AddChapter(site_, "/ko/", ChapterKind::KoreanLinks, 3);
  const Chapter untrusted = AddChapter(secure, "/untrusted/", ChapterKind::NextLinks, 2);
  std::vector<std::unique_ptr<Walk>> walks;
  {
    ScopedVariable trust("FOLIVEX_EXTRA_CA", LocalSite::CertificateFile());
    walks.push_back(std::make_unique<Walk>(secure, english, 701, sandbox_));
    walks.push_back(std::make_unique<Walk>(secure, chinese, 702, sandbox_));
    walks.push_back(std::make_unique<Walk>(site_, korean, 703, sandbox_));
  }
  // Without the certificate the site is not trusted: TLS is never switched off.
  walks.push_back(std::make_unique<Walk>(secure, untrusted, 704, sandbox_));
  ASSERT_TRUE(WaitFor([&] { return AllFinished(walks); }, kWalkTimeoutMs));

  ExpectWholeChapter(secure, *walks[0]);
  ExpectWholeChapter(secure, *walks[1]);
  ExpectWholeChapter(site_, *walks[2]);
  for (const auto& info : walks[0]->Reports<common::PageInfoReport>()) EXPECT_EQ(info.total, 4);
  // The Chinese chapter reports exactly as over http: its list's count on every scan.
  for (const auto& info : walks[1]->Reports<common::PageInfoReport>()) EXPECT_EQ(info.total, 5);

  const Walk& refused = *walks[3];
  EXPECT_TRUE(refused.Reports<common::PageSavedReport>().empty()) << Dump(refused.frontEnd);
  EXPECT_EQ(refused.Reports<common::StallReport>().size(), 1u);
  EXPECT_EQ(secure.RequestCount(untrusted.ImagePath(1)), 0);
  EXPECT_EQ(secure.RequestCount("/untrusted/p1.html"), 0);
}

TEST_F(ChapterWalkTest, LongStripWithLazyImagesSavesEveryPageAndResumesAfterARestart) {
  constexpr int kPages = 6;
  const Chapter strip = testing_support::AddLongStrip(site_, "/strip/", kPages);
  const QString address = strip.PageUrl(site_, 1);
  {
    // The first engine crashes after page 2.
    Walk first(site_, strip, 801, sandbox_, 1, 2);
    ASSERT_TRUE(WaitFor([&] { return first.engine->Finished(); }, kWalkTimeoutMs));
    const auto saved = first.Reports<common::PageSavedReport>();
    ASSERT_EQ(saved.size(), 2u) << Dump(first.frontEnd);
    EXPECT_EQ(saved[1], (common::PageSavedReport{801, 2, address}));
    // The count comes with the strip's first page, before any page is saved.
    const auto& reports = first.frontEnd.reports;
    const auto firstSaved = std::find(reports.begin(), reports.end(), common::EngineReport(saved[0]));
    ASSERT_NE(firstSaved, reports.begin());
    EXPECT_EQ(*(firstSaved - 1), common::EngineReport(common::PageInfoReport{801, "Strip", kPages}));
  }
  // Restarted at page 2 in the same folder: pages 3 to 6 only, 1 and 2 not fetched again.
  Walk second(site_, strip, 801, sandbox_, 2);
  ASSERT_TRUE(WaitFor([&] { return second.engine->Finished(); }, kWalkTimeoutMs));
  const auto saved = second.Reports<common::PageSavedReport>();
  ASSERT_EQ(saved.size(), std::size_t(kPages - 2)) << Dump(second.frontEnd);
  EXPECT_TRUE(second.Reports<common::StallReport>().empty());
  for (int page = 3; page <= kPages; ++page)
    EXPECT_EQ(saved[page - 3], (common::PageSavedReport{801, page, address}));
  for (int page = 1; page <= kPages; ++page) {
    const QString name = QStringLiteral("%1.jpg").arg(page, 3, 10, QLatin1Char('0'));
    EXPECT_EQ(testing_support::ReadBytes(second.folder + name), strip.images[page - 1]) << name.toStdString();
    // Every image was fetched to count the strip; after the restart only those not saved.
    EXPECT_EQ(site_.RequestCount(strip.ImagePath(page)), page <= 2 ? 1 : 2) << page;
  }
  EXPECT_EQ(QDir(second.folder).entryList(QDir::Files).size(), kPages); // no banner, no logo
}

TEST_F(ChapterWalkTest, RestartInTheMiddleOfASinglePageReaderTurnsAgainFromItsFirstAddress) {
  constexpr int kPages = 6;
  const Chapter pushed = testing_support::AddReader(site_, "/app/", ChapterKind::AppPushState, kPages);
  const Chapter swapped = testing_support::AddReader(site_, "/swap/", ChapterKind::AppSwap, kPages);
  {
    // Both engines crash while they report page 3 saved.
    std::vector<std::unique_ptr<Walk>> walks;
    walks.push_back(std::make_unique<Walk>(site_, pushed, 951, sandbox_, 1, 3));
    walks.push_back(std::make_unique<Walk>(site_, swapped, 952, sandbox_, 1, 3));
    ASSERT_TRUE(WaitFor([&] { return AllFinished(walks); }, kWalkTimeoutMs));
    for (const auto& walk : walks)
      ASSERT_EQ(walk->Reports<common::PageSavedReport>().size(), 3u) << Dump(walk->frontEnd);
  }
  // Restarted as the front-end restarts: at page 3, with the address it was reported with.
  std::vector<std::unique_ptr<Walk>> walks;
  walks.push_back(std::make_unique<Walk>(site_, pushed, 951, sandbox_, 3));
  walks.push_back(std::make_unique<Walk>(site_, swapped, 952, sandbox_, 3));
  ASSERT_TRUE(WaitFor([&] { return AllFinished(walks); }, kWalkTimeoutMs));
  for (const auto& walk : walks) {
    const Chapter& chapter = walk->chapter;
    SCOPED_TRACE(chapter.folder.toStdString());
    const auto saved = walk->Reports<common::PageSavedReport>();
    ASSERT_EQ(saved.size(), std::size_t(kPages - 3)) << Dump(walk->frontEnd);
    EXPECT_TRUE(walk->Reports<common::StallReport>().empty());
    for (int page = 4; page <= kPages; ++page)
      EXPECT_EQ(saved[page - 4], (common::PageSavedReport{walk->id, page, chapter.PageUrl(site_, page)}));
    for (int page = 1; page <= kPages; ++page) {
      const QString name = QStringLiteral("%1.jpg").arg(page, 3, 10, QLatin1Char('0'));
      EXPECT_EQ(testing_support::ReadBytes(walk->folder + name), chapter.images[page - 1]) << page;
      // Turned past again on the way back: the pages before the restart were seen twice.
      EXPECT_EQ(site_.RequestCount(chapter.ImagePath(page)), page <= 3 ? 2 : 1) << page;
    }
    EXPECT_EQ(QDir(walk->folder).entryList(QDir::Files).size(), kPages);
  }
  // The first address was loaded once per engine, no deep address ever.
  EXPECT_EQ(site_.RequestCount("/app/read/1"), 2);
  EXPECT_EQ(site_.RequestCount("/app/read/3"), 0);
}

TEST(ChapterWalkRecord, ARestartStartsWhereTheRecordSaysAndAnythingElseStartsAsAsked) {
  Sandbox sandbox;
  const QString folder = sandbox.path() + QStringLiteral("/task/");
  const QString record = CChapterWalk::RecordPath(folder);
  const QString app = QStringLiteral("http://site/read/1");
  {
    CChapterWalk walk(folder, 1000);
    walk.Start(app, 1);
    walk.PageSaved(1, app, app, 1, false);
    EXPECT_FALSE(QFile::exists(record)) << "a page of its own address keeps nothing";
    walk.PageSaved(2, "http://site/read/2#top", app, 1, true);
  }
  CChapterWalk walk(folder, 1000);
  const WalkStart start = walk.Start("http://site/read/2#top", 2);
  EXPECT_EQ(start.url, app);
  EXPECT_EQ(start.page, 1);
  EXPECT_EQ(start.resumeAfter, 2);
  EXPECT_TRUE(walk.Saved("http://site/read/2") && walk.Saved(app)); // fragments aside
  // Another page than the record's last, or no record at all: started as asked.
  for (const QByteArray& junk : {QByteArray("folivex-walk 1\n3\nu\n4\nd\n"), QByteArray("x\n2\nu\n1\nd\n")}) {
    ASSERT_TRUE(testing_support::WriteBytes(record, junk));
    CChapterWalk other(folder, 1000);
    EXPECT_EQ(other.Start("u", 2).url, "u") << junk.constData();
    EXPECT_FALSE(other.Saved(app));
  }
  walk.Forget();
  EXPECT_FALSE(QFile::exists(record));
}

TEST_F(ChapterWalkTest, EveryPageThatCannotBeWalkedSaysWhy) {
  using common::FailureReason;
  const QString next = QStringLiteral(u"<a href=\"p2.html\">下一页</a> 共 3 页");
  site_.AddPage("/none/p1.html", "<html><body>" + next + "</body></html>");
  testing_support::Resource missing;
  missing.body = "<html><body>gone</body></html>";
  missing.status = 404;
  site_.Add("/missing/p1.html", missing);
  site_.Add("/paper/p1.pdf", "%PDF-1.4 not a page", "application/pdf");
  testing_support::Resource loop;
  loop.status = 302;
  loop.headers = {{"Location", "/loop/page.png"}};
  site_.Add("/loop/page.png", loop);
  site_.AddPage("/loop/p1.html", "<html><body><img src=\"page.png\">" + next + "</body></html>");
  const QString closed = QStringLiteral("http://127.0.0.1:%1").arg(testing_support::ClosedPort());

  const struct {
    QString url;
    FailureReason reason;
    QString detail;
    bool deadProxy = false;
  } cases[] = {
      {closed + "/p1.html", FailureReason::SiteRefused, ""},
      {site_.Url("/none/p1.html"), FailureReason::ProxyNoAnswer, "net::ERR_PROXY_CONNECTION_FAILED", true},
      {site_.Url("/missing/p1.html"), FailureReason::HttpError, "404"},
      {site_.Url("/paper/p1.pdf"), FailureReason::NotWebPage, ""},
      {site_.Url("/none/p1.html"), FailureReason::NoPageImage, ""},
      {site_.Url("/loop/p1.html"), FailureReason::ImageRedirects, ""},
  };
  std::vector<std::unique_ptr<Attempt>> attempts;
  std::int32_t id = 801;
  for (const auto& c : cases) {
    std::optional<ScopedVariable> proxy;
    if (c.deadProxy) proxy.emplace("FOLIVEX_PROXY", closed);
    attempts.push_back(std::make_unique<Attempt>(c.url, id++, sandbox_));
  }
  ASSERT_TRUE(WaitFor([&] {
    return std::all_of(attempts.begin(), attempts.end(), [](auto& a) { return a->engine->Finished(); });
  }, kWalkTimeoutMs));
  for (std::size_t i = 0; i < attempts.size(); ++i) {
    const auto& c = cases[i];
    SCOPED_TRACE(c.url.toStdString());
    const FrontEndStub& frontEnd = attempts[i]->frontEnd;
    ASSERT_EQ(frontEnd.ReportsOf<common::StallReport>().size(), 1u) << Dump(frontEnd);
    const auto failures = frontEnd.ReportsOf<common::FailureReport>();
    ASSERT_EQ(failures.size(), 1u) << Dump(frontEnd);
    EXPECT_EQ(failures[0], (common::FailureReport{801 + std::int32_t(i), c.reason, c.detail}));
    // The reason comes right before the stall it explains.
    ASSERT_GE(frontEnd.reports.size(), 2u);
    EXPECT_TRUE(std::holds_alternative<common::FailureReport>(frontEnd.reports[frontEnd.reports.size() - 2]));
    EXPECT_TRUE(frontEnd.ReportsOf<common::PageSavedReport>().empty());
  }
}
