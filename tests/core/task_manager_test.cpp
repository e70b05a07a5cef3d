// Task manager without engine processes: queuing, starting (hand-off contents), stopping,
// the three report rules, the end-of-queue shutdown check and the engine watchdog.
#include "common/command_file.h"
#include "common/program_folder.h"
#include "common/protocol.h"
#include "core/task_end_notice.h"
#include "core/folder_rule.h"
#include "core/task_event_observer.h"
#include "frontend_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

using namespace frontend_test;
using testing_support::WaitFor;

class TaskManagerTest : public ::testing::Test {
protected:
  // Each task gets a folder of its own ("comic", "comic-2", ...): two tasks never share one.
  CTaskInfo* Add(const QString& url, bool startNow = false) {
    const QString name = folder.Downloads() + "comic" + (added_ ? QString("-%1").arg(added_ + 1) : QString());
    ++added_;
    QDir().mkpath(name);
    return tasks.AddTask(url, name, startNow);
  }
  // A task that runs with a stand-in engine that said hello.
  CTaskInfo* Running(const QString& url, EngineStandIn& engine) {
    CTaskInfo* r = Add(url);
    tasks.StartTask(r->id);
    EXPECT_EQ(tasks.AcceptEngine(r->id, engine.Handle()), protocol::ENGINE_HELLO_ACCEPTED);
    return r;
  }
  // Sends `items` as the engine of the task they name does, or as the engine of `messageId`.
  void Report(const QStringList& items, std::optional<std::int32_t> messageId = {}) {
    static int number = 1;
    const std::int32_t id = messageId.value_or(items.value(1).toInt());
    ASSERT_TRUE(common::WriteCommandFile(common::CommandFilePath(id, number), items));
    EXPECT_EQ(platform::SendMessage(window.Handle(), protocol::WM_APP_ENGINE_COMMAND, id, number), 0);
    EXPECT_FALSE(QFileInfo::exists(common::CommandFilePath(id, number))) << "read, then deleted";
    ++number;
  }
  static QString Id(const CTaskInfo* r) { return QString::number(r->id); }

  ProgramFolderSandbox folder;
  int added_ = 0;
  CSetting setting;
  RecordingLauncher launcher;
  CountingShutdown shutdown;
  CTaskManager tasks{setting, launcher, shutdown};
  TestMainWindow window{tasks};
};

TEST_F(TaskManagerTest, AddTaskRulesAndLetterCase) {
  CTaskInfo* a = Add("http://site/Chapter");
  CTaskInfo* b = Add("http://site/chapter");
  ASSERT_TRUE(a && b);
  EXPECT_NE(a->id, b->id);
  EXPECT_EQ(Add("http://site/Chapter"), nullptr) << "an exact repeat adds nothing";
  EXPECT_EQ(tasks.Count(), 2);
  EXPECT_EQ(a->folder, folder.Downloads() + "comic/");
  EXPECT_EQ(a->now_url, a->url);
  EXPECT_EQ(a->ini, CTaskStore::TaskFilePath(a->id));
  EXPECT_TRUE(QFileInfo::exists(a->ini));
}

TEST_F(TaskManagerTest, DeletingTheHighestIdNeverReusesIt) {
  Add("http://a/1");
  CTaskInfo* last = Add("http://a/2");
  const std::int32_t highest = last->id;
  const QString file = last->ini;
  tasks.DeleteTask(last);
  EXPECT_FALSE(QFileInfo::exists(file));
  EXPECT_GT(Add("http://a/3")->id, highest);
}

TEST_F(TaskManagerTest, StartWritesTheHandOffAndLaunchesTheEngine) {
  CTaskInfo* r = Add("http://site/c/1.html");
  r->now_index = 4;
  r->now_url = "http://site/c/4.html";
  r->error_text = "old failure";
  tasks.StartTask(r->id);
  ASSERT_EQ(launcher.launches.size(), 1u);
  const auto& launch = launcher.launches[0];
  EXPECT_EQ(launch.program, common::ProgramFolder() + "Gantrell");
  EXPECT_EQ(launch.job.hwnd, window.Handle());
  EXPECT_EQ(launch.job.id.value_or(0), r->id);
  EXPECT_EQ(launch.job.index.value_or(0), 4);
  EXPECT_EQ(launch.job.url.value_or(""), "http://site/c/4.html");
  EXPECT_EQ(launch.job.folder.value_or(""), folder.Downloads() + "comic/");
  EXPECT_FALSE(launch.job.searchLink.has_value());
  // The defaults leave the file as older engines know it.
  EXPECT_FALSE(launch.job.pageDelay.has_value());
  EXPECT_FALSE(launch.job.pageMemory.has_value());
  EXPECT_FALSE(launch.job.cookiesFile.has_value());
  EXPECT_FALSE(QFileInfo::exists(launch.handOff)) << "no engine started, so no file is left";
  EXPECT_EQ(r->status, TASK_RUNNING);
  EXPECT_EQ(r->start_count, 1);
  EXPECT_TRUE(r->error_text.isEmpty());

  setting.page_delay = 4;
  setting.page_memory = 900;
  setting.cookies_file = "/home/u/cookies.txt";
  tasks.StartTask(r->id);
  ASSERT_EQ(launcher.launches.size(), 2u);
  EXPECT_EQ(launcher.launches[1].job.pageDelay, 4);
  EXPECT_EQ(launcher.launches[1].job.pageMemory, 900);
  EXPECT_EQ(launcher.launches[1].job.cookiesFile, "/home/u/cookies.txt");
}

TEST_F(TaskManagerTest, TaskWithoutAnAbsoluteFolderNeverReachesAnEngine) {
  for (const QString& bad : {QString(), QString("relative/dir/"), QString("/"), QString("//")}) {
    CTaskInfo* r = Add("http://site/" + bad);
    r->folder = bad; // as a task file edited by hand may have it
    tasks.StartTask(r->id);
    EXPECT_EQ(r->status, TASK_STOP) << bad.toStdString();
    EXPECT_EQ(r->error_text, ProgramFolderSandbox::ReasonText("folder_not_absolute", bad));
  }
  EXPECT_TRUE(launcher.launches.empty());

  CTaskInfo* r = Add("http://site/noslash");
  r->folder = "/tmp/comic/no slash";
  tasks.StartTask(r->id);
  ASSERT_EQ(launcher.launches.size(), 1u);
  EXPECT_EQ(launcher.launches[0].job.folder.value_or(""), "/tmp/comic/no slash/");
}

TEST_F(TaskManagerTest, UnusableTaskDoesNotHoldUpTheQueue) {
  CTaskInfo* bad = Add("http://site/bad");
  bad->folder = "relative/";
  CTaskInfo* good = Add("http://site/good");
  tasks.QueueTask(bad);
  tasks.QueueTask(good);
  ASSERT_TRUE(WaitFor([&] { return good->status == TASK_RUNNING; }, 5000));
  EXPECT_EQ(bad->status, TASK_STOP);
}

TEST_F(TaskManagerTest, NoMainWindowNoStart) {
  CTaskInfo* r = Add("http://site/c/1.html");
  tasks.SetMainWindow(nullptr);
  tasks.StartTask(r->id);
  EXPECT_TRUE(launcher.launches.empty());
  EXPECT_EQ(r->status, TASK_STOP);
  tasks.SetMainWindow(&window);
}

TEST_F(TaskManagerTest, HelloIsAcceptedOnlyWhileRunning) {
  EngineStandIn engine;
  CTaskInfo* r = Add("http://site/x");
  EXPECT_EQ(tasks.AcceptEngine(r->id, engine.Handle()), 0) << "stopped task";
  EXPECT_EQ(tasks.AcceptEngine(9999, engine.Handle()), 0) << "unknown id";
  tasks.StartTask(r->id);
  EXPECT_EQ(platform::SendMessage(window.Handle(), protocol::WM_APP_ENGINE_HELLO, r->id,
                                  engine.Handle()),
            protocol::ENGINE_HELLO_ACCEPTED);
  EXPECT_EQ(r->engine_wnd, engine.Handle());
}

TEST_F(TaskManagerTest, StoppingTellsOnlyARunningEngineToQuit) {
  EngineStandIn engine;
  CTaskInfo* waiting = Add("http://site/w");
  tasks.QueueTask(waiting);
  EXPECT_EQ(waiting->status, TASK_WAIT);
  tasks.StopTask(waiting->id);
  EXPECT_EQ(waiting->status, TASK_STOP);

  CTaskInfo* running = Running("http://site/r", engine);
  tasks.StopTask(running->id);
  EXPECT_EQ(engine.quits, 1);
  EXPECT_EQ(running->status, TASK_STOP);
  EXPECT_EQ(running->engine_wnd, 0);
}

TEST_F(TaskManagerTest, QueueSkipsFinishedAndRunningTasks) {
  EngineStandIn engine;
  CTaskInfo* done = Add("http://site/done");
  done->total = 3;
  done->finish = 3;
  tasks.QueueTask(done);
  EXPECT_EQ(done->status, TASK_STOP);
  CTaskInfo* running = Running("http://site/run", engine);
  tasks.QueueTask(running);
  EXPECT_EQ(running->status, TASK_RUNNING);
}

TEST_F(TaskManagerTest, PageInfoNeverLowersTheTotalAndTakesTheTitleUntilPageOneIsSaved) {
  EngineStandIn engine;
  CTaskInfo* r = Running("http://site/c", engine);
  Report({"100", Id(r), "First title", "12"});
  EXPECT_EQ(r->title, "First title");
  EXPECT_EQ(r->total, 12);
  Report({"100", Id(r), "Chapter 5 page 1", "0"});
  EXPECT_EQ(r->total, 12);
  EXPECT_EQ(r->title, "Chapter 5 page 1");
  // The report just before a page is saved has the count the engine goes on by.
  Report({"100", Id(r), "Chapter 5 page 1", "12"});
  // Right after page 1 is saved now_index still reads 1, but the reports are page 2's.
  Report({"101", Id(r), "1", "http://site/c/1"});
  ASSERT_EQ(r->now_index, 1);
  Report({"100", Id(r), "Chapter 5 page 2", "15"});
  EXPECT_EQ(r->title, "Chapter 5 page 1");
  EXPECT_EQ(r->total, 15);
  Report({"100", Id(r), "wrong count"});
  Report({"100", Id(r), "t", "99", "extra"});
  EXPECT_EQ(r->total, 15) << "reports with the wrong item count are ignored";
}

TEST_F(TaskManagerTest, PageSavedProgressIsStoredAndTheLastPageStopsTheTask) {
  EngineStandIn engine;
  CTaskInfo* r = Running("http://site/c", engine);
  Report({"100", Id(r), "T", "12"});
  Report({"101", Id(r), "11", "http://site/c/11"});
  EXPECT_EQ(r->status, TASK_RUNNING);
  EXPECT_EQ(r->now_index, 11);
  EXPECT_EQ(r->finish, 11);
  CTaskInfo onDisk;
  CTaskStore::LoadTaskFile(onDisk, r->ini);
  EXPECT_EQ(onDisk.now_url, "http://site/c/11");

  Report({"101", Id(r), "12", "http://site/c/12"});
  EXPECT_EQ(r->status, TASK_STOP);
  EXPECT_TRUE(r->IsFinished());
  EXPECT_EQ(r->StateName(), "ok");
  EXPECT_EQ(engine.quits, 1);

  Report({"101", Id(r), "13", "http://site/c/13"});
  EXPECT_EQ(r->finish, 12) << "reports for a stopped task are dropped";
}

TEST_F(TaskManagerTest, FinishedChapterIsPackedBeforeTheQueueCountsAsDone) {
  setting.pack_cbz = 1;
  window.shutdownChecked = true;
  EngineStandIn engine;
  const QString chapter = folder.File("comic/one");
  QDir().mkpath(chapter);
  testing_support::WriteBytes(chapter + "/001.png", "page one");
  testing_support::WriteBytes(chapter + "/002.jpg", "page two");
  CTaskInfo* r = Running("http://site/one", engine);
  r->folder = chapter + "/";
  Report({"100", Id(r), "One", "2"});
  Report({"101", Id(r), "2", "http://site/one/2"});
  EXPECT_TRUE(r->IsFinished());
  EXPECT_TRUE(tasks.IsPacking()) << "packed after the report, not while the engine waits";
  EXPECT_EQ(shutdown.calls, 0) << "no power-off while pages are still being packed";
  ASSERT_TRUE(WaitFor([&] { return !tasks.IsPacking(); }, 5000));
  EXPECT_EQ(r->archive, folder.File("comic/one.cbz"));
  EXPECT_TRUE(QFileInfo::exists(r->archive));
  EXPECT_FALSE(QFileInfo::exists(chapter));
  EXPECT_TRUE(r->error_text.isEmpty());
  EXPECT_EQ(shutdown.calls, 1);

  // Pages that cannot be packed stay, and the finished task says why.
  CTaskInfo* lost = Running("http://site/two", engine);
  lost->folder = folder.File("comic/two/");
  Report({"100", Id(lost), "Two", "1"});
  Report({"101", Id(lost), "1", "http://site/two/1"});
  ASSERT_TRUE(WaitFor([&] { return !tasks.IsPacking(); }, 5000));
  EXPECT_TRUE(lost->IsFinished());
  EXPECT_TRUE(lost->archive.isEmpty());
  EXPECT_FALSE(lost->error_text.isEmpty());
}

TEST_F(TaskManagerTest, ChapterWhoseStatedCountShrankEndsWhereTheLatestCountSays) {
  EngineStandIn engine;
  CTaskInfo* r = Running("http://site/c", engine);
  Report({"100", Id(r), "T", "6"});
  Report({"101", Id(r), "1", "http://site/c/1"});
  Report({"100", Id(r), "T", "4"}); // the engine stops after page 4 by this count
  EXPECT_EQ(r->total, 6) << "the list shows the largest count while the chapter runs";
  Report({"101", Id(r), "2", "http://site/c/2"});
  Report({"100", Id(r), "T", "5"});
  Report({"101", Id(r), "4", "http://site/c/4"});
  EXPECT_EQ(r->status, TASK_RUNNING) << "page 4 is not the last of 5";
  Report({"100", Id(r), "T", "4"});
  Report({"101", Id(r), "4", "http://site/c/4"});
  EXPECT_EQ(r->status, TASK_STOP);
  EXPECT_TRUE(r->IsFinished());
  EXPECT_EQ(r->total, 4);
  EXPECT_EQ(engine.quits, 1);
  CTaskInfo onDisk;
  CTaskStore::LoadTaskFile(onDisk, r->ini);
  EXPECT_EQ(onDisk.total, 4);

  // A later start has no count of its own until its engine reports one.
  CTaskInfo* next = Running("http://site/d", engine);
  next->total = 9;
  Report({"101", Id(next), "3", "http://site/d/3"});
  EXPECT_EQ(next->status, TASK_RUNNING);
}

TEST_F(TaskManagerTest, PageSavedAfterACountOfNoneIsTheChaptersLastAndTheTaskIsDone) {
  // The engine goes no further than a page whose latest count is 0: it never jumps past it.
  EngineStandIn engine;
  CTaskInfo* r = Running("http://site/c", engine);
  Report({"100", Id(r), "T", "5"});
  Report({"101", Id(r), "1", "http://site/c/1"});
  Report({"100", Id(r), "T", "0"});
  EXPECT_EQ(r->status, TASK_RUNNING) << "a count of none alone ends nothing";
  Report({"101", Id(r), "2", "http://site/c/2"});
  EXPECT_EQ(r->status, TASK_STOP);
  EXPECT_TRUE(r->IsFinished()) << r->StateName().toStdString();
  EXPECT_EQ(r->total, 2);
  EXPECT_EQ(engine.quits, 1);

  // A chapter that never had a count ends as done with its only page.
  CTaskInfo* single = Running("http://site/s", engine);
  Report({"100", Id(single), "S", "0"});
  Report({"101", Id(single), "1", "http://site/s/1"});
  EXPECT_EQ(single->StateName(), "ok");
  CTaskInfo onDisk;
  CTaskStore::LoadTaskFile(onDisk, single->ini);
  EXPECT_EQ(onDisk.total, 1);
}

TEST_F(TaskManagerTest, PageSavedWithUnknownTotalEndsTheTaskAndBadPagesAreDropped) {
  EngineStandIn engine;
  CTaskInfo* r = Running("http://site/c", engine);
  Report({"101", Id(r), "0", "http://site/c/0"});
  EXPECT_EQ(r->now_index, 1) << "page numbers start at 1";
  EXPECT_EQ(r->status, TASK_RUNNING);
  Report({"101", Id(r), "1", "http://site/c/1"});
  EXPECT_EQ(r->status, TASK_STOP);
}

TEST_F(TaskManagerTest, StallAtPageOneFailsTheTask) {
  EngineStandIn engine;
  CTaskInfo* r = Running("http://site/c", engine);
  Report({"102", Id(r)});
  EXPECT_EQ(r->status, TASK_STOP);
  EXPECT_EQ(r->error_text, ProgramFolderSandbox::ErrorText());
  EXPECT_EQ(r->StateName(), "error");
  EXPECT_EQ(engine.quits, 1);
  EXPECT_EQ(launcher.launches.size(), 1u);
}

TEST_F(TaskManagerTest, StallAfterProgressRestartsFromTheLastSavedPage) {
  EngineStandIn engine;
  CTaskInfo* r = Add("http://site/c");
  r->now_index = 5;
  r->now_url = "http://site/c/5";
  for (int i = 0; i < 3; ++i) tasks.StartTask(r->id);
  ASSERT_EQ(tasks.AcceptEngine(r->id, engine.Handle()), protocol::ENGINE_HELLO_ACCEPTED);
  Report({"102", Id(r)});
  EXPECT_EQ(r->start_count, 4);
  EXPECT_EQ(r->status, TASK_RUNNING);
  EXPECT_EQ(r->engine_wnd, 0);
  EXPECT_EQ(engine.quits, 1) << "the stalled engine is told to quit";
  ASSERT_EQ(launcher.launches.size(), 4u);
  EXPECT_EQ(launcher.launches.back().job.index.value_or(0), 5);
  EXPECT_EQ(launcher.launches.back().job.url.value_or(""), "http://site/c/5");
  Report({"102", Id(r), "extra"});
  EXPECT_EQ(launcher.launches.size(), 4u) << "a stall report has exactly two items";
}

TEST_F(TaskManagerTest, StallWithAFolderThatCannotTakePagesFailsAtOnceWithTheReason) {
  EngineStandIn engine;
  CTaskInfo* r = Running("http://site/c", engine);
  r->now_index = 5;
  ASSERT_TRUE(QDir(r->folder).removeRecursively());
  Report({"102", Id(r)});
  EXPECT_EQ(r->status, TASK_STOP);
  EXPECT_EQ(r->error_text, ProgramFolderSandbox::ErrorText(CTaskManager::kErrorFolderMissing));
  EXPECT_EQ(launcher.launches.size(), 1u) << "no restart into a missing folder";

  const QString writable = folder.Downloads();
  ASSERT_TRUE(testing_support::WriteBytes(writable + "plain file", "x"));
  EXPECT_EQ(CTaskManager::FolderProblem(writable), 0);
  EXPECT_EQ(QDir(writable).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList({"plain file"})) << "the probe leaves nothing behind";
  EXPECT_EQ(CTaskManager::FolderProblem(writable + "plain file"), CTaskManager::kErrorFolderMissing);
  EXPECT_EQ(CTaskManager::FolderProblem(writable + "gone/"), CTaskManager::kErrorFolderMissing);
  // A folder no one can add files to, whatever the permissions say (root included).
  EXPECT_EQ(CTaskManager::FolderProblem("/proc/self/"), CTaskManager::kErrorFolderLocked);
}

TEST_F(TaskManagerTest, TheEnginesReasonBecomesTheFailedTasksText) {
  const struct {
    QStringList failure;
    int page;        ///< the task's page when it stalls
    QString text;    ///< its error text afterwards; empty: it restarts
  } cases[] = {
      {{"105", "", "http", "404"}, 1, ProgramFolderSandbox::ReasonText("http", "404")},
      // A reason without a text in the language file still says which.
      {{"105", "", "site_refused", ""}, 1, ProgramFolderSandbox::ErrorText() + " (site_refused)"},
      // A folder that takes no pages fails at once, wherever the task stands.
      {{"105", "", "disk_full", ""}, 5, ProgramFolderSandbox::ErrorText(CTaskManager::kErrorDiskFull)},
      {{"105", "", "folder", "Permission denied"}, 5,
       ProgramFolderSandbox::ErrorText() + " (folder: Permission denied)"},
      {{"105", "", "no_image", ""}, 5, ""},
      // A reason of a newer engine is dropped; the stall keeps its old meaning.
      {{"105", "", "gremlins", "x"}, 1, ProgramFolderSandbox::ErrorText()},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failure.join('|').toStdString());
    EngineStandIn engine;
    CTaskInfo* r = Running("http://site/c" + QString::number(n++), engine);
    r->now_index = c.page;
    QStringList failure = c.failure;
    failure[1] = Id(r);
    Report(failure);
    EXPECT_EQ(r->status, TASK_RUNNING) << "the reason alone changes nothing";
    Report({"102", Id(r)});
    if (c.text.isEmpty()) {
      EXPECT_EQ(r->status, TASK_RUNNING);
      EXPECT_EQ(r->start_count, 2);
    } else {
      EXPECT_EQ(r->status, TASK_STOP);
      EXPECT_EQ(r->error_text, c.text);
      EXPECT_EQ(r->start_count, 1);
    }
    tasks.StopTask(r->id);
  }
}

TEST_F(TaskManagerTest, ThreeRestartsWithoutANewPageFailWithTheLastReason) {
  EngineStandIn engine;
  CTaskInfo* r = Running("http://site/c", engine);
  r->now_index = r->finish = 2;
  r->total = 20;
  const auto stall = [&](const QString& reason) {
    Report({"105", Id(r), reason, ""});
    Report({"102", Id(r)});
  };
  // Each restart saves its first page again; that is no new page.
  const auto restartedEngineSavesThePageAgain = [&] {
    ASSERT_EQ(tasks.AcceptEngine(r->id, engine.Handle()), protocol::ENGINE_HELLO_ACCEPTED);
    Report({"101", Id(r), QString::number(r->finish), "http://site/c/p"});
  };
  for (int restart = 1; restart <= 2; ++restart) {
    stall("no_image");
    EXPECT_EQ(r->start_count, restart + 1);
    restartedEngineSavesThePageAgain();
  }
  // A new page: the count starts again.
  Report({"101", Id(r), "3", "http://site/c/3"});
  for (int restart = 1; restart <= CTaskManager::kMaxRestartsWithoutPage; ++restart) {
    stall("no_image");
    ASSERT_EQ(r->status, TASK_RUNNING) << restart;
    restartedEngineSavesThePageAgain();
  }
  EXPECT_EQ(r->start_count, 6);
  stall("image_redirects");
  EXPECT_EQ(r->status, TASK_STOP);
  EXPECT_EQ(r->start_count, 6);
  EXPECT_EQ(r->error_text, ProgramFolderSandbox::ReasonText("image_redirects", ""));

  // Started again by the user, it gets its restarts again, and its starts count anew.
  tasks.QueueTask(r);
  EXPECT_EQ(r->start_count, 0);
  tasks.StartTask(r->id);
  tasks.QueueTask(r); // running: nothing changes
  EXPECT_EQ(r->start_count, 1);
  ASSERT_EQ(tasks.AcceptEngine(r->id, engine.Handle()), protocol::ENGINE_HELLO_ACCEPTED);
  EXPECT_TRUE(r->error_text.isEmpty());
  stall("no_image");
  EXPECT_EQ(r->status, TASK_RUNNING);
  tasks.StopAllTasks();
}

TEST_F(TaskManagerTest, ATaskThatFailsBeforeItsFirstPageRemovesOnlyTheEmptyFoldersItMade) {
  const QString base = folder.Downloads();
  ASSERT_EQ(folder_rule::CheckTaskFolder(base + "new/chapter"), folder_rule::Problem::None);
  ASSERT_EQ(folder_rule::CheckTaskFolder(base + "new/other"), folder_rule::Problem::None);
  ASSERT_EQ(folder_rule::CheckTaskFolder(base + "kept"), folder_rule::Problem::None);
  ASSERT_TRUE(testing_support::WriteBytes(base + "kept/notes.txt", "mine"));
  QDir().mkpath(base + "users");
  ASSERT_EQ(folder_rule::CheckTaskFolder(base + "users"), folder_rule::Problem::None);

  const auto failAtPageOne = [&](const QString& url, const QString& into) {
    CTaskInfo* r = tasks.AddTask(url, into, false);
    EngineStandIn engine;
    tasks.StartTask(r->id);
    EXPECT_EQ(tasks.AcceptEngine(r->id, engine.Handle()), protocol::ENGINE_HELLO_ACCEPTED);
    Report({"102", Id(r)});
    EXPECT_EQ(r->status, TASK_STOP);
    return r;
  };
  CTaskInfo* made = failAtPageOne("http://a/1", base + "new/chapter");
  EXPECT_EQ(made->made_folder, QDir::cleanPath(base + "new")) << "made with its parent";
  EXPECT_FALSE(QFileInfo::exists(base + "new/chapter"));
  EXPECT_TRUE(QFileInfo::exists(base + "new/other")) << "made for another chapter";
  failAtPageOne("http://a/2", base + "kept");
  EXPECT_TRUE(QFileInfo::exists(base + "kept/notes.txt")) << "a folder with something in it stays";
  failAtPageOne("http://a/3", base + "users");
  EXPECT_TRUE(QFileInfo::exists(base + "users")) << "the user's own folder";

  // Started again, the task makes its folder again; once a page is saved the folder is the
  // user's, whatever happens next.
  tasks.StartTask(made->id);
  EXPECT_TRUE(QFileInfo(base + "new/chapter").isDir());
  EngineStandIn engine;
  ASSERT_EQ(tasks.AcceptEngine(made->id, engine.Handle()), protocol::ENGINE_HELLO_ACCEPTED);
  Report({"100", Id(made), "T", "5"});
  Report({"101", Id(made), "1", "http://a/1"});
  EXPECT_TRUE(made->made_folder.isEmpty());
  Report({"102", Id(made)});
  EXPECT_EQ(made->status, TASK_STOP);
  EXPECT_TRUE(QFileInfo(base + "new/chapter").isDir());
}

TEST_F(TaskManagerTest, StallAfterMoreThanAHundredStartsFails) {
  CTaskInfo* r = Add("http://site/c");
  r->now_index = 5;
  r->start_count = 100;
  tasks.StartTask(r->id); // the 101st start
  Report({"102", Id(r)});
  EXPECT_EQ(r->status, TASK_STOP);
  EXPECT_FALSE(r->error_text.isEmpty());
}

TEST_F(TaskManagerTest, DeletedTaskDropsLaterReports) {
  EngineStandIn engine;
  CTaskInfo* r = Running("http://site/c", engine);
  const QString id = Id(r);
  tasks.DeleteTask(r);
  EXPECT_EQ(engine.quits, 1);
  Report({"101", id, "3", "http://site/c/3"});
  Report({"102", id});
  EXPECT_EQ(tasks.Count(), 0);
  EXPECT_EQ(launcher.launches.size(), 1u);
}

TEST_F(TaskManagerTest, ReportNamingAnotherTaskThanItsMessageIsIgnored) {
  EngineStandIn engine;
  CTaskInfo* sender = Running("http://site/a", engine);
  CTaskInfo* other = Running("http://site/b", engine);
  Report({"100", Id(other), "Foreign", "30"}, sender->id);
  Report({"101", Id(other), "4", "http://site/b/4"}, sender->id);
  Report({"102", Id(other)}, sender->id);
  for (const CTaskInfo* r : {sender, other}) {
    EXPECT_EQ(r->status, TASK_RUNNING);
    EXPECT_EQ(r->total, 0);
    EXPECT_EQ(r->finish, 0);
    EXPECT_NE(r->title, "Foreign");
  }
  EXPECT_EQ(launcher.launches.size(), 2u) << "no restart";
  EXPECT_EQ(engine.quits, 0);
  Report({"101", Id(other), "4", "http://site/b/4"}, other->id);
  EXPECT_EQ(other->finish, 4) << "the same report from its own engine counts";
}

TEST_F(TaskManagerTest, UnknownCodesAndEmptyFilesAreIgnored) {
  EngineStandIn engine;
  CTaskInfo* r = Running("http://site/c", engine);
  Report({"103", Id(r), "x", "y"});
  tasks.OnEngineCommand(r->id, 999); // no such file
  EXPECT_EQ(r->status, TASK_RUNNING);
}

TEST_F(TaskManagerTest, ShutdownOnlyAfterTheLastTaskAndOnlyWhenChecked) {
  EngineStandIn engine;
  window.shutdownChecked = true;
  CTaskInfo* first = Running("http://site/1", engine);
  CTaskInfo* second = Add("http://site/2");
  tasks.QueueTask(second);
  Report({"101", Id(first), "1", "http://site/1/1"}); // total 0: the first page completes it
  EXPECT_EQ(first->status, TASK_STOP);
  EXPECT_EQ(shutdown.calls, 0) << "another task still waits";

  ASSERT_TRUE(WaitFor([&] { return second->status == TASK_RUNNING; }));
  ASSERT_EQ(tasks.AcceptEngine(second->id, engine.Handle()), protocol::ENGINE_HELLO_ACCEPTED);
  Report({"101", Id(second), "1", "http://site/2/1"});
  EXPECT_EQ(shutdown.calls, 1);

  window.shutdownChecked = false;
  CTaskInfo* third = Running("http://site/3", engine);
  Report({"102", Id(third)});
  EXPECT_EQ(shutdown.calls, 1) << "unchecked: nothing happens";
}

TEST_F(TaskManagerTest, RemoveFinishedTasksKeepsTheOthers) {
  CTaskInfo* a = Add("http://a/1");
  CTaskInfo* b = Add("http://a/2");
  a->total = b->total = 4;
  a->finish = 4;
  b->finish = 2;
  const std::int32_t keep = b->id;
  tasks.RemoveFinishedTasks();
  ASSERT_EQ(tasks.Count(), 1);
  EXPECT_EQ(tasks[0]->id, keep);
}

class RecordingObserver : public CTaskEventObserver {
public:
  void OnTaskAdded(std::int32_t id) override { log << "added " + QString::number(id); }
  void OnTaskChanged() override { log << "changed"; }
  void OnTaskRemoved(std::int32_t id) override { log << "removed " + QString::number(id); }
  QStringList log;
};

TEST_F(TaskManagerTest, ObserversHearAddChangeAndRemoveInOrder) {
  RecordingObserver observer;
  CTaskInfo* r = Add("http://a/1");
  const QString id = Id(r);
  tasks.DeleteTask(r);
  EXPECT_EQ(observer.log, QStringList({"added " + id, "changed", "changed", "removed " + id}));
}

TEST_F(TaskManagerTest, ObserverDestroyedDuringANotificationIsSkipped) {
  struct Killer : CTaskEventObserver {
    std::unique_ptr<RecordingObserver>* victim = nullptr;
    void OnTaskChanged() override { victim->reset(); }
  } killer;
  auto victim = std::make_unique<RecordingObserver>();
  killer.victim = &victim;
  CTaskEventObserver::NotifyTaskChanged();
  EXPECT_EQ(victim, nullptr);
}

// ---- watchdog -------------------------------------------------------------------------

TEST_F(TaskManagerTest, EngineThatNeverSaysHelloIsTakenForStalled) {
  tasks.SetWatchdog(200, 20);
  CTaskInfo* fresh = Add("http://site/fresh");
  CTaskInfo* resumed = Add("http://site/resumed");
  resumed->now_index = 5;
  tasks.StartTask(fresh->id);
  tasks.StartTask(resumed->id);
  ASSERT_TRUE(WaitFor([&] { return fresh->status == TASK_STOP; }, 5000));
  EXPECT_EQ(fresh->error_text, ProgramFolderSandbox::ReasonText("engine_no_hello", ""));
  ASSERT_TRUE(WaitFor([&] { return resumed->start_count >= 2; }, 5000));
  EXPECT_EQ(resumed->status, TASK_RUNNING);
  EXPECT_EQ(launcher.launches.back().job.index.value_or(0), 5);
  tasks.StopAllTasks();
}

TEST_F(TaskManagerTest, EngineWhoseWindowFailsTwoProbesInARowIsTakenForStalled) {
  tasks.SetWatchdog(60000, 3600000); // passes run only when the test asks
  EngineStandIn engine;
  CTaskInfo* r = Add("http://site/c");
  r->now_index = 3;
  tasks.StartTask(r->id);
  ASSERT_EQ(tasks.AcceptEngine(r->id, engine.Handle()), protocol::ENGINE_HELLO_ACCEPTED);
  tasks.CheckEngines();
  EXPECT_EQ(r->start_count, 1) << "a living engine is left alone";
  engine.DestroyHandle();
  tasks.CheckEngines();
  EXPECT_EQ(r->start_count, 1) << "one probe can fail while the engine is only busy";
  tasks.CheckEngines();
  EXPECT_EQ(r->start_count, 2);
  EXPECT_EQ(r->status, TASK_RUNNING);
  EXPECT_EQ(r->engine_wnd, 0);
  EXPECT_EQ(r->failure_text, ProgramFolderSandbox::ReasonText("engine_crashed", ""));
  tasks.StopAllTasks();
}

TEST_F(TaskManagerTest, AcceptedEngineThatFallsSilentIsTakenForStalled) {
  tasks.SetWatchdog(60000, 20);
  tasks.SetEngineTimeouts(1000, 6000);
  EngineStandIn engine;
  CTaskInfo* r = Running("http://site/c", engine);
  r->now_index = 3;
  for (int i = 0; i < 15; ++i) { // reports keep it alive past the silence limit
    WaitFor([] { return false; }, 100);
    Report({"100", Id(r), "T", "9"});
  }
  EXPECT_EQ(r->start_count, 1);
  ASSERT_TRUE(WaitFor([&] { return r->start_count == 2; }, 5000));
  EXPECT_EQ(engine.quits, 1) << "the stuck engine is told to quit";
  EXPECT_EQ(r->failure_text, ProgramFolderSandbox::ReasonText("engine_silent", ""));
  tasks.StopAllTasks();
}

} // namespace

namespace {

struct RecordingSink : FINoticeSink {
  void ShowNotice(const QString& title, const QString& text) override { notices << title + "|" + text; }
  QStringList notices;
};

TEST_F(TaskManagerTest, EndingTasksGiveOneNoticeEachAndOneSummaryAtTheEnd) {
  RecordingSink sink;
  CTaskEndNotice notice(tasks, sink);
  EngineStandIn engine;
  CTaskInfo* done = Running("http://site/done", engine);
  CTaskInfo* failed = Running("http://site/failed", engine);
  CTaskInfo* stopped = Running("http://site/stopped", engine);
  Report({"100", Id(done), "Done", "2"});
  Report({"101", Id(done), "2", "http://site/done/2"});
  ASSERT_EQ(sink.notices.size(), 1);
  EXPECT_EQ(sink.notices[0], QStringLiteral("|Done\n\n") + done->folder) << "title, pages and folder";
  tasks.StopTask(stopped->id);
  EXPECT_EQ(sink.notices.size(), 1) << "a task the user stops gets no notice";
  Report({"102", Id(failed)});
  ASSERT_EQ(sink.notices.size(), 3) << "the failure, then the summary of the queue";
  EXPECT_EQ(sink.notices[1], "|http://site/failed\n" + ProgramFolderSandbox::ErrorText());
}

} // namespace
