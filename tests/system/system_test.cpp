// Folivex and Gantrell together, as a user meets them: tasks are made through the main window's
// dialogs, the task manager schedules them, copies of the built engine start for real and walk
// local chapters in the real browser, and the results land on disk and in the task list.
#include "chapter_site.h"
#include "common/program_folder.h"
#include "gui/dlg_add_task.h"
#include "gui/dlg_search_link.h"
#include "gui/tip_edit.h"
#include "system_rig.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QUrl>
#include <csignal>
#include <gtest/gtest.h>
#include <map>

namespace {

using namespace system_test;
using testing_support::Chapter;
using testing_support::ChapterKind;
using testing_support::WaitFor;

// Only reached when something is wrong: a browser on a loaded 2-core machine starts slowly.
constexpr int kWalkTimeoutMs = 240000;
constexpr int kStartTimeoutMs = 120000;

QString PagePath(const testing_support::LocalSite& site, const Chapter& chapter, int page) {
  return QUrl(chapter.PageUrl(site, page)).path();
}

// Every page of the chapter lies in the folder, byte for byte as the site serves it.
void ExpectPagesSaved(const Chapter& chapter, const QString& folder) {
  for (int page = 1; page <= chapter.pages; ++page) {
    const QString name = QStringLiteral("%1.jpg").arg(page, 3, 10, QLatin1Char('0'));
    EXPECT_EQ(testing_support::ReadBytes(common::WithTrailingSlash(folder) + name),
              chapter.images[page - 1])
        << (folder + name).toStdString();
  }
}

class SystemTest : public ::testing::Test {
protected:
  bool WaitUntilStopped(const CTaskInfo* task) {
    return WaitFor([&] { return task->status == TASK_STOP; }, kWalkTimeoutMs);
  }

  testing_support::LocalSite site;
  SystemRig rig;
};

TEST_F(SystemTest, TaskFromTheAddDialogIsDownloadedByTheRealEngine) {
  const Chapter chapter =
      testing_support::AddChapter(site, QStringLiteral("/one/"), ChapterKind::NextLinks, 5);
  CFolivexDlg& window = rig.Open();
  const QString folder = rig.folder.File("comics/one/");
  DriveNextModal<DlgAddTask>([&](DlgAddTask& dialog) {
    dialog.AddressEdit()->clear();
    QTest::keyClicks(dialog.AddressEdit(), chapter.PageUrl(site, 1));
    dialog.FolderEdit()->clear();
    QTest::keyClicks(dialog.FolderEdit(), folder);
    QTest::mouseClick(dialog.StartNowRadio(), Qt::LeftButton);
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
  });
  window.OnCommand(CFolivexDlg::kAddTask);
  ASSERT_EQ(rig.tasks->Count(), 1) << "OK added the task";
  CTaskInfo* task = (*rig.tasks)[0];
  EXPECT_EQ(task->url, chapter.PageUrl(site, 1));
  EXPECT_EQ(task->folder, folder);

  ASSERT_TRUE(WaitFor([&] { return !rig.launcher.starts.empty(); }, 10000)) << "scheduled";
  EXPECT_EQ(rig.launcher.starts[0].job.hwnd, window.Handle());
  EXPECT_EQ(rig.launcher.starts[0].job.url, chapter.PageUrl(site, 1));
  ASSERT_TRUE(WaitUntilStopped(task)) << "finish " << task->finish << " of " << task->total;
  EXPECT_TRUE(task->IsFinished());
  EXPECT_EQ(task->total, 5);
  EXPECT_TRUE(task->error_text.isEmpty()) << task->error_text.toStdString();
  EXPECT_EQ(task->start_count, 1) << "no stall, no restart";
  ExpectPagesSaved(chapter, folder);
  ASSERT_NE(rig.RowOf(task->id), nullptr);
  EXPECT_EQ(task->StateName(), QStringLiteral("ok")) << "what the row shows";

  CTaskInfo onDisk;
  ASSERT_TRUE(QFile::exists(task->ini)) << task->ini.toStdString();
  EXPECT_TRUE(task->ini.startsWith(rig.folder.File("task/")));
  CTaskStore::LoadTaskFile(onDisk, task->ini);
  EXPECT_EQ(onDisk.finish, 5);
  EXPECT_EQ(onDisk.now_index, 5);
  EXPECT_EQ(onDisk.now_url, chapter.PageUrl(site, 5));
  EXPECT_TRUE(WaitFor([&] { return rig.launcher.AllEnded(); }, 30000)) << "the engine quit";
  EXPECT_EQ(rig.launcher.starts.size(), 1u);
}

TEST_F(SystemTest, KilledEngineIsRestartedFromTheLastSavedPage) {
  constexpr int kPages = 8;
  const Chapter chapter =
      testing_support::AddChapter(site, QStringLiteral("/kill/"), ChapterKind::NextLinks, kPages);
  rig.tasks->SetWatchdog(kStartTimeoutMs, 200);
  rig.Open();
  const QString folder = rig.folder.File("comics/kill/");
  ASSERT_TRUE(QDir().mkpath(folder)); // what the add-task dialog does
  CTaskInfo* task = rig.tasks->AddTask(chapter.PageUrl(site, 1), folder, true);
  ASSERT_NE(task, nullptr);

  // A stall on page 1 fails the task instead of restarting it; kill after page 3 so that two
  // pages can prove they are not fetched again.
  ASSERT_TRUE(WaitFor([&] { return task->now_index >= 3 || task->status == TASK_STOP; },
                      kWalkTimeoutMs));
  ASSERT_EQ(task->status, TASK_RUNNING)
      << task->error_text.toStdString() << " at page " << task->now_index << ", "
      << rig.launcher.starts.size() << " starts";
  ASSERT_LT(task->now_index, kPages) << "the walk outran the test";
  ASSERT_EQ(rig.launcher.starts.size(), 1u);
  const int killedAt = task->now_index;
  std::map<QString, int> fetched;
  for (int page = 1; page <= kPages; ++page) {
    fetched[PagePath(site, chapter, page)] = site.RequestCount(PagePath(site, chapter, page));
    fetched[chapter.ImagePath(page)] = site.RequestCount(chapter.ImagePath(page));
  }
  const pid_t first = rig.launcher.starts[0].pid;
  ASSERT_GT(first, 0);
  ASSERT_EQ(::kill(first, SIGKILL), 0);

  ASSERT_TRUE(WaitFor([&] { return rig.launcher.starts.size() >= 2; }, 30000))
      << "the watchdog noticed the dead engine";
  const common::HandOff restart = rig.launcher.starts[1].job;
  ASSERT_TRUE(restart.index && restart.url);
  // A page report already on its way when the engine died may still have been taken.
  EXPECT_GE(*restart.index, killedAt);
  EXPECT_LE(*restart.index, killedAt + 1);
  EXPECT_EQ(*restart.url, chapter.PageUrl(site, *restart.index));
  EXPECT_FALSE(Running(first));

  ASSERT_TRUE(WaitUntilStopped(task)) << "finish " << task->finish << " of " << task->total;
  EXPECT_TRUE(task->IsFinished());
  EXPECT_TRUE(task->error_text.isEmpty()) << task->error_text.toStdString();
  EXPECT_EQ(task->start_count, 2);
  ExpectPagesSaved(chapter, folder);
  for (int page = 1; page < killedAt; ++page) {
    EXPECT_EQ(site.RequestCount(PagePath(site, chapter, page)),
              fetched[PagePath(site, chapter, page)]) << "page " << page << " loaded again";
    EXPECT_EQ(site.RequestCount(chapter.ImagePath(page)), fetched[chapter.ImagePath(page)])
        << "image " << page << " fetched again";
  }
  EXPECT_GT(site.RequestCount(PagePath(site, chapter, *restart.index)),
            fetched[PagePath(site, chapter, *restart.index)]) << "the restart began there";
  EXPECT_TRUE(WaitFor([&] { return rig.launcher.AllEnded(); }, 30000)) << "the engine quit";
}

TEST_F(SystemTest, SearchedLinksBecomeTasksThatAllCompleteTwoAtATime) {
  std::vector<Chapter> chapters;
  QString list = QStringLiteral("<html><body><h1>Chapters</h1><ol>");
  for (int n = 1; n <= 3; ++n) {
    chapters.push_back(testing_support::AddChapter(site, QStringLiteral("/s%1/").arg(n),
                                                   ChapterKind::NextLinks, 3));
    list += QStringLiteral("<li><a href='%1'>Chapter %2</a></li>")
                .arg(PagePath(site, chapters.back(), 1))
                .arg(n);
  }
  site.AddPage(QStringLiteral("/list.html"), list + QStringLiteral("</ol></body></html>"));
  rig.setting.max_download = 2;
  rig.InstallViewer(); // nothing may open a viewer of the machine's
  CFolivexDlg& window = rig.Open();
  RunningWatch watch(*rig.tasks);
  const QString base = rig.folder.File("comics/");

  int added = -1;
  DriveNextModal<DlgSearchLink>([&](DlgSearchLink& dialog) {
    dialog.AddressEdit()->clear();
    QTest::keyClicks(dialog.AddressEdit(), site.Url(QStringLiteral("/list.html")));
    dialog.FolderEdit()->clear();
    QTest::keyClicks(dialog.FolderEdit(), base);
    QTest::mouseClick(dialog.StartNowRadio(), Qt::LeftButton);
    QTest::mouseClick(dialog.SearchButton(), Qt::LeftButton);
    if (!WaitFor([&] { return !dialog.IsSearching(); }, kStartTimeoutMs)) {
      ADD_FAILURE() << "the link search never ended";
      return;
    }
    if (!dialog.ShowsFoundLinks()) {
      ADD_FAILURE() << "the found links were never shown";
      return;
    }
    QTest::mouseClick(dialog.AddButton(), Qt::LeftButton);
    added = dialog.AddedCount();
  });
  window.OnCommand(CFolivexDlg::kSearchLinks);
  ASSERT_EQ(added, 3);
  ASSERT_EQ(rig.tasks->Count(), 3);
  ASSERT_FALSE(rig.launcher.starts.empty());
  EXPECT_EQ(rig.launcher.starts[0].job.searchLink, QStringLiteral("1"));
  for (int n = 0; n < 3; ++n) {
    EXPECT_EQ((*rig.tasks)[n]->url, chapters[n].PageUrl(site, 1));
    EXPECT_EQ((*rig.tasks)[n]->folder, base + QStringLiteral("Chapter %1/").arg(n + 1));
  }

  ASSERT_TRUE(WaitFor([&] {
    watch.Sample();
    for (const auto& task : *rig.tasks)
      if (task->status != TASK_STOP) return false;
    return true;
  }, kWalkTimeoutMs));
  EXPECT_EQ(watch.maxRunning, 2) << "two slots used, never more";
  EXPECT_LE(watch.maxGreeted, 2) << "engines accepted at once";
  for (int n = 0; n < 3; ++n) {
    CTaskInfo* task = (*rig.tasks)[n];
    EXPECT_TRUE(task->IsFinished()) << n << ": " << task->finish << " of " << task->total;
    EXPECT_EQ(task->StateName(), QStringLiteral("ok")) << n;
    EXPECT_NE(rig.RowOf(task->id), nullptr) << n;
    ExpectPagesSaved(chapters[n], task->folder);
  }
  EXPECT_TRUE(WaitFor([&] { return rig.launcher.AllEnded(); }, 30000)) << "every engine quit";
}

} // namespace
