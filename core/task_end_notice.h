#pragma once
// CTaskEndNotice: follows the tasks and composes a short notice for every task that ends as
// done or failed, and one summary when the whole queue is over (no task runs, waits or waits
// to be packed) after more than one task ended. A task the user stops ends without a notice.
// A finished task that is to be packed is announced once its archive is made, so the notice
// can name it.
//
// Where the notice goes is the sink's business: the main window shows it in the tray while it
// is hidden, unless the "notify_done" setting is off.
//
// Texts: language section "NOTICE". User-interface thread only, as every task observer.
#include "core/task_event_observer.h"

#include <QSet>
#include <QString>
#include <cstdint>

class CTaskInfo;
class CTaskManager;

/// Receives the finished notices.
class FINoticeSink {
public:
  virtual ~FINoticeSink() = default;
  virtual void ShowNotice(const QString& title, const QString& text) = 0;
};

class CTaskEndNotice : public CTaskEventObserver {
public:
  /// `tasks` and `sink` must outlive the notice.
  CTaskEndNotice(const CTaskManager& tasks, FINoticeSink& sink);

  void OnTaskChanged() override;

  /// "Title\nN pages\nFOLDER or ARCHIVE" (plus the packing failure, if any).
  static QString DoneText(const CTaskInfo& task);
  /// "Title\nREASON".
  static QString FailedText(const CTaskInfo& task);
  /// "N downloaded, M failed."
  static QString SummaryText(int done, int failed);

private:
  const CTaskManager& tasks_;
  FINoticeSink& sink_;
  QSet<std::int32_t> running_; ///< tasks seen running and not yet announced
  int done_ = 0;               ///< announced since the queue was last over
  int failed_ = 0;
};
