#include "core/series_manager.h"

#include "core/setting.h"
#include "core/task_manager.h"

#include <QDir>

namespace {

constexpr qint64 kSecondsPerHour = 3600;

} // namespace

CSeriesManager::CSeriesManager(CTaskManager& tasks, CSetting& setting, CSeriesList list)
    : tasks_(tasks), setting_(setting), list_(std::move(list)), check_(tasks.Launcher()),
      events_(tasks, *this) {
  check_.SetDoneCallback([this](const CSeriesCheck::Outcome& outcome) { OnCheckDone(outcome); });
  check_.SetClock([this] { return Now(); });
  QObject::connect(&timer_, &QTimer::timeout, [this] { CheckDue(); });
}

CSeriesManager::~CSeriesManager() {
  timer_.stop();
  check_.Cancel();
}

void CSeriesManager::StartTimer(int intervalMs) {
  timer_.start(intervalMs);
  QTimer::singleShot(0, &timer_, [this] { CheckDue(); });
}

QDateTime CSeriesManager::Now() const { return clock_ ? clock_() : QDateTime::currentDateTimeUtc(); }

QDateTime CSeriesManager::NextCheck(const CSeriesRecord& record) const {
  if (setting_.series_check_hours <= 0) return {};
  if (!record.checked.isValid()) return Now();
  return record.checked.addSecs(setting_.series_check_hours * kSecondsPerHour);
}

QList<CSeriesManager::Entry> CSeriesManager::Series() const {
  QList<Entry> entries;
  for (const QString& folder : list_.Folders()) {
    Entry entry;
    entry.folder = folder;
    entry.record = CSeriesRecord::Load(folder);
    if (entry.record) entry.nextCheck = NextCheck(*entry.record);
    entry.checking = folder == checking_;
    entry.waiting = queue_.contains(folder);
    entries << entry;
  }
  return entries;
}

CSeriesManager::FollowResult CSeriesManager::Follow(const QString& url, const QString& folder,
                                                    FirstCheck take) {
  const QString clean = QDir::cleanPath(folder);
  const std::optional<CSeriesRecord> existing = CSeriesRecord::Load(clean);
  if (existing && existing->url != url) return FollowResult::OtherSeries;
  if (!existing) {
    CSeriesRecord record = CSeriesRecord::Create(clean, url, take);
    if (CSeriesRecord::IsSeriesFolder(clean) || !QDir().mkpath(clean) || !record.Save())
      return FollowResult::CannotWrite;
  }
  if (!list_.Add(clean)) return FollowResult::CannotWrite;
  CheckNow(clean);
  return FollowResult::Followed;
}

void CSeriesManager::Unfollow(const QString& folder) {
  queue_.removeAll(folder);
  if (checking_ == folder) {
    check_.Cancel();
    checking_.clear();
    QTimer::singleShot(0, &timer_, [this] { RunNext(); });
  }
  list_.Remove(folder);
  Changed();
}

void CSeriesManager::CheckNow(const QString& folder) {
  if (folder != checking_ && !queue_.contains(folder)) queue_ << folder;
  Changed();
  RunNext();
}

void CSeriesManager::CheckDue() {
  const QDateTime now = Now();
  for (const Entry& entry : Series()) {
    if (!entry.record || !entry.nextCheck.isValid() || entry.nextCheck > now) continue;
    if (entry.folder != checking_ && !queue_.contains(entry.folder)) queue_ << entry.folder;
  }
  Changed();
  RunNext();
}

void CSeriesManager::RunNext() {
  while (checking_.isEmpty() && !queue_.isEmpty()) {
    const QString folder = queue_.takeFirst();
    const std::optional<CSeriesRecord> record = CSeriesRecord::Load(folder);
    if (!record) continue; // gone meanwhile: the panel shows it
    checking_ = folder;
    check_.SetCookiesFile(setting_.cookies_file);
    check_.Start(tasks_.EngineProgram(), *record);
  }
  Changed();
}

void CSeriesManager::OnCheckDone(const CSeriesCheck::Outcome& outcome) {
  checking_.clear();
  if (outcome.ok) {
    for (const SeriesChapter& chapter : outcome.plan.download) AddChapterTask(outcome.record, chapter);
    if (outcome.plan.newChapters > 0 && listener_)
      listener_->OnNewChapters(outcome.record.series.isEmpty() ? outcome.record.Folder() : outcome.record.series,
                               outcome.plan.newChapters);
  }
  RunNext();
}

void CSeriesManager::AddChapterTask(const CSeriesRecord& record, const SeriesChapter& chapter) {
  const QString folder = record.ChapterFolder(chapter);
  seriesOf_.insert(chapter.url, record.Folder());
  for (const auto& task : tasks_) {
    if (task->url != chapter.url) continue;
    CTaskInfo* existing = task.get();
    if (QDir::cleanPath(existing->folder) == QDir::cleanPath(folder)) {
      if (existing->IsFinished())
        CSeriesCheck::NoteChapterEnd(record.Folder(), chapter.url, true, folder, existing->finish);
      else
        tasks_.QueueTask(existing);
      return;
    }
    // The series folder moved since: the old task would download into the old place.
    if (existing->status == TASK_RUNNING) return;
    tasks_.DeleteTask(existing);
    break;
  }
  tasks_.AddTask(chapter.url, folder, true);
}

void CSeriesManager::NoteEnd(const CTaskInfo& task, bool done) {
  QString series = seriesOf_.value(task.url);
  if (series.isEmpty()) {
    // A chapter queued before this run: its series is the one whose record names its folder.
    for (const QString& folder : list_.Folders()) {
      std::optional<CSeriesRecord> record = CSeriesRecord::Load(folder);
      const SeriesChapter* chapter = record ? record->FindChapter(task.url) : nullptr;
      if (chapter && QDir::cleanPath(record->ChapterFolder(*chapter)) == QDir::cleanPath(task.folder)) {
        series = folder;
        break;
      }
    }
  }
  if (series.isEmpty()) return;
  CSeriesCheck::NoteChapterEnd(series, task.url, done, task.folder, task.finish);
  Changed();
}

void CSeriesManager::Changed() {
  if (listener_) listener_->OnSeriesChanged();
}
