// Following a series: what a check downloads as the list page changes, what the record keeps
// on disk (and refuses to read), and where followed folders are found.
#include "core/series_check.h"
#include "core/series_list.h"
#include "core/series_record.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using chapter_links::ChapterLink;
using testing_support::Sandbox;

namespace {

const QDateTime kMonday = QDateTime::fromString("2024-05-06T08:00:00Z", Qt::ISODate);

QList<ChapterLink> Page(const QList<int>& numbers) {
  QList<ChapterLink> links;
  for (int n : numbers)
    links.append({QString("http://s.example/c/%1").arg(n), QString("Chapter %1").arg(n), QString::number(n), {}});
  return links;
}

QStringList Numbers(const QList<SeriesChapter>& chapters) {
  QStringList numbers;
  for (const SeriesChapter& c : chapters) numbers << c.number;
  return numbers;
}

} // namespace

TEST(SeriesRecord, ChecksDownloadWhatIsNewOrFailedAndLeaveVanishedChaptersAlone) {
  const struct {
    const char* what;
    FirstCheck take;
    QList<QList<int>> pages;    ///< the list page at each check
    QList<int> failAfterCheck1; ///< chapters whose download fails after the first check
    QStringList lastDownload;   ///< what the last check downloads
    int lastNew;
  } rows[] = {
      {"every chapter, then two more", FirstCheck::All, {{1, 2, 3}, {1, 2, 3, 4, 5}}, {}, {"4", "5"}, 2},
      {"only new ones: the first check skips", FirstCheck::OnlyNew, {{1, 2, 3}, {1, 2, 3, 4}}, {}, {"4"}, 1},
      {"only new ones, nothing new", FirstCheck::OnlyNew, {{1, 2}, {1, 2}}, {}, {}, 0},
      {"a failed chapter is tried again", FirstCheck::All, {{1, 2}, {1, 2, 3}}, {2}, {"2", "3"}, 1},
      {"a failed chapter that vanished stays", FirstCheck::All, {{1, 2}, {1, 3}}, {2}, {"3"}, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    Sandbox box;
    CSeriesRecord record = CSeriesRecord::Create(box.path(), "http://s.example/list", row.take);
    CSeriesRecord::Plan plan;
    for (qsizetype check = 0; check < row.pages.size(); ++check) {
      QList<ChapterLink> found = Page(row.pages[check]);
      plan = record.MergeCheck(found, "Tide", 0, kMonday.addDays(check));
      if (check + 1 == row.pages.size()) break;
      for (const SeriesChapter& chapter : plan.download) {
        const bool fails = row.failAfterCheck1.contains(chapter.number.toInt());
        record.Mark(chapter.url, fails ? ChapterState::Failed : ChapterState::Downloaded);
      }
    }
    EXPECT_EQ(Numbers(plan.download), row.lastDownload);
    EXPECT_EQ(plan.newChapters, row.lastNew);
    EXPECT_EQ(record.lastNew, row.lastNew);
  }
}

TEST(SeriesRecord, SavedWholeReadBackAndAHandEditedFileCannotEscapeTheFolder) {
  Sandbox box;
  CSeriesRecord record = CSeriesRecord::Create(box.path(), "http://s.example/list", FirstCheck::OnlyNew);
  record.MergeCheck(Page({1, 2}), QString::fromUtf8("潮 \"Tide\""), 12, kMonday);
  record.Mark("http://s.example/c/1", ChapterState::Downloaded);
  ASSERT_TRUE(record.Save());

  std::optional<CSeriesRecord> read = CSeriesRecord::Load(box.path() + "/");
  ASSERT_TRUE(read);
  EXPECT_EQ(read->Folder(), box.path());
  EXPECT_EQ(read->chapters, record.chapters);
  EXPECT_EQ(std::tie(read->series, read->count, read->take, read->checked, read->searched),
            std::tie(record.series, record.count, record.take, record.checked, record.searched));
  EXPECT_EQ(read->CountIn(ChapterState::Skipped), 1);

  const QString path = box.file(CSeriesRecord::kFileName);
  // Folders that leave the series folder, doubled folders and addresses are dropped; the rest stays.
  ASSERT_TRUE(testing_support::WriteBytes(path, R"({"url": "http://s.example/list", "chapters": [
      {"url": "http://s.example/c/1", "folder": "../../outside", "state": "downloaded"},
      {"url": "http://s.example/c/2", "folder": "a/b"},
      {"url": "http://s.example/c/3", "folder": "Chapter 3", "state": "failed"},
      {"url": "http://s.example/c/4", "folder": "Chapter 3"},
      {"url": "http://s.example/c/3", "folder": "Chapter 3b"},
      {"url": "", "folder": "Chapter 5"}]})"));
  read = CSeriesRecord::Load(box.path());
  ASSERT_TRUE(read);
  ASSERT_EQ(read->chapters.size(), 1);
  EXPECT_EQ(read->chapters[0].state, ChapterState::Failed);
  EXPECT_EQ(read->take, FirstCheck::Ask);

  for (const QByteArray& broken : {QByteArray("{not json"), QByteArray("[]"), QByteArray(R"({"chapters": []})")}) {
    ASSERT_TRUE(testing_support::WriteBytes(path, broken));
    EXPECT_FALSE(CSeriesRecord::Load(box.path())) << broken.constData();
    EXPECT_TRUE(CSeriesRecord::IsSeriesFolder(box.path()));
  }
  EXPECT_FALSE(CSeriesRecord::Load(box.file("missing")));
}

TEST(SeriesCheck, AFailedSearchIsNotedAndChangesNoChapter) {
  Sandbox box;
  CSeriesRecord record = CSeriesRecord::Create(box.path(), "http://s.example/list", FirstCheck::OnlyNew);
  CChapterSearch::Result failed;
  failed.error = "the list page could not be loaded (HTTP 503)";
  const CSeriesCheck::Outcome outcome = CSeriesCheck::Apply(record, failed, kMonday);
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.record.lastError, failed.error);
  EXPECT_EQ(outcome.record.checked, kMonday);
  // The page never answered, so the next check that reaches it is still the first one.
  const CChapterSearch::Result found{
      true, {}, {{"http://s.example/c/1", "", "Chapter 1"}, {"http://s.example/c/2", "", "Chapter 2"}}, {"Tide", {}, 40}};
  const CSeriesCheck::Outcome later = CSeriesCheck::Apply(outcome.record, found, kMonday.addDays(1));
  EXPECT_TRUE(later.plan.download.isEmpty());
  EXPECT_EQ(later.record.CountIn(ChapterState::Skipped), 2);
  EXPECT_TRUE(later.record.lastError.isEmpty());
}

TEST(SeriesList, FollowedFoldersAreKeptOnceAndFoundBelowFoldersAfterAMove) {
  Sandbox box;
  CSeriesList list(box.file("data/series.json"));
  EXPECT_TRUE(list.Folders().isEmpty());
  EXPECT_TRUE(list.Add(box.file("comics/tide")));
  EXPECT_TRUE(list.Add(box.file("comics/tide/")));
  EXPECT_TRUE(list.Add(box.file("comics/./sky")));
  EXPECT_EQ(list.Folders(), QStringList({box.file("comics/tide"), box.file("comics/sky")}));
  EXPECT_TRUE(list.Remove(box.file("comics/tide")));
  EXPECT_EQ(list.Folders(), QStringList({box.file("comics/sky")}));

  for (const char* folder : {"moved/a/tide", "moved/sky", "moved/b/c/d/e/too-deep"}) {
    ASSERT_TRUE(QDir().mkpath(box.file(folder)));
    CSeriesRecord::Create(box.file(folder), "http://s.example/list", FirstCheck::All).Save();
  }
  ASSERT_TRUE(QDir().mkpath(box.file("loop")));
  ASSERT_TRUE(QFile::link(box.file("moved"), box.file("loop/link")));
  EXPECT_EQ(CSeriesList::FoldersUnder({box.file("moved"), box.file("moved/sky"), box.file("loop")}),
            QStringList({box.file("moved/a/tide"), box.file("moved/sky")}));
}
