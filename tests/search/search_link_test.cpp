// The link-search view inside the real host window, on a fake browser: which links give lines,
// in which order and form, and how the search ends.
#include "engine/search_link.h"

#include "engine/list_page_info.h"

#include "common/protocol.h"
#include "engine/engine_window.h"
#include "fake_browser.h"
#include "fake_engine_host.h"
#include "frontend_stub.h"
#include "platform/launcher.h"
#include "recording_opener.h"
#include "common/search_result_file.h"
#include "test_support.h"

#include <QFile>
#include <gtest/gtest.h>

using testing_support::FakeBrowser;
using testing_support::FakeDocument;
using testing_support::FakeElement;
using testing_support::FakeEngineHost;
using testing_support::FrontEndStub;
using testing_support::WaitFor;

namespace {

const QString kListPage = QStringLiteral("http://127.0.0.1:9/list.html");
const QString kFolder = QStringLiteral("/home/user/Comics/");

std::int64_t fakeNow = 0;
std::int64_t FakeClock() { return fakeNow; }

/// The search-link dialog: reads the result file when told, as the real one does, or refuses
/// the result (an engine it no longer holds).
class SearchDialogStub : public FrontEndStub {
public:
  platform::LRESULT WindowProc(std::uint32_t message, platform::WPARAM wParam,
                               platform::LPARAM lParam) override {
    if (message == protocol::WM_APP_SEARCH_DONE) {
      done = {wParam, lParam};
      links = common::ReadSearchResultFile(resultFile);
      const platform::HWND engine = engineWindow;
      const platform::LRESULT reply = FrontEndStub::WindowProc(message, wParam, lParam);
      // The user closes the dialog right away: it tells the engine to quit while it waits.
      if (quitOnDone) platform::SendNotifyMessage(engine, protocol::WM_APP_ENGINE_QUIT, 0, 0);
      return takesResult ? reply : 0;
    }
    return FrontEndStub::WindowProc(message, wParam, lParam);
  }
  QString resultFile;
  std::optional<common::SearchResult> links; ///< the file's result when told
  std::pair<platform::WPARAM, platform::LPARAM> done{-1, -1}; ///< of the last WM_APP_SEARCH_DONE
  bool quitOnDone = false;
  bool takesResult = true;
};

class SearchLinkTest : public ::testing::Test {
protected:
  void SetUp() override {
    fakeNow = 1'700'000'000;
    CPageWatch::SetClock(&FakeClock);
    platform::SetOpener(&opener_);
    dialog_.resultFile = box_.file(QStringLiteral("result.json"));
    browser_.completePages = false; // the test completes the list page itself
    host_.browser = &browser_;
    host_.folder = kFolder;
    host_.taskId = -1;
    host_.frontEndWindow = dialog_.Handle();
  }
  void TearDown() override {
    engine_.reset();
    EXPECT_TRUE(opener_.opened.isEmpty()) << "the engine never starts a viewer";
    platform::SetOpener(nullptr);
    CPageWatch::SetClock(nullptr);
  }

  // Starts the search view in a host window that the search-link dialog has accepted.
  void StartEngine(bool namesResultFile = true) {
    engine_ = std::make_unique<CEngineWindow>(host_);
    dialog_.engineWindow = engine_->Handle();
    engine_->StartSearchView(kListPage, namesResultFile ? dialog_.resultFile : QString());
    ASSERT_EQ(browser_.views.size(), 1u);
  }

  // What the search view is told by its browser view.
  engine::FIBrowserViewEvents& Events() { return *browser_.views.front()->events; }

  // A link of the list page; its click runs `onClick`, or navigates to `href` without one.
  FakeElement& AddLink(const QString& href, const QString& text,
                       std::function<void(engine::FIBrowserViewEvents&)> onClick = {}) {
    FakeElement& link = list_->AddAnchor(text);
    link.href = href;
    link.outerHTML = QStringLiteral("<a href=\"%1\">%2</a>").arg(href, text);
    if (onClick)
      link.onClick = [this, onClick] { onClick(Events()); };
    else
      browser_.LinkTo(link, list_, href);
    return link;
  }

  // Completes the list page and lets its quiet time pass; returns the lines handed over.
  QStringList Search() {
    StartEngine();
    if (browser_.views.empty()) return {};
    Events().OnDocumentComplete(true);
    fakeNow += CPageWatch::kQuietSeconds;
    EXPECT_TRUE(WaitFor([&] { return dialog_.searchDoneCount == 1; }, 10000));
    EXPECT_TRUE(WaitFor([&] { return engine_->Destroyed(); }, 10000));
    return Lines();
  }

  // The lines of the links the dialog read, as the text form shows them.
  QStringList Lines() const {
    QStringList lines;
    for (const common::FoundLink& link : dialog_.links.value_or(common::SearchResult()).links)
      lines << common::SearchResultLine(link);
    return lines;
  }

  static QString Line(const QString& address, const QString& name) {
    return address + QStringLiteral("   ") + kFolder + name;
  }

  FakeBrowser browser_;
  std::shared_ptr<FakeDocument> list_ = browser_.AddPage(kListPage);
  testing_support::Sandbox box_;
  testing_support::RecordingOpener opener_;
  SearchDialogStub dialog_;
  FakeEngineHost host_;
  std::unique_ptr<CEngineWindow> engine_; // last: the engine goes before everything it uses
};

} // namespace

// The real-browser test covers the ordinary links; these are the rules' edges.
TEST_F(SearchLinkTest, OnlyWebAddressesAreCaughtAndSkipRulesIgnoreCase) {
  using Events = engine::FIBrowserViewEvents;
  const auto notClicked = [](Events&) { ADD_FAILURE() << "clicked"; };
  AddLink(QStringLiteral("https://site/s"), QStringLiteral("Secure"));
  AddLink(QStringLiteral("ftp://site/f"), QStringLiteral("Ftp"));
  AddLink(QStringLiteral("#"), QStringLiteral("Blank window"),
                   [](Events& e) { e.OnNewWindow(QStringLiteral("about:blank")); });
  // The first catchable address counts, whichever event brought it.
  AddLink(QStringLiteral("#"), QStringLiteral("Mixed"), [](Events& e) {
    bool cancel = false;
    e.OnBeforeNavigate(QStringLiteral("ftp://site/m"), cancel);
    EXPECT_TRUE(cancel);
    e.OnNewWindow(QStringLiteral("HTTPS://site/M"));
    e.OnBeforeNavigate(QStringLiteral("http://site/later"), cancel);
  });
  AddLink(QStringLiteral("MAILTO:x@y"), QStringLiteral("Mail"), notClicked);
  AddLink(QStringLiteral("http://site/set"), QStringLiteral("Set"), notClicked).outerHTML =
      QStringLiteral("<a onclick=\"cfg.SET(1)\">Set</a>");

  EXPECT_EQ(Search(), (QStringList{Line(QStringLiteral("https://site/s"), QStringLiteral("Secure")),
                                   Line(QStringLiteral("HTTPS://site/M"), QStringLiteral("Mixed"))}));
  EXPECT_EQ(browser_.navigated, QStringList{kListPage}) << "no click left the list page";
  EXPECT_GE(browser_.stops, 1);
}
TEST_F(SearchLinkTest, BrokenElementsArePassedOverAndTheSearchStillEnds) {
  AddLink(QStringLiteral("http://site/1"), QStringLiteral("One"));
  AddLink(QStringLiteral("http://site/2"), QStringLiteral("Two")).broken = true;
  AddLink(QStringLiteral("http://site/3"), QStringLiteral("Three"), [](engine::FIBrowserViewEvents& e) {
    bool cancel = false;
    e.OnBeforeNavigate(QStringLiteral("http://site/3"), cancel);
    throw engine::DocumentError("detached during its click");
  });
  AddLink(QStringLiteral("http://site/4"), QStringLiteral("Four"));

  EXPECT_EQ(Search(), (QStringList{Line(QStringLiteral("http://site/1"), QStringLiteral("One")),
                                   Line(QStringLiteral("http://site/4"), QStringLiteral("Four"))}));
}

TEST_F(SearchLinkTest, ThePageCannotReplaceItselfWhileItsLinksAreWalked) {
  AddLink(QStringLiteral("http://site/1"), QStringLiteral("One"));
  AddLink(QStringLiteral("http://site/2"), QStringLiteral("Two"));
  StartEngine();
  bool cancel = false;
  Events().OnBeforeNavigate(QStringLiteral("http://site/redirect"), cancel);
  EXPECT_FALSE(cancel); // before the result step the page loads and redirects freely
  // The page asks to reload whenever one of its elements is fetched.
  int reloadsRefused = 0;
  list_->onItem = [&] {
    bool refused = false;
    Events().OnBeforeNavigate(kListPage, refused);
    reloadsRefused += refused;
  };
  Events().OnDocumentComplete(true);
  fakeNow += CPageWatch::kQuietSeconds;
  ASSERT_TRUE(WaitFor([&] { return dialog_.searchDoneCount == 1; }, 10000));
  EXPECT_EQ(reloadsRefused, 2);
  EXPECT_EQ(Lines().size(), 2);
}

TEST_F(SearchLinkTest, NoReadableDocumentShowsAnEmptyList) {
  for (const bool noDocument : {true, false}) {
    SCOPED_TRACE(noDocument ? "no document" : "document fails");
    list_ = browser_.AddPage(kListPage);
    AddLink(QStringLiteral("http://site/1"), QStringLiteral("One"));
    if (noDocument) browser_.pages.clear();
    list_->failing = !noDocument;
    dialog_.links.reset();
    dialog_.searchDoneCount = 0;
    EXPECT_TRUE(Search().isEmpty());
    EXPECT_EQ(dialog_.links, common::SearchResult()) << "an empty list is still told";
    engine_.reset();
  }
}

TEST_F(SearchLinkTest, ListPageThatCannotBeLoadedWritesNothingAndTheDialogHearsWhy) {
  using Answer = std::pair<int, bool>; // status, web page
  const struct {
    const char* what;
    std::vector<Answer> answers;
    bool completes;
    std::pair<platform::WPARAM, platform::LPARAM> told;
  } cases[] = {
      {"error page", {{404, true}}, true, {protocol::SEARCH_DONE_PAGE_FAILED, 404}},
      {"no answer, never completes", {{0, true}}, false, {protocol::SEARCH_DONE_PAGE_FAILED, 0}},
      {"no web page", {{200, false}}, true, {protocol::SEARCH_DONE_PAGE_FAILED, 200}},
      {"error page whose script goes on to the list", {{500, true}, {200, true}}, true,
       {protocol::SEARCH_DONE_WRITTEN, 0}},
  };
  AddLink(QStringLiteral("http://site/1"), QStringLiteral("One"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QFile::remove(dialog_.resultFile);
    dialog_.searchDoneCount = 0;
    StartEngine();
    const platform::HWND engineWindow = engine_->Handle();
    for (const auto& [status, webPage] : c.answers) Events().OnPageAnswer(status, webPage);
    if (c.completes) Events().OnDocumentComplete(true);
    fakeNow += CPageWatch::kQuietSeconds;
    ASSERT_TRUE(WaitFor([&] { return dialog_.searchDoneCount == 1; }, 10000));
    const bool written = c.told.first == protocol::SEARCH_DONE_WRITTEN;
    // A result names the engine's window, so the dialog knows whose result it is.
    EXPECT_EQ(dialog_.done.first, c.told.first);
    EXPECT_EQ(dialog_.done.second, written ? platform::LPARAM(engineWindow) : c.told.second);
    EXPECT_EQ(QFile::exists(dialog_.resultFile), written) << "nothing for a page that failed";
    EXPECT_TRUE(WaitFor([&] { return engine_->Destroyed(); }, 10000));
    engine_.reset();
  }
}

TEST_F(SearchLinkTest, TheFileStaysForTheDialogThatTakesItAndGoesOtherwise) {
  AddLink(QStringLiteral("http://site/1"), QStringLiteral("One"));
  const struct {
    const char* what;
    bool takes, quitOnDone, exists;
  } cases[] = {
      {"taken", true, false, true},
      {"taken, and the dialog closes at once", true, true, true},
      {"refused: an engine the dialog no longer holds", false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    dialog_.takesResult = c.takes;
    dialog_.quitOnDone = c.quitOnDone;
    dialog_.searchDoneCount = 0;
    EXPECT_EQ(Search().size(), 1) << "the file was complete when the dialog was told";
    EXPECT_EQ(QFile::exists(dialog_.resultFile), c.exists);
    EXPECT_TRUE(engine_->Destroyed());
    QFile::remove(dialog_.resultFile);
    engine_.reset();
  }
}

TEST_F(SearchLinkTest, AJobWithoutAResultFileIsToldSoAndStillEnds) {
  AddLink(QStringLiteral("http://site/1"), QStringLiteral("One"));
  StartEngine(false);
  Events().OnDocumentComplete(true);
  fakeNow += CPageWatch::kQuietSeconds;
  ASSERT_TRUE(WaitFor([&] { return dialog_.searchDoneCount == 1; }, 10000));
  EXPECT_EQ(dialog_.done.first, protocol::SEARCH_DONE_NOT_WRITTEN);
  EXPECT_TRUE(WaitFor([&] { return engine_->Destroyed(); }, 10000));
}

TEST_F(SearchLinkTest, QuitDuringAClickEndsWithoutAResult) {
  AddLink(QStringLiteral("http://site/1"), QStringLiteral("One"), [this](engine::FIBrowserViewEvents&) {
    platform::SendMessage(engine_->Handle(), protocol::WM_APP_ENGINE_QUIT, 0, 0);
  });
  AddLink(QStringLiteral("http://site/2"), QStringLiteral("Two"));
  StartEngine();
  Events().OnDocumentComplete(true);
  fakeNow += CPageWatch::kQuietSeconds;
  EXPECT_TRUE(WaitFor([&] { return engine_->Destroyed(); }, 10000));
  EXPECT_FALSE(QFile::exists(dialog_.resultFile));
  EXPECT_EQ(dialog_.searchDoneCount, 0);
}

TEST_F(SearchLinkTest, ResultWaitsForFiveQuietSecondsAfterThePageItself) {
  AddLink(QStringLiteral("http://site/1"), QStringLiteral("One"));
  StartEngine();
  const auto ticks = [](int n) { WaitFor([] { return false; }, n * CPageWatch::kAfterFinishPollMs + 100); };

  ticks(1); // nothing completed yet
  Events().OnDocumentComplete(false);
  fakeNow += 10;
  ticks(1); // a frame's completion starts no countdown
  EXPECT_EQ(dialog_.searchDoneCount, 0);

  Events().OnDocumentComplete(true);
  fakeNow += 4;
  Events().OnDocumentComplete(true); // the page completed again: the countdown restarts
  fakeNow += 4;
  ticks(1);
  EXPECT_EQ(dialog_.searchDoneCount, 0);

  fakeNow += 1;
  EXPECT_TRUE(WaitFor([&] { return dialog_.searchDoneCount == 1; }, 10000));
  // It ran once: later completions start nothing new.
  fakeNow += 100;
  ticks(1);
  EXPECT_EQ(dialog_.searchDoneCount, 1);
}


TEST(ListPageInfo, ChapterCountsOnlyWhereThePageStatesThem) {
  const struct {
    const char16_t* text;
    int count;
  } rows[] = {
      {u"连载至 全120话 完结", 120}, {u"共 35 话", 35},        {u"全１２巻", 12},
      {u"총 48화", 48},              {u"Total chapters: 230", 230}, {u"Chapters: 17", 17},
      {u"88 chapters (completed)", 88},
      // numbers that count something else
      {u"Showing 20 chapters", 0},   {u"共 3 页", 0},            {u"Chapter 12", 0},
      {u"Subchapters: 4", 0},        {u"全0话", 0},              {u"全2024话", 2024},
      {u"", 0},
  };
  for (const auto& row : rows) {
    const QString text = QString::fromUtf16(row.text);
    EXPECT_EQ(engine::StatedChapterCount(text), row.count) << text.toStdString();
  }
}
