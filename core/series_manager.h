#pragma once
// CSeriesManager: the series Folivex follows, while it runs. It keeps the list of followed
// folders (CSeriesList, shared with folivex-get), checks a series when "series_check_hours"
// have passed since its last check (0: never by itself), one series at a time, and adds a task
// for each chapter a check finds to download, queued to start now. As the chapters' tasks end
// it marks them downloaded or failed in their series' record, and it tells its listener how
// many new chapters each check found (the tray notice) and whenever something it shows changed.
//
// A chapter whose task is still in the list from an earlier check is not added twice: a
// finished one is marked downloaded, a stopped or failed one is queued again, and one whose
// series folder moved since is replaced by a task for the new place.
//
// Threading: the user-interface thread, whose event loop must run (searches and the timer).
#include "core/chapter_events.h"
#include "core/series_check.h"
#include "core/series_list.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <optional>

class CSetting;
class CTaskManager;

class FISeriesListener {
public:
  virtual ~FISeriesListener() = default;
  /// The list, a record, or the check under way changed.
  virtual void OnSeriesChanged() {}
  /// A check of `series` found `count` chapters it had not seen before, now queued.
  virtual void OnNewChapters(const QString& series, int count) { (void)series, (void)count; }
};

class CSeriesManager : private FIChapterEventSink {
public:
  /// How often due checks are looked for.
  static constexpr int kDefaultLookIntervalMs = 5 * 60 * 1000;

  /// One followed series as the panel shows it.
  struct Entry {
    QString folder;
    std::optional<CSeriesRecord> record; ///< nullopt: the folder or its record is gone
    QDateTime nextCheck;                 ///< invalid: no check planned (interval 0, or gone)
    bool checking = false;               ///< its check runs now
    bool waiting = false;                ///< its check waits for the one that runs
  };

  /// `tasks` and `setting` must outlive the manager.
  CSeriesManager(CTaskManager& tasks, CSetting& setting, CSeriesList list = CSeriesList());
  ~CSeriesManager() override;

  void SetListener(FISeriesListener* listener) { listener_ = listener; }
  /// Starts looking for due checks every `intervalMs`, and once right away.
  void StartTimer(int intervalMs = kDefaultLookIntervalMs);
  /// The clock (tests); null: the real one.
  void SetClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

  /// The followed series, read from their records now.
  QList<Entry> Series() const;
  /// What Follow did.
  enum class FollowResult {
    Followed,     ///< listed, and its first check queued
    OtherSeries,  ///< the folder follows another list page already
    CannotWrite,  ///< the folder or its record cannot be made, or the list cannot be written
  };
  /// Follows the list page `url` in `folder` (created when missing) and checks it now. When the
  /// folder already follows that page, it is only listed and checked.
  FollowResult Follow(const QString& url, const QString& folder, FirstCheck take);
  /// Stops following the series of `folder`; its files, record included, stay.
  void Unfollow(const QString& folder);
  /// Checks the series of `folder` as soon as the check under way has ended.
  void CheckNow(const QString& folder);
  /// Queues a check of every series whose next check is due.
  void CheckDue();
  /// When the series of `record` is checked next; invalid when the interval is 0.
  QDateTime NextCheck(const CSeriesRecord& record) const;
  /// The folder whose check runs; empty when none.
  QString Checking() const { return checking_; }

private:
  void RunNext();
  void OnCheckDone(const CSeriesCheck::Outcome& outcome);
  void AddChapterTask(const CSeriesRecord& record, const SeriesChapter& chapter);
  void NoteEnd(const CTaskInfo& task, bool done);
  void Changed();
  QDateTime Now() const;

  // FIChapterEventSink
  void OnChapterDone(const CTaskInfo& task) override { NoteEnd(task, true); }
  void OnChapterFailed(const CTaskInfo& task) override { NoteEnd(task, false); }

  CTaskManager& tasks_;
  CSetting& setting_;
  CSeriesList list_;
  CSeriesCheck check_;
  CChapterEvents events_;
  FISeriesListener* listener_ = nullptr;
  std::function<QDateTime()> clock_;
  QTimer timer_;
  QStringList queue_;   ///< folders whose check waits
  QString checking_;    ///< the folder whose check runs
  QHash<QString, QString> seriesOf_; ///< chapter address -> series folder, for tasks this run added
};
