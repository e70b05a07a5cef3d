// folivex-get for scripts and followed series, with the scripted engine: --version, --json
// lines and --exec with a hostile folder name, and --follow then --check as the list page gains
// chapters, a chapter fails and the series folder moves. folivex-get runs from a private copy
// of the program folder marked for the user layout, so the series it follows are listed in a
// data folder of the test's own.
#include "cli/chapter_exec.h"
#include "core/series_record.h"
#include "series_fixture.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUrl>
#include <gtest/gtest.h>

using namespace series_test;

namespace {

// A chapter of the scripted list page; it fails while the file "broken-N" of `box` exists.
// Every chapter's address has the same shape, as on a real list page.
QString ChapterLine(const testing_support::Sandbox& box, int n) {
  return QString("http://127.0.0.1:9/chapter?n=%1&script=failwhile:%2,info:2,saveall Chapter %1")
      .arg(n)
      .arg(box.file(QString("broken-%1").arg(n)));
}

class SeriesCommandTest : public ::testing::Test {
protected:
  PrivateProgramFolder app_{SCRIPT_ENGINE_PATH};
  testing_support::Sandbox& box_ = app_.box;

  // The scripted list page: its lines come from the file "list.txt", its title is given.
  QString ListUrl() const {
    return "http://127.0.0.1:9/list?title=Tide%20Keeper%20-%20SiteName&listfile=" +
           QString::fromUtf8(QUrl::toPercentEncoding(box_.file("list.txt")));
  }
  void SetList(const QStringList& lines) {
    ASSERT_TRUE(testing_support::WriteBytes(box_.file("list.txt"), lines.join('\n').toUtf8()));
  }
  QList<QJsonObject> Events(const QString& out, const char* kind) {
    QList<QJsonObject> events;
    for (const QString& line : out.split('\n', Qt::SkipEmptyParts)) {
      QJsonParseError error;
      const QJsonDocument json = QJsonDocument::fromJson(line.toUtf8(), &error);
      EXPECT_EQ(error.error, QJsonParseError::NoError) << "not JSON: " << line.toStdString();
      EXPECT_TRUE(json.isObject());
      if (json.object().value("event").toString() == kind) events << json.object();
    }
    return events;
  }
};

} // namespace

TEST_F(SeriesCommandTest, VersionJsonLinesAndExecWithAHostileFolderName) {
  const RunResult version = app_.Run({"--version"});
  EXPECT_TRUE(version.code == 0 && QRegularExpression("^folivex-get \\d+\\.\\d+\\n$").match(version.out).hasMatch())
      << version.out.toStdString();

  // Standard error is a log file: the command's output lands there beside ours, nothing lost.
  const QString name = "comics/Chapter \"1\" $(touch pwned) `touch pwned2` 'x'";
  const QString command =
      QString("sh -c 'printf \"%s|%s\" \"$#\" \"$1\" > \"$0\"; echo ran' '%1'").arg(box_.file("argument"));
  const RunResult r = app_.Run({"--json", "--cbz", "-j", "2", "--exec", command,
                                "http://127.0.0.1:9/chapter?n=1&script=info:3,saveall", name,
                                "http://127.0.0.1:9/chapter?n=2&script=stallfirst", "two"},
                               240000, box_.file("err.log"));
  EXPECT_EQ(r.code, 1);
  const QList<QJsonObject> pages = Events(r.out, "page");
  ASSERT_EQ(pages.size(), 3) << r.out.toStdString();
  EXPECT_EQ(pages[2].value("page").toInt(), 3);
  EXPECT_EQ(pages[2].value("total").toInt(), 3);
  EXPECT_EQ(pages[2].value("file").toString(), box_.file(name + "/003.png"));
  const QList<QJsonObject> done = Events(r.out, "done");
  ASSERT_EQ(done.size(), 1);
  EXPECT_EQ(done[0].value("task").toInt(), 1);
  EXPECT_EQ(done[0].value("file").toString(), box_.file(name + ".cbz")) << "announced once packed";
  const QList<QJsonObject> failed = Events(r.out, "failed");
  ASSERT_EQ(failed.size(), 1);
  EXPECT_EQ(failed[0].value("task").toInt(), 2);
  EXPECT_FALSE(failed[0].value("reason").toString().isEmpty());
  EXPECT_EQ(Events(r.out, "start").size(), 2);
  // --exec: the archive as one argument, never seen by a shell; its output off the JSON lines.
  EXPECT_EQ(QString::fromUtf8(testing_support::ReadBytes(box_.file("argument"))), "1|" + box_.file(name + ".cbz"));
  EXPECT_FALSE(QFile::exists(box_.file("pwned")) || QFile::exists(box_.file("comics/pwned2")));
  EXPECT_TRUE(r.err.contains("ran\n") && r.err.contains("1 of 2 chapters done") && !r.err.contains(QChar(0)))
      << r.err.toStdString();

  const RunResult missing = app_.Run({"--exec", "/nonexistent/program", "http://127.0.0.1:9/chapter?n=1&script=info:1,saveall", "two"});
  EXPECT_EQ(missing.code, 0);
  EXPECT_TRUE(missing.err.contains("--exec: cannot start /nonexistent/program")) << missing.err.toStdString();
}

TEST_F(SeriesCommandTest, FollowThenChecksDownloadOnlyNewChaptersRetryFailuresAndFindAMovedFolder) {
  // Follow: every chapter out so far, oldest first, into "SERIES - Chapter N".
  SetList({ChapterLine(box_, 2), ChapterLine(box_, 1), "http://127.0.0.1:9/about About"});
  const RunResult follow = app_.Run({"--json", "--follow", ListUrl(), "series"});
  ASSERT_EQ(follow.code, 0) << follow.err.toStdString();
  EXPECT_TRUE(follow.err.contains("Tide Keeper: 2 new chapters")) << follow.err.toStdString();
  QList<QJsonObject> started = Events(follow.out, "start");
  ASSERT_EQ(started.size(), 2);
  EXPECT_EQ(started[0].value("folder").toString(), box_.file("series/Tide Keeper - Chapter 1"));
  EXPECT_TRUE(QFile::exists(box_.file("series/Tide Keeper - Chapter 2/002.png")));
  EXPECT_TRUE(testing_support::ReadBytes(box_.file("series/Tide Keeper - Chapter 2/ComicInfo.xml"))
                  .contains("<PageCount>2</PageCount>"));

  // The page gains two chapters, one of which fails: only those two are tried.
  SetList({ChapterLine(box_, 4), ChapterLine(box_, 3),
           ChapterLine(box_, 2), ChapterLine(box_, 1)});
  ASSERT_TRUE(testing_support::WriteBytes(box_.file("broken-4"), "x"));
  const RunResult check = app_.Run({"--json", "--check"});
  EXPECT_EQ(check.code, 1) << check.err.toStdString();
  EXPECT_TRUE(check.err.contains("Tide Keeper: 2 new chapters"));
  started = Events(check.out, "start");
  ASSERT_EQ(started.size(), 2);
  EXPECT_EQ(started[0].value("folder").toString(), box_.file("series/Tide Keeper - Chapter 3"));
  EXPECT_EQ(Events(check.out, "failed").size(), 1);
  std::optional<CSeriesRecord> record = CSeriesRecord::Load(box_.file("series"));
  ASSERT_TRUE(record);
  EXPECT_EQ(record->CountIn(ChapterState::Downloaded), 3);
  EXPECT_EQ(record->CountIn(ChapterState::Failed), 1);

  // The series folder moves: Folivex's list names a folder that is gone, the new place is found.
  ASSERT_TRUE(QDir().mkpath(box_.file("shelf")));
  ASSERT_TRUE(QDir().rename(box_.file("series"), box_.file("shelf/tide")));
  const RunResult gone = app_.Run({"--check"});
  EXPECT_EQ(gone.code, 1);
  EXPECT_TRUE(gone.err.contains("the series folder is gone")) << gone.err.toStdString();
  QFile::remove(box_.file("broken-4"));
  SetList({ChapterLine(box_, 5), ChapterLine(box_, 4),
           ChapterLine(box_, 3), ChapterLine(box_, 2), ChapterLine(box_, 1)});
  const RunResult moved = app_.Run({"--json", "--check", "shelf"});
  EXPECT_EQ(moved.code, 0) << moved.err.toStdString();
  EXPECT_TRUE(moved.err.contains("Tide Keeper: 1 new chapter, 1 to try again")) << moved.err.toStdString();
  started = Events(moved.out, "start");
  ASSERT_EQ(started.size(), 2);
  EXPECT_EQ(started[0].value("folder").toString(), box_.file("shelf/tide/Tide Keeper - Chapter 4"));
  EXPECT_EQ(started[1].value("folder").toString(), box_.file("shelf/tide/Tide Keeper - Chapter 5"));
  record = CSeriesRecord::Load(box_.file("shelf/tide"));
  ASSERT_TRUE(record);
  EXPECT_EQ(record->CountIn(ChapterState::Downloaded), 5);
}

TEST(ChapterExecWords, SplitLikeAShellWithoutExpandingAnything) {
  const struct {
    const char* command;
    QStringList words;
  } rows[] = {
      {"notify-send done", {"notify-send", "done"}},
      {"  a   b  ", {"a", "b"}},
      {"sh -c 'echo \"$1\"' x", {"sh", "-c", "echo \"$1\"", "x"}},
      {"say \"a \\\"b\\\" \\$HOME \\x\"", {"say", "a \"b\" $HOME \\x"}},
      {"a\\ b c\\'d", {"a b", "c'd"}},
      {"x '' \"\"", {"x", "", ""}},
      {"$(rm -rf x) `y` ~ *", {"$(rm", "-rf", "x)", "`y`", "~", "*"}},
      {"open 'quote", {}},
      {"open \"quote", {}},
      {"", {}},
  };
  for (const auto& row : rows)
    EXPECT_EQ(folivex_get::CChapterExec::Words(row.command), row.words) << row.command;
}
