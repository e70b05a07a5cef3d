// Scheduling against real engine processes (the fake engine speaks the real protocol), with
// the real 100 ms selection timer and the test process as the front-end's main window.
#include "common/program_folder.h"
#include "core/task_event_observer.h"
#include "frontend_fixture.h"
#include "platform/file_lock.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

using namespace frontend_test;
using testing_support::WaitFor;

// Remembers the most tasks it ever saw running at once.
class RunningWatcher : public CTaskEventObserver {
public:
  explicit RunningWatcher(CTaskManager& tasks) : tasks_(tasks) {}
  void OnTaskChanged() override { most = std::max(most, tasks_.CountTasks(TASK_RUNNING)); }
  int most = 0;

private:
  CTaskManager& tasks_;
};

class SchedulingTest : public ::testing::Test {
protected:
  ~SchedulingTest() override {
    tasks.StopAllTasks();
    launcher.KillAll();
  }
  bool AllStopped() const { return tasks.CountTasks(TASK_RUNNING) + tasks.CountTasks(TASK_WAIT) == 0; }
  std::vector<std::int32_t> LaunchedIds() const {
    std::vector<std::int32_t> ids;
    for (const auto& launch : launcher.launches) ids.push_back(launch.job.id.value_or(0));
    return ids;
  }

  ProgramFolderSandbox folder;
  CSetting setting;
  RecordingLauncher launcher{FAKE_ENGINE_PATH};
  CountingShutdown shutdown;
  CTaskManager tasks{setting, launcher, shutdown};
  TestMainWindow window{tasks};
};

TEST_F(SchedulingTest, OneSlotRunsThreeQueuedTasksOneAfterAnother) {
  RunningWatcher watcher(tasks);
  window.shutdownChecked = true;
  std::vector<std::int32_t> ids;
  for (int i = 0; i < 3; ++i) ids.push_back(tasks.AddTask("http://site/" + QString::number(i), folder.File("c"), false)->id);
  for (const auto& record : tasks) tasks.QueueTask(record.get());
  EXPECT_TRUE(launcher.launches.empty()) << "nothing starts before the selection timer fires";

  ASSERT_TRUE(WaitFor([&] { return AllStopped(); }, 20000));
  EXPECT_EQ(LaunchedIds(), ids) << "list order is start order";
  EXPECT_EQ(watcher.most, 1);
  for (int i = 0; i < tasks.Count(); ++i) {
    EXPECT_TRUE(tasks[i]->IsFinished()) << tasks[i]->id;
    EXPECT_EQ(tasks[i]->title, "Title " + QString::number(tasks[i]->id));
    EXPECT_EQ(tasks[i]->now_url, "http://site/" + QString::number(i) + "#2");
  }
  EXPECT_EQ(shutdown.calls, 1) << "powered off once, after the last task";
  EXPECT_TRUE(QDir(folder.File("skin/cmd")).isEmpty()) << "every command file was deleted";
}

TEST_F(SchedulingTest, TenQueuedInOneCommandGiveOneSchedulingPass) {
  for (int i = 0; i < 10; ++i) tasks.AddTask("http://site/" + QString::number(i), folder.Downloads(), false);
  const int passesBefore = tasks.SelectionPasses();
  launcher.SetDefaultScript(QStringLiteral("info:2")); // then wait to be told to quit
  for (const auto& record : tasks) tasks.QueueTask(record.get());
  ASSERT_TRUE(WaitFor([&] { return tasks.CountTasks(TASK_RUNNING) == 1; }, 5000));
  WaitFor([] { return false; }, 300);
  EXPECT_EQ(tasks.SelectionPasses() - passesBefore, 1);
  EXPECT_EQ(launcher.launches.size(), 1u);
  EXPECT_EQ(tasks.CountTasks(TASK_WAIT), 9);
}

TEST_F(SchedulingTest, StoppingARunningTaskStartsTheNextAndTheEngineEnds) {
  setting.max_download = 1;
  launcher.SetDefaultScript(QStringLiteral("info:50"));
  CTaskInfo* first = tasks.AddTask("http://site/a", folder.Downloads(), true);
  CTaskInfo* second = tasks.AddTask("http://site/b", folder.Downloads(), true);
  ASSERT_TRUE(WaitFor([&] { return first->engine_wnd != 0 && first->total == 50; }));
  const platform::HWND engine = first->engine_wnd;
  EXPECT_EQ(second->status, TASK_WAIT);
  tasks.StopTask(first->id);
  ASSERT_TRUE(WaitFor([&] { return second->engine_wnd != 0; }));
  EXPECT_TRUE(WaitFor([&] { return !platform::IsWindow(engine); })) << "the stopped engine ended";
}

TEST_F(SchedulingTest, StalledEngineIsReplacedAndTheTaskCompletes) {
  setting.max_download = 2;
  CTaskInfo* r = tasks.AddTask("http://site/s", folder.Downloads(), false);
  r->now_index = 2;
  launcher.SetScript(r->id, QStringLiteral("info:4,save,save,stall"));
  tasks.QueueTask(r);
  ASSERT_TRUE(WaitFor([&] { return r->start_count >= 2; }));
  launcher.SetScript(r->id, QStringLiteral("info:4,saveall"));
  ASSERT_TRUE(WaitFor([&] { return r->status == TASK_STOP; }));
  EXPECT_TRUE(r->IsFinished());
  EXPECT_EQ(launcher.launches[1].job.index.value_or(0), 3) << "restart at the last saved page";
}

TEST_F(SchedulingTest, RestartEndsTheOldEngineFirstEvenOneDeafToQuitAndSigterm) {
  tasks.SetWatchdog(300, 20);
  tasks.SetEngineTimeouts(90000, 500);
  CTaskInfo* r = tasks.AddTask("http://site/deaf", folder.Downloads(), false);
  r->now_index = 3;
  launcher.SetScript(r->id, QStringLiteral("silent,deaf")); // alive, but never says hello
  tasks.QueueTask(r);
  ASSERT_TRUE(WaitFor([&] { return r->start_count >= 2; }, 10000));
  ASSERT_TRUE(WaitFor([&] { return launcher.launches.size() >= 2; }, 10000));
  EXPECT_NE(launcher.launches[0].pid, 0);
  EXPECT_EQ(launcher.launches[1].livingBefore, 0) << "two engines on one task";
  EXPECT_EQ(r->status, TASK_RUNNING);
}

TEST_F(SchedulingTest, EnginesStillEndingKeepTheirSlotsSoNoMoreThanTheLimitEverRun) {
  // Each engine takes a while to end after its chapter; the first ignores the quit and SIGTERM
  // until it is killed.
  setting.max_download = 2;
  tasks.SetEngineTimeouts(90000, 300);
  launcher.SetDefaultScript(QStringLiteral("linger:300,info:2,saveall"));
  for (int i = 0; i < 5; ++i) tasks.AddTask("http://site/" + QString::number(i), folder.File(QString("c%1").arg(i)), true);
  launcher.SetScript(tasks[0]->id, QStringLiteral("deaf,info:2,saveall"));
  ASSERT_TRUE(WaitFor([&] { return AllStopped() && launcher.AllEnded(); }, 30000));
  ASSERT_EQ(launcher.launches.size(), 5u);
  for (const auto& launch : launcher.launches) EXPECT_LE(launch.livingBefore, 1);
}

TEST_F(SchedulingTest, ATaskWaitsWhileAnotherDownloadUsesItsFolder) {
  setting.max_download = 3;
  tasks.SetWatchdog(5000, 50);
  launcher.SetDefaultScript(QStringLiteral("info:50")); // runs until stopped
  // Another program holds the first folder; two tasks of ours share the second.
  platform::FileLock other;
  ASSERT_TRUE(QDir().mkpath(folder.File("taken")));
  other.Lock(folder.File("taken/") + CFolderLocks::kLockFile);
  CTaskInfo* blocked = tasks.AddTask("http://site/blocked", folder.File("taken"), true);
  CTaskInfo* first = tasks.AddTask("http://site/first", folder.Downloads(), true);
  CTaskInfo* second = tasks.AddTask("http://site/second", folder.Downloads(), true);
  ASSERT_TRUE(WaitFor([&] { return first->engine_wnd != 0; }));
  WaitFor([] { return false; }, 300);
  EXPECT_EQ(blocked->status + second->status, 2 * TASK_WAIT);
  EXPECT_EQ(launcher.launches.size(), 1u) << "a free slot is no reason to share a folder";
  tasks.StopTask(first->id);
  EXPECT_TRUE(WaitFor([&] { return second->engine_wnd != 0; }));
  other.Unlock();
  EXPECT_TRUE(WaitFor([&] { return blocked->engine_wnd != 0; }, 5000))
      << "a folder another program lets go of is seen without a nudge";
}

TEST_F(SchedulingTest, CrashedEngineIsRestartedByTheWatchdog) {
  tasks.SetWatchdog(5000, 50);
  CTaskInfo* r = tasks.AddTask("http://site/crash", folder.Downloads(), false);
  r->now_index = 3;
  launcher.SetScript(r->id, QStringLiteral("info:9,crash"));
  tasks.QueueTask(r);
  ASSERT_TRUE(WaitFor([&] { return r->start_count >= 2; }));
  EXPECT_EQ(r->status, TASK_RUNNING);
}

} // namespace

TEST_F(SchedulingTest, InstalledLayoutKeepsTasksAndCommandFilesInTheUserFolder) {
  // The program folder of an installed copy is left as shipped; the engine, started with the
  // front-end's environment, derives the same user folder, so its reports still arrive.
  testing_support::Sandbox home;
  const QByteArray oldXdg = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", home.path().toUtf8());
  ASSERT_TRUE(testing_support::WriteBytes(folder.File("layout.ini"), "[app]\nuser_data=1\n"));
  const QString user = home.file("folivex/");
  CTaskInfo* task = tasks.AddTask("http://site/installed", folder.File("c"), true);
  ASSERT_TRUE(WaitFor([&] { return AllStopped(); }, 20000));
  EXPECT_TRUE(task->IsFinished());
  EXPECT_EQ(task->ini, user + "task/" + QString::number(task->id) + ".ini");
  EXPECT_TRUE(QFileInfo::exists(user + "setting.ini"));
  EXPECT_TRUE(QDir(user + "skin/cmd").isEmpty()) << "every command file was read and deleted";
  EXPECT_TRUE(QDir(folder.File("task")).isEmpty());
  EXPECT_FALSE(QFileInfo::exists(folder.File("setting.ini")));
  if (oldXdg.isNull()) qunsetenv("XDG_DATA_HOME");
  else qputenv("XDG_DATA_HOME", oldXdg);
}
