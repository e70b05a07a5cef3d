// The real Gantrell with its real browser, driven only by the task manager: one task on a
// local five-page chapter goes from queued to finished, every page lands in the task folder,
// the task file records the progress and the engine ends when told to.
#include "chapter_site.h"
#include "common/library_init.h"
#include "common/program_folder.h"
#include "frontend_fixture.h"
#include "common/skin_loader.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

using namespace frontend_test;
using testing_support::WaitFor;

constexpr int kPages = 5;
constexpr int kWalkTimeoutMs = 240000; // a browser on a loaded 2-core machine

class EngineEndToEndTest : public ::testing::Test {
protected:
  EngineEndToEndTest() {
    // Command-file paths must agree with the engine's, which lives in the built program
    // folder; the tasks themselves stay in the sandbox.
    common::SetProgramFolder(testing_support::AppFolder());
    CTaskStore::SetStoreFolder(store_.path());
    QDir(store_.path()).mkpath(QStringLiteral("task"));
    FCSkinLoader::ResetLanguageCache();
    launcher_.RunRequestedProgram();
  }
  ~EngineEndToEndTest() override {
    tasks_.StopAllTasks();
    launcher_.KillAll();
    CTaskStore::SetStoreFolder(QString());
    common::SetProgramFolder(QString());
    FCSkinLoader::ResetLanguageCache();
  }

  ImageLibraryInit magick_; // the chapter's pictures are made here
  testing_support::LocalSite site_;
  testing_support::Sandbox store_;
  testing_support::Sandbox downloads_;
  CSetting setting_;
  RecordingLauncher launcher_;
  CountingShutdown shutdown_;
  CTaskManager tasks_{setting_, launcher_, shutdown_};
  TestMainWindow window_{tasks_};
};

TEST_F(EngineEndToEndTest, QueuedTaskIsDownloadedCompletelyByTheRealEngine) {
  const testing_support::Chapter chapter =
      testing_support::AddChapter(site_, QStringLiteral("/comic/"),
                                  testing_support::ChapterKind::NextLinks, kPages);
  window_.shutdownChecked = true;
  CTaskInfo* task = tasks_.AddTask(chapter.PageUrl(site_, 1), downloads_.path(), true);
  ASSERT_NE(task, nullptr);

  ASSERT_TRUE(WaitFor([&] { return task->status == TASK_STOP; }, kWalkTimeoutMs))
      << "finish " << task->finish << " of " << task->total;
  EXPECT_TRUE(task->IsFinished());
  EXPECT_EQ(task->total, kPages);
  EXPECT_EQ(task->finish, kPages);
  EXPECT_TRUE(task->error_text.isEmpty());
  EXPECT_FALSE(task->title.isEmpty());
  EXPECT_EQ(task->start_count, 1) << "no stall, no restart";
  EXPECT_EQ(task->now_url, chapter.PageUrl(site_, kPages));

  const QString folder = common::WithTrailingSlash(downloads_.path());
  for (int page = 1; page <= kPages; ++page) {
    const QString name = QStringLiteral("%1.jpg").arg(page, 3, 10, QLatin1Char('0'));
    EXPECT_EQ(testing_support::ReadBytes(folder + name), chapter.images[page - 1])
        << name.toStdString();
  }
  CTaskInfo onDisk;
  ASSERT_TRUE(QFileInfo::exists(task->ini)) << task->ini.toStdString();
  CTaskStore::LoadTaskFile(onDisk, task->ini);
  EXPECT_EQ(onDisk.finish, kPages);
  EXPECT_EQ(onDisk.total, kPages);

  EXPECT_TRUE(WaitFor([&] { return launcher_.AllEnded(); }, 30000)) << "the engine quit";
  EXPECT_EQ(shutdown_.calls, 1) << "the last task ended with the box checked";
}

} // namespace
