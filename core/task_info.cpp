#include "core/task_info.h"

QString CTaskInfo::StateName() const {
  if (IsFinished()) return QStringLiteral("ok");
  if (status == TASK_RUNNING) return QStringLiteral("running");
  if (status == TASK_WAIT) return QStringLiteral("wait");
  if (!error_text.isEmpty()) return QStringLiteral("error");
  return QStringLiteral("stop");
}
