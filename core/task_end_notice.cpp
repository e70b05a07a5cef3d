#include "core/task_end_notice.h"

#include "core/task_manager.h"
#include "common/skin_loader.h"

namespace {

QString Text(int key) { return FCSkinLoader::LoadLanguageText(QStringLiteral("NOTICE"), key); }

// Replaces the first "%d" of `format` by `value`.
QString FillNumber(QString format, int value) {
  const qsizetype at = format.indexOf(QLatin1String("%d"));
  return at < 0 ? format : format.replace(at, 2, QString::number(value));
}

QString TitleOf(const CTaskInfo& task) { return task.title.isEmpty() ? task.url : task.title; }

} // namespace

CTaskEndNotice::CTaskEndNotice(const CTaskManager& tasks, FINoticeSink& sink)
    : tasks_(tasks), sink_(sink) {}

QString CTaskEndNotice::DoneText(const CTaskInfo& task) {
  QString text = TitleOf(task) + QLatin1Char('\n') + FillNumber(Text(2), task.finish) +
                 QLatin1Char('\n') + (task.archive.isEmpty() ? task.folder : task.archive);
  if (!task.error_text.isEmpty()) text += QLatin1Char('\n') + task.error_text;
  return text;
}

QString CTaskEndNotice::FailedText(const CTaskInfo& task) {
  return TitleOf(task) + QLatin1Char('\n') + task.error_text;
}

QString CTaskEndNotice::SummaryText(int done, int failed) {
  return FillNumber(FillNumber(Text(4), done), failed);
}

void CTaskEndNotice::OnTaskChanged() {
  QSet<std::int32_t> listed;
  for (const auto& task : tasks_) {
    listed.insert(task->id);
    if (task->status == TASK_RUNNING) {
      running_.insert(task->id);
      continue;
    }
    if (task->status != TASK_STOP || !running_.contains(task->id)) continue;
    if (task->IsFinished()) {
      if (tasks_.IsPacking()) continue; // announced with its archive
      running_.remove(task->id);
      ++done_;
      sink_.ShowNotice(Text(0), DoneText(*task));
    } else {
      running_.remove(task->id);
      if (task->error_text.isEmpty()) continue; // stopped by the user
      ++failed_;
      sink_.ShowNotice(Text(1), FailedText(*task));
    }
  }
  running_.intersect(listed); // deleted tasks end without a notice

  const bool over = running_.isEmpty() && tasks_.CountTasks(TASK_WAIT) == 0 && !tasks_.IsPacking();
  if (!over) return;
  if (done_ + failed_ > 1) sink_.ShowNotice(Text(3), SummaryText(done_, failed_));
  done_ = failed_ = 0;
}
