#include "core/series_check.h"

#include "archive/comic_info.h"
#include "core/folder_rule.h"
#include "core/series_name.h"

#include <QDir>

CSeriesCheck::CSeriesCheck(platform::FIProgramLauncher& launcher) : search_(launcher) {
  search_.SetDoneCallback([this](const CChapterSearch::Result& result) {
    const Outcome outcome = Apply(record_, result, clock_ ? clock_() : QDateTime::currentDateTimeUtc());
    if (const auto done = done_) done(outcome); // from a copy: it may delete this object
  });
}

void CSeriesCheck::Start(const QString& program, const CSeriesRecord& record) {
  record_ = record;
  search_.Start(program, record.url, record.Folder());
}

void CSeriesCheck::Cancel() { search_.Cancel(); }

CSeriesCheck::Outcome CSeriesCheck::Apply(CSeriesRecord record, const CChapterSearch::Result& result,
                                          const QDateTime& now) {
  Outcome outcome;
  if (!result.ok) {
    record.NoteFailedCheck(result.error, now);
    record.Save();
    outcome.error = result.error;
    outcome.record = record;
    return outcome;
  }
  const QList<chapter_links::ChapterLink> found = chapter_links::ChaptersAmong(result.links);
  const QString series = series_name::SeriesName(result.page.title, result.page.heading, record.url);
  CSeriesRecord::Plan plan = record.MergeCheck(found, series, result.page.count, now);
  // A chapter whose folder cannot be made is failed now and tried again next time.
  for (qsizetype i = 0; i < plan.download.size();) {
    if (PrepareChapter(record, plan.download[i])) {
      ++i;
      continue;
    }
    record.Mark(plan.download[i].url, ChapterState::Failed);
    plan.download.removeAt(i);
  }
  if (!record.Save()) outcome.error = QStringLiteral("cannot write the series record in %1").arg(record.Folder());
  outcome.ok = outcome.error.isEmpty();
  outcome.record = record;
  outcome.plan = outcome.ok ? plan : CSeriesRecord::Plan{};
  return outcome;
}

bool CSeriesCheck::PrepareChapter(const CSeriesRecord& record, const SeriesChapter& chapter) {
  return PrepareChapterFolder(record.Folder(), chapter.folder, record.series, record.count,
                              {chapter.url, chapter.title, chapter.number, chapter.folder});
}

bool CSeriesCheck::PrepareChapterFolder(const QString& baseFolder, const QString& folder,
                                        const QString& series, int count,
                                        const chapter_links::ChapterLink& chapter) {
  const QString made = folder_rule::CreateFolderInside(baseFolder, folder);
  if (made.isEmpty()) return false;
  archive::ComicInfo info;
  info.title = chapter.text;
  info.series = series;
  info.number = chapter.number;
  info.count = count;
  info.web = chapter.url;
  return archive::WriteChapterInfo(made, info);
}

bool CSeriesCheck::NoteChapterEnd(const QString& seriesFolder, const QString& url, bool done,
                                  const QString& chapterFolder, int pages) {
  std::optional<CSeriesRecord> record = CSeriesRecord::Load(seriesFolder);
  if (!record || !record->Mark(url, done ? ChapterState::Downloaded : ChapterState::Failed))
    return false;
  if (done && QDir(chapterFolder).exists()) archive::CompleteChapterInfo(chapterFolder, pages);
  return record->Save();
}
