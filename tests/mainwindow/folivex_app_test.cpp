// Start-up: the single-instance rule and what start-up reads.
#include "common/ini_rules.h"
#include "gui/folivex_app.h"
#include "../core/frontend_fixture.h"

#include <QDir>
#include <QProcess>
#include <QSysInfo>
#include <gtest/gtest.h>

namespace {

using namespace frontend_test;

class TestApp : public CFolivexApp {
public:
  using CFolivexApp::CFolivexApp;
  int windowsCreated = 0;
  int factoriesInstalled = 0;

protected:
  void InstallControlFactory() override { ++factoriesInstalled; }
  std::unique_ptr<CMainWindowEndpoint> CreateMainWindow() override {
    ++windowsCreated;
    return std::make_unique<TestMainWindow>(Tasks());
  }
};

class FolivexAppTest : public ::testing::Test {
protected:
  ProgramFolderSandbox folder;
  testing_support::Sandbox runtime;
  RecordingLauncher launcher;
  CountingShutdown shutdown;
};

TEST_F(FolivexAppTest, StartUpReadsSettingsAndTasksThenCreatesTheWindow) {
  const QString task = CTaskStore::TaskFilePath(100);
  WriteTaskFile(task, {{"id", "100"}, {"ini", task}, {"url", "http://x/"}});
  common::WriteProfileString(CSetting::DefaultFile(), "x", "5000");
  TestApp app(launcher, shutdown, runtime.path());
  ASSERT_TRUE(app.InitInstance(QSize(800, 600)));
  EXPECT_EQ(app.Setting().x, 700);
  EXPECT_EQ(app.Tasks().Count(), 1);
  EXPECT_EQ(app.factoriesInstalled, 1);
  ASSERT_NE(app.MainWindow(), nullptr);
  EXPECT_EQ(app.Tasks().MainWindow(), app.MainWindow());
  EXPECT_EQ(CFolivexApp::Instance(), &app);
}

TEST_F(FolivexAppTest, SecondStartActivatesTheFirstAndWritesNothing) {
  TestApp first(launcher, shutdown, runtime.path());
  ASSERT_TRUE(first.InitInstance(QSize(1920, 1080)));
  auto* firstWindow = static_cast<TestMainWindow*>(first.MainWindow());
  const QStringList filesBefore = QDir(folder.Folder()).entryList(QDir::Files);

  TestApp second(launcher, shutdown, runtime.path());
  EXPECT_FALSE(second.InitInstance(QSize(1920, 1080)));
  EXPECT_EQ(second.windowsCreated, 0);
  EXPECT_EQ(firstWindow->activations, 1);
  EXPECT_EQ(QDir(folder.Folder()).entryList(QDir::Files), filesBefore);
}

TEST_F(FolivexAppTest, SecondProcessActivatesTheFirstWindowAndEnds) {
  TestApp first(launcher, shutdown, runtime.path());
  ASSERT_TRUE(first.InitInstance(QSize(1920, 1080)));
  auto* firstWindow = static_cast<TestMainWindow*>(first.MainWindow());
  const QStringList filesBefore = QDir(folder.Folder()).entryList(QDir::Files);

  QProcess second;
  second.setProcessChannelMode(QProcess::ForwardedChannels);
  second.start(SECOND_START_PATH, {folder.Folder(), runtime.path()});
  ASSERT_TRUE(testing_support::WaitFor(
      [&] { return second.state() == QProcess::NotRunning; }, 10000));
  EXPECT_EQ(second.exitCode(), 0) << "the second start refused";
  EXPECT_TRUE(testing_support::WaitFor([&] { return firstWindow->activations == 1; }));
  EXPECT_EQ(QDir(folder.Folder()).entryList(QDir::Files), filesBefore);
}

TEST_F(FolivexAppTest, AStartWhileTheFirstIsEndingWaitsForItAndThenStarts) {
  QProcess second;
  {
    TestApp first(launcher, shutdown, runtime.path());
    ASSERT_TRUE(first.InitInstance(QSize(1920, 1080)));
    first.AnnounceExit(); // as the exit sequence begins: its window is withdrawn
    second.setProcessChannelMode(QProcess::ForwardedChannels);
    second.start(SECOND_START_PATH, {folder.Folder(), runtime.path()});
    ASSERT_TRUE(second.waitForStarted(10000));
    // Still saving: the second start neither activates nor starts.
    EXPECT_FALSE(testing_support::WaitFor([&] { return second.state() == QProcess::NotRunning; }, 1500));
    EXPECT_EQ(static_cast<TestMainWindow*>(first.MainWindow())->activations, 0);
    first.ExitInstance();
  } // the first instance ends and lets its lock go
  ASSERT_TRUE(testing_support::WaitFor([&] { return second.state() == QProcess::NotRunning; }, 20000));
  EXPECT_EQ(second.exitCode(), 1) << "it started once the first had ended";
}

TEST_F(FolivexAppTest, LockIsFreeAgainAfterTheFirstInstanceEnds) {
  {
    CSingleInstance first(runtime.path());
    ASSERT_TRUE(first.TryBecomeFirst());
    ASSERT_TRUE(first.PublishMainWindow(1234));
    CSingleInstance second(runtime.path());
    EXPECT_FALSE(second.TryBecomeFirst());
    EXPECT_EQ(second.FirstInstanceWindow(), 1234);
  }
  CSingleInstance later(runtime.path());
  EXPECT_TRUE(later.TryBecomeFirst());
  EXPECT_EQ(later.FirstInstanceWindow(), 0) << "no stale handle is offered";
}

TEST_F(FolivexAppTest, LockOfACrashedInstanceIsTakenOver) {
  // The lock file a killed first instance leaves behind: its process id names no process.
  const QByteArray stale = "999999999\nFolivex\n" + QSysInfo::machineHostName().toUtf8() + "\n";
  ASSERT_TRUE(testing_support::WriteBytes(runtime.file("folivex.lock"), stale));
  ASSERT_TRUE(testing_support::WriteBytes(runtime.file("folivex.hwnd"), "4242"));
  CSingleInstance instance(runtime.path());
  EXPECT_TRUE(instance.TryBecomeFirst());
  EXPECT_EQ(instance.FirstInstanceWindow(), 0);
}

TEST_F(FolivexAppTest, FolderWithoutRoomForALockDoesNotKeepTheProgramFromStarting) {
  ASSERT_TRUE(testing_support::WriteBytes(runtime.file("not-a-folder"), "x"));
  CSingleInstance instance(runtime.file("not-a-folder"));
  EXPECT_TRUE(instance.TryBecomeFirst());
}

TEST_F(FolivexAppTest, ExitSequenceStopsSavesAndWritesSettings) {
  TestApp app(launcher, shutdown, runtime.path());
  ASSERT_TRUE(app.InitInstance(QSize(1920, 1080)));
  CTaskInfo* r = app.Tasks().AddTask("http://x/1", "/tmp/c", false);
  app.Tasks().StartTask(r->id);
  r->finish = 7;
  app.Setting().width = 640;
  app.Setting().placed = true; // as the main window does when it stores its place
  app.RunExitSequence();
  EXPECT_EQ(r->status, TASK_STOP);
  CTaskInfo onDisk;
  CTaskStore::LoadTaskFile(onDisk, r->ini);
  EXPECT_EQ(onDisk.finish, 7);
  EXPECT_EQ(common::ReadProfileInt(CSetting::DefaultFile(), "width").value_or(0), 640);
  EXPECT_EQ(app.ExitInstance(), 0);
  EXPECT_EQ(app.MainWindow(), nullptr);
}

} // namespace
