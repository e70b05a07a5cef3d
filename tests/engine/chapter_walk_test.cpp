// The real Gantrell with its real browser walking whole chapters of a local site, reporting to
// a front-end stand-in that answers as the front-end does. The engines run side by side.
#include "chapter_site.h"
#include "common/auto_init.h"
#include "common/command_file.h"
#include "frontend_stub.h"
#include "test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <memory>

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
  Walk(const LocalSite& site, const Chapter& c, std::int32_t id, const Sandbox& sandbox)
      : id(id), chapter(c), folder(sandbox.file(QString::number(id)) + QStringLiteral("/")) {
    QDir().mkpath(folder);
    frontEnd.onReport = [this](const QStringList& items) {
      // As the front-end: the last page completes the task, a stall restarts or fails it;
      // either way the engine is told to quit while it waits in its send.
      if ((items.value(0) == "101" && items.value(2).toInt() >= chapter.pages) ||
          items.value(0) == "102")
        frontEnd.QuitEngine();
    };
    common::HandOff job;
    job.id = id;
    job.index = 1;
    job.url = chapter.PageUrl(site, 1);
    job.folder = folder;
    engine = std::make_unique<EngineProcess>(job, frontEnd);
  }

  std::vector<QStringList> Reports(const char* code) const { return frontEnd.ReportsWithCode(code); }

  std::int32_t id;
  Chapter chapter;
  QString folder;
  FrontEndStub frontEnd;
  std::unique_ptr<EngineProcess> engine;
};

// The reports as one line each, for failure messages.
std::string Dump(const std::vector<QStringList>& reports) {
  QString text;
  for (const QStringList& items : reports) text += items.join(QLatin1Char('|')) + QLatin1Char('\n');
  return text.toStdString();
}

bool AllFinished(std::vector<std::unique_ptr<Walk>>& walks) {
  for (auto& walk : walks)
    if (!walk->engine->Finished()) return false;
  return true;
}

class ChapterWalkTest : public ::testing::Test {
protected:
  FCAutoInitGDIPlus magick_; // the chapters' pictures are made here
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
    const auto saved = walk->Reports("101");
    ASSERT_EQ(saved.size(), std::size_t(kPages)) << Dump(walk->frontEnd.reports);
    EXPECT_TRUE(walk->Reports("102").empty());
    for (int page = 1; page <= kPages; ++page) {
      const QStringList expected{"101", QString::number(walk->id),
                                 QString::number(page), chapter.PageUrl(site_, page)};
      EXPECT_EQ(saved[page - 1], expected);
      const QString name = QStringLiteral("%1.jpg").arg(page, 3, 10, QLatin1Char('0'));
      EXPECT_EQ(testing_support::ReadBytes(walk->folder + name), chapter.images[page - 1]) << name.toStdString();
      EXPECT_EQ(site_.RequestCount(chapter.ImagePath(page)), 1) << page;
    }
    EXPECT_EQ(QDir(walk->folder).entryList(QDir::Files).size(), kPages);
    // Each page-saved report follows the page-info report of the same scan.
    const auto& reports = walk->frontEnd.reports;
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.front().value(0), "100");
    for (std::size_t i = 1; i < reports.size(); ++i) {
      if (reports[i].value(0) != "101") continue;
      EXPECT_EQ(reports[i - 1].value(0), "100");
      EXPECT_EQ(reports[i - 1].value(3), QString::number(kPages));
      EXPECT_EQ(reports[i - 1].value(2), QStringLiteral("Test comic %1").arg(reports[i].value(2)));
    }
    EXPECT_EQ(reports.back().value(0), "101");
  }
  // The logo shared by every page is fetched once per engine process.
  EXPECT_EQ(site_.RequestCount("/logo.png"), int(walks.size()));
}

TEST_F(ChapterWalkTest, NoStrategyStallsAndSmallImagesSaveTheTallestAfterTheQuiet) {
  Chapter bare = AddChapter(site_, "/bare/", ChapterKind::NoControls, 3);
  Chapter small = AddChapter(site_, "/small/", ChapterKind::NextLinks, 3);
  const QString taller = testing_support::UseSmallImagesOnly(site_, small, 2);
  std::vector<std::unique_ptr<Walk>> walks;
  walks.push_back(std::make_unique<Walk>(site_, bare, 601, sandbox_));
  walks.push_back(std::make_unique<Walk>(site_, small, 602, sandbox_));
  ASSERT_TRUE(WaitFor([&] { return AllFinished(walks); }, kWalkTimeoutMs));

  const Walk& stalled = *walks[0];
  EXPECT_TRUE(stalled.Reports("101").empty());
  EXPECT_EQ(stalled.Reports("102").size(), 1u);
  EXPECT_EQ(stalled.frontEnd.reports.back(), (QStringList{"102", "601"}));
  for (const auto& info : stalled.Reports("100")) EXPECT_EQ(info.value(3), "0");
  // Quiet of at least 4 s (whole seconds) at 500 ms page monitoring before the last chance.
  EXPECT_GE(stalled.Reports("100").size(), 8u);
  EXPECT_EQ(site_.RequestCount(bare.ImagePath(1)), 0);

  const Walk& quiet = *walks[1];
  ASSERT_EQ(quiet.Reports("101").size(), 3u) << Dump(quiet.frontEnd.reports);
  EXPECT_TRUE(quiet.Reports("102").empty());
  EXPECT_EQ(testing_support::ReadBytes(quiet.folder + "002.png"), small.images[1]);
  EXPECT_EQ(site_.RequestCount(taller), 1);
  EXPECT_EQ(QDir(quiet.folder).entryList(QDir::Files).size(), 3);
}
