#include "cli/series_run.h"

#include "cli/progress_output.h"
#include "cli/text_output.h"
#include "core/series_list.h"
#include "platform/process.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace folivex_get {

namespace {

constexpr int kEngineTermAfterMs = 3000;
constexpr int kEngineKillAfterMs = 5000;

QString SeriesLabel(const CSeriesRecord& record) {
  return CProgressOutput::Printable(record.series.isEmpty() ? record.Folder() : record.series);
}

} // namespace

CSeriesRun::CSeriesRun(platform::FIProgramLauncher& launcher, const QString& engineProgram,
                       CDownloadRun& downloads, std::FILE* err)
    : check_(launcher), engineProgram_(engineProgram), downloads_(downloads), err_(err) {
  // Search results go with the run, whatever ends it.
  check_.SetResultFolder(downloads.RunFolder());
}

void CSeriesRun::Say(const QString& text) { Write(downloads_.SummaryStream(), text); }

void CSeriesRun::Warn(const QString& text) { Write(err_, QStringLiteral("folivex-get: ") + text); }

void CSeriesRun::Write(std::FILE* stream, const QString& text) {
  WriteLine(stream, text);
}

int CSeriesRun::Follow(const QString& url, const QString& folder, FirstCheck take) {
  const QString absolute = QDir::cleanPath(QDir::current().absoluteFilePath(folder));
  std::optional<CSeriesRecord> record = CSeriesRecord::Load(absolute);
  if (record && record->url != url) {
    Warn(QStringLiteral("%1 already follows %2").arg(absolute, record->url));
    return kFailed;
  }
  if (!record) {
    if (CSeriesRecord::IsSeriesFolder(absolute)) {
      Warn(QStringLiteral("the series record in %1 cannot be read").arg(absolute));
      return kFailed;
    }
    record = CSeriesRecord::Create(absolute, url, take);
    if (!QDir().mkpath(absolute) || !record->Save()) {
      Warn(QStringLiteral("cannot write the series record in %1").arg(absolute));
      return kFailed;
    }
  }
  if (!CSeriesList().Add(absolute))
    Warn(QStringLiteral("cannot add %1 to the series Folivex follows").arg(absolute));
  const bool checked = CheckOne(*record);
  return DownloadAndNote(checked ? 0 : 1);
}

int CSeriesRun::Check(const QStringList& folders) {
  QStringList series;
  int failed = 0;
  if (folders.isEmpty()) {
    for (const QString& folder : CSeriesList().Folders()) {
      if (CSeriesRecord::IsSeriesFolder(folder)) {
        series << folder;
        continue;
      }
      Warn(QStringLiteral("%1: the series folder is gone (moved? check it with "
                         "--check NEW_PLACE)").arg(folder));
      ++failed;
    }
  } else {
    series = CSeriesList::FoldersUnder(folders);
  }
  if (series.isEmpty() && failed == 0) Warn(QStringLiteral("no followed series found"));
  for (const QString& folder : series) {
    if (interruptCode_ >= 0) break;
    const std::optional<CSeriesRecord> record = CSeriesRecord::Load(folder);
    if (!record) {
      Warn(QStringLiteral("the series record in %1 cannot be read").arg(folder));
      ++failed;
      continue;
    }
    if (!CheckOne(*record)) ++failed;
  }
  return DownloadAndNote(failed);
}

bool CSeriesRun::CheckOne(const CSeriesRecord& record) {
  CSeriesCheck::Outcome outcome;
  check_.SetDoneCallback([&outcome](const CSeriesCheck::Outcome& result) {
    outcome = result;
    QCoreApplication::exit(0);
  });
  searching_ = true;
  check_.Start(engineProgram_, record);
  QCoreApplication::exec();
  searching_ = false;
  if (interruptCode_ >= 0 || !outcome.ok) {
    check_.Cancel();
    platform::AwaitProcessesEnd({check_.EngineProcess()}, kEngineTermAfterMs, kEngineKillAfterMs);
    if (interruptCode_ < 0)
      Warn(QStringLiteral("%1: %2").arg(SeriesLabel(record), outcome.error));
    return false;
  }
  const CSeriesRecord::Plan& plan = outcome.plan;
  const int retries = int(plan.download.size()) - plan.newChapters;
  QString line = QStringLiteral("%1: %2 new chapter%3").arg(SeriesLabel(outcome.record))
                     .arg(plan.newChapters).arg(plan.newChapters == 1 ? "" : "s");
  if (retries > 0) line += QStringLiteral(", %1 to try again").arg(retries);
  Say(line);
  for (const SeriesChapter& chapter : plan.download) {
    seriesOf_.insert(chapter.url, outcome.record.Folder());
    downloads_.AddChapter({chapter.url, outcome.record.ChapterFolder(chapter)}, nextLabel_++);
  }
  return true;
}

int CSeriesRun::DownloadAndNote(int failedChecks) {
  if (interruptCode_ >= 0) return interruptCode_;
  for (int i = 0; i < failedChecks; ++i) downloads_.CountFailure();
  const int code = downloads_.Run();
  for (const auto& task : downloads_.Tasks()) {
    const QString series = seriesOf_.value(task->url);
    if (series.isEmpty()) continue;
    const bool done = task->IsFinished();
    CSeriesCheck::NoteChapterEnd(series, task->url, done, task->folder, task->finish);
  }
  return interruptCode_ >= 0 ? interruptCode_ : code;
}

void CSeriesRun::Interrupt(int exitCode) {
  if (interruptCode_ < 0) interruptCode_ = exitCode;
  if (searching_) {
    check_.Cancel();
    QCoreApplication::exit(0);
  } else {
    downloads_.Interrupt(exitCode);
  }
}

} // namespace folivex_get
