// Download runs against the scripted engine: scheduling with several engines, restarts after
// a stall, duplicates, and the front-end's own files left alone.
#include "cli/download_run.h"

#include "common/program_folder.h"
#include "core/task_store.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <cstdio>
#include <gtest/gtest.h>

using namespace folivex_get;
using testing_support::AppFolder;
using testing_support::Sandbox;

namespace {

QString ReadAll(std::FILE* file) {
  std::fflush(file);
  std::rewind(file);
  QByteArray bytes;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, qsizetype(n));
  return QString::fromUtf8(bytes);
}

QString ChapterUrl(int n, const QString& script) {
  return QString("http://127.0.0.1:9/chapter?n=%1&script=%2").arg(n).arg(script);
}

// Starts the scripted engine and notes, at every launch, how many tasks had finished.
class RecordingLauncher : public platform::FIProgramLauncher {
public:
  const CDownloadRun* run = nullptr;
  QList<int> finishedAtLaunch;

  pid_t Launch(const QString&, const QStringList& arguments) override {
    int finished = 0;
    for (const auto& task : run->Tasks()) finished += task->IsFinished() ? 1 : 0;
    finishedAtLaunch.append(finished);
    return real_.Launch(SCRIPT_ENGINE_PATH, arguments);
  }

private:
  platform::DetachedLauncher real_;
};

struct DownloadRunTest : ::testing::Test {
  Sandbox box;
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  RecordingLauncher launcher;

  void SetUp() override {
    common::SetProgramFolder(AppFolder());
    qputenv("FOLIVEX_TEST_APP_DIR", AppFolder().toUtf8());
  }
  void TearDown() override {
    std::fclose(out);
    std::fclose(err);
    common::SetProgramFolder({});
  }
};

// The page files of a folder (the scripted engine may leave a marker beside them).
QStringList Pages(const QString& folder) {
  return QDir(folder).entryList({"*.png"}, QDir::Files, QDir::Name);
}

} // namespace

TEST_F(DownloadRunTest, TwoEnginesForThreeChaptersInListOrder) {
  CDownloadRun run(2, launcher, out, err, false);
  launcher.run = &run;
  for (int n = 1; n <= 3; ++n)
    ASSERT_TRUE(run.AddChapter({ChapterUrl(n, "info:3,pause:400,saveall"),
                                box.file(QString("c%1").arg(n))}, n));
  // The tasks and their id counter live in the run's own store, never in the program folder
  // where the front-end keeps its "setting.ini" and "task/".
  EXPECT_FALSE(CTaskStore::SettingFile().startsWith(AppFolder()));
  for (const auto& task : run.Tasks()) {
    EXPECT_FALSE(task->ini.startsWith(AppFolder())) << task->ini.toStdString();
    EXPECT_TRUE(QFile::exists(task->ini));
    EXPECT_GE(task->id, CDownloadRun::FirstTaskId());
  }
  EXPECT_EQ(run.Run(), CDownloadRun::kAllFinished) << ReadAll(err).toStdString();

  EXPECT_EQ(run.MostRunning(), 2);
  // The first two start together; the third only after one of them is done.
  ASSERT_EQ(launcher.finishedAtLaunch.size(), 3);
  EXPECT_EQ(launcher.finishedAtLaunch[0], 0);
  EXPECT_EQ(launcher.finishedAtLaunch[1], 0);
  EXPECT_GE(launcher.finishedAtLaunch[2], 1);
  for (int n = 1; n <= 3; ++n)
    EXPECT_EQ(Pages(box.file(QString("c%1").arg(n))),
              QStringList({"001.png", "002.png", "003.png"}));
  const QString text = ReadAll(out);
  EXPECT_TRUE(text.contains("[3] done 3 pages Chapter 3\n")) << text.toStdString();
  EXPECT_TRUE(text.endsWith("\n3 of 3 chapters done (9 pages)\n")) << text.toStdString();
  EXPECT_TRUE(ReadAll(err).isEmpty());
}

TEST_F(DownloadRunTest, StallAfterProgressRestartsFromTheLastPage) {
  CDownloadRun run(1, launcher, out, err, false);
  launcher.run = &run;
  // The first engine saves two pages and stalls; the restart at page 2 saves the rest.
  ASSERT_TRUE(run.AddChapter({ChapterUrl(1, "info:4,save,save,stallfirst,saveall"), box.file("c")}, 1));
  EXPECT_EQ(run.Run(), CDownloadRun::kAllFinished) << ReadAll(err).toStdString();
  EXPECT_EQ(launcher.finishedAtLaunch.size(), 2);
  EXPECT_EQ(Pages(box.file("c")), QStringList({"001.png", "002.png", "003.png", "004.png"}));
  EXPECT_TRUE(ReadAll(out).contains("[1] restart at page 2\n"));
}

TEST_F(DownloadRunTest, DuplicateAddressIsDownloadedOnce) {
  CDownloadRun run(2, launcher, out, err, false);
  launcher.run = &run;
  const QString url = ChapterUrl(1, "info:1,saveall");
  EXPECT_TRUE(run.AddChapter({url, box.file("a")}, 1));
  EXPECT_FALSE(run.AddChapter({url, box.file("b")}, 2));
  EXPECT_EQ(run.Run(), CDownloadRun::kAllFinished);
  EXPECT_EQ(launcher.finishedAtLaunch.size(), 1);
  EXPECT_TRUE(ReadAll(err).contains("listed twice"));
  EXPECT_TRUE(ReadAll(out).endsWith("1 of 1 chapters done (1 pages)\n")) << "a duplicate is no chapter";
  EXPECT_EQ(CDownloadRun::SummaryLine(1, 3, 12, false), "1 of 3 chapters done (12 pages), 2 failed");
  EXPECT_EQ(CDownloadRun::SummaryLine(0, 2, 0, true), "0 of 2 chapters done (0 pages), 2 not finished");
}

TEST_F(DownloadRunTest, CbzRunLeavesOneArchivePerChapterAndNoLoosePages) {
  CDownloadRun run(2, launcher, out, err, false);
  launcher.run = &run;
  run.SetPackCbz(true);
  ASSERT_TRUE(run.AddChapter({ChapterUrl(1, "info:3,saveall"), box.file("c1")}, 1));
  ASSERT_TRUE(run.AddChapter({ChapterUrl(2, "info:2,saveall"), box.file("c2/")}, 2));
  EXPECT_EQ(run.Run(), CDownloadRun::kAllFinished) << ReadAll(err).toStdString();
  // The run ends only after the last chapter was packed.
  for (const QString name : {"c1", "c2"}) {
    EXPECT_TRUE(QFileInfo(box.file(name + ".cbz")).isFile()) << name.toStdString();
    EXPECT_TRUE(Pages(box.file(name)).isEmpty()) << name.toStdString();
  }
  const QString text = ReadAll(out);
  EXPECT_TRUE(text.contains("[1] packed 3 pages into " + box.file("c1.cbz") + "\n")) << text.toStdString();
  EXPECT_TRUE(text.contains("[2] packed 2 pages into " + box.file("c2.cbz") + "\n")) << text.toStdString();
}
