// Progress output: plain lines for pipes and logs, bar lines for terminals, and no control
// characters from web text on either.
#include "cli/progress_output.h"

#include "core/task_store.h"

#include <cstdio>
#include <gtest/gtest.h>

using namespace folivex_get;

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

struct ProgressFixture : ::testing::Test {
  CSetting setting;
  CTaskStore store{setting};
  std::FILE* out = std::tmpfile();
  CTaskInfo* task = nullptr;

  void SetUp() override {
    task = new CTaskInfo;
    task->id = 7;
    task->url = "http://a/c/1";
    task->folder = "/tmp/c1/";
    store.Add(task);
  }
  void TearDown() override { std::fclose(out); }
};

} // namespace

TEST_F(ProgressFixture, PlainLinesFollowOneTaskFromStartToEnd) {
  CProgressOutput progress(store, out, false);
  progress.SetLabel(7, 2);
  task->status = TASK_RUNNING;
  task->start_count = 1;
  progress.OnTaskChanged();
  task->title = "My \x1b[2JComic";
  task->total = 3;
  progress.OnTaskChanged(); // page info only: no line
  for (int page = 1; page <= 3; ++page) {
    task->finish = page;
    progress.OnTaskChanged();
    progress.OnTaskChanged(); // repeated notification: nothing new
  }
  task->status = TASK_STOP;
  progress.OnTaskChanged();
  progress.Finish();
  EXPECT_EQ(ReadAll(out).toStdString(),
            "[2] start http://a/c/1 -> /tmp/c1/\n"
            "[2] page 1/3 My  [2JComic\n"
            "[2] page 2/3 My  [2JComic\n"
            "[2] page 3/3 My  [2JComic\n"
            "[2] done 3 pages My  [2JComic\n");
}

TEST_F(ProgressFixture, TerminalShowsABarPerRunningTaskAndClearsIt) {
  CProgressOutput progress(store, out, true, 60);
  task->status = TASK_RUNNING;
  task->start_count = 1;
  task->total = 10;
  task->finish = 5;
  progress.OnTaskChanged();
  progress.Finish();
  const QString text = ReadAll(out);
  EXPECT_TRUE(text.contains("[7] http://a/c/1")) << text.toStdString();
  EXPECT_TRUE(text.contains("[##########----------] 5/10\n"));
  EXPECT_TRUE(text.endsWith("\x1b[1A\r\x1b[J")); // the bar is taken away at the end
}

TEST(ProgressBar, FitsTheWidthWhateverTheTitle) {
  const QString longTitle(300, QChar(0x6f2b));
  for (int width : {20, 40, 79, 200}) {
    const QString line = CProgressOutput::BarLine(12, longTitle, 3, 7, width);
    EXPECT_LE(CProgressOutput::Columns(line), width) << width;
    if (width >= 40) {
      EXPECT_EQ(CProgressOutput::Columns(line), width); // padded to the edge
    }
    EXPECT_TRUE(line.endsWith(width < 40 ? " 3/7" : "] 3/7")) << line.toStdString();
  }
  EXPECT_TRUE(CProgressOutput::BarLine(1, "t", 0, 0, 50).endsWith("[--------------------] 0/?"));
  // Wide characters count two columns; a cut never splits one.
  EXPECT_EQ(CProgressOutput::FitColumns(QString(10, QChar(0x6f2b)), 8), QString(2, QChar(0x6f2b)) + "...");
  EXPECT_EQ(CProgressOutput::Columns(QString::fromUcs4(U"a\U0001F600\u3042")), 5);
  // A total that shrank below the saved page never overfills the bar.
  EXPECT_TRUE(CProgressOutput::BarLine(1, "t", 9, 4, 50).endsWith("[####################] 9/4"));
  EXPECT_EQ(CProgressOutput::Printable("a\x1b]0;x\x07" "b\u0085c"), "a ]0;x b c");
}
