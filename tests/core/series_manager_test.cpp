// Folivex following series while it runs, with the front-end's task manager and the scripted
// engine: a follow downloads what is out, a due check queues what is new and the notice says
// how many, and a failed chapter's task is queued again rather than doubled.
#include "core/main_window_endpoint.h"
#include "core/series_manager.h"
#include "core/setting.h"
#include "frontend_fixture.h"

#include <QDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace frontend_test;
using testing_support::WaitFor;

namespace {

class RecordingListener : public FISeriesListener {
public:
  void OnNewChapters(const QString& series, int count) override { notices << QString("%1: %2").arg(series).arg(count); }
  QStringList notices;
};

class SeriesManagerTest : public ::testing::Test {
protected:
  void SetUp() override {
    qputenv("FOLIVEX_TEST_APP_DIR", program_.Folder().toUtf8()); // the scripted engine's data folder
    launcher_.RunRequestedProgram();
    tasks_.SetEngineProgram(FAKE_ENGINE_PATH);
    manager_.SetListener(&listener_);
    manager_.SetClock([this] { return now_; });
  }
  void TearDown() override {
    tasks_.StopAllTasks();
    launcher_.KillAll();
    qunsetenv("FOLIVEX_TEST_APP_DIR");
  }

  QString ListUrl() const {
    return "http://127.0.0.1:9/list?title=Tide%20Keeper&listfile=" +
           QString::fromUtf8(QUrl::toPercentEncoding(program_.File("list.txt")));
  }
  // The list page with chapters 1..n (newest first); chapter k fails while "broken-k" exists.
  void ListChapters(int n) {
    QStringList lines;
    for (int k = n; k >= 1; --k)
      lines << QString("http://127.0.0.1:9/chapter?n=%1&script=failwhile:%2,info:2,saveall Chapter %1")
                   .arg(k)
                   .arg(program_.File(QString("broken-%1").arg(k)));
    ASSERT_TRUE(testing_support::WriteBytes(program_.File("list.txt"), lines.join('\n').toUtf8()));
  }
  CSeriesRecord Record(const QString& folder) const { return CSeriesRecord::Load(folder).value_or(CSeriesRecord()); }
  // Waits until no check runs and no task runs or waits.
  bool Settled() {
    return WaitFor([&] {
      return manager_.Checking().isEmpty() && tasks_.CountTasks(TASK_RUNNING) == 0 &&
             tasks_.CountTasks(TASK_WAIT) == 0;
    }, 60000);
  }

  ProgramFolderSandbox program_;
  CSetting setting_;
  RecordingLauncher launcher_;
  CountingShutdown shutdown_;
  CTaskManager tasks_{setting_, launcher_, shutdown_};
  CMainWindowEndpoint window_{tasks_};
  CSeriesManager manager_{tasks_, setting_, CSeriesList(program_.File("series.json"))};
  RecordingListener listener_;
  QDateTime now_ = QDateTime::fromString("2024-05-06T08:00:00Z", Qt::ISODate);
};

} // namespace

TEST_F(SeriesManagerTest, FollowDueChecksRetriesAndTheNotice) {
  const QString folder = program_.Downloads() + "tide";
  ListChapters(2);
  setting_.max_download = 2;
  ASSERT_EQ(manager_.Follow(ListUrl(), folder, FirstCheck::All), CSeriesManager::FollowResult::Followed);
  ASSERT_TRUE(Settled());
  EXPECT_EQ(Record(folder).CountIn(ChapterState::Downloaded), 2);
  EXPECT_EQ(listener_.notices, QStringList{"Tide Keeper: 2"});
  EXPECT_EQ(manager_.Follow(ListUrl() + "&other", folder, FirstCheck::All),
            CSeriesManager::FollowResult::OtherSeries);

  // Not due yet: nothing runs. Twelve hours later chapter 3 is out, and it fails.
  ListChapters(3);
  ASSERT_TRUE(testing_support::WriteBytes(program_.File("broken-3"), "x"));
  manager_.CheckDue();
  EXPECT_TRUE(manager_.Checking().isEmpty());
  now_ = now_.addSecs(12 * 3600 + 60);
  manager_.CheckDue();
  ASSERT_TRUE(Settled());
  EXPECT_EQ(Record(folder).CountIn(ChapterState::Failed), 1);
  EXPECT_EQ(listener_.notices.last(), "Tide Keeper: 1");

  // The next check queues the failed chapter's own task again instead of a second one.
  QFile::remove(program_.File("broken-3"));
  manager_.CheckNow(folder);
  ASSERT_TRUE(Settled());
  EXPECT_EQ(Record(folder).CountIn(ChapterState::Downloaded), 3);
  EXPECT_EQ(tasks_.Count(), 3);
  EXPECT_EQ(listener_.notices.size(), 2) << "a chapter tried again is not new";
}
