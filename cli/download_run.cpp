#include "cli/download_run.h"

#include "cli/chapter_exec.h"
#include "cli/json_output.h"
#include "cli/progress_output.h"
#include "cli/text_output.h"
#include "core/folder_rule.h"
#include "core/task_store.h"
#include "platform/process.h"

#include <QCoreApplication>
#include <QDir>
#include <QTimer>
#include <unistd.h>

namespace folivex_get {

std::int32_t CDownloadRun::FirstTaskId() {
  // 1,000,000,000 + 1000 ids per process id: far above the front-end's ids, below INT32_MAX.
  return 1000000000 + std::int32_t(getpid() % 1000000) * 1000;
}

CDownloadRun::CDownloadRun(int jobs, platform::FIProgramLauncher& launcher, std::FILE* out,
                           std::FILE* err, bool terminal, int width)
    : out_(out), err_(err) {
  if (store_.isValid()) {
    QDir().mkpath(store_.filePath(QStringLiteral("task")));
    CTaskStore::SetStoreFolder(store_.path());
  } else {
    // Without a private folder the tasks live in memory only: point the store at a folder
    // that cannot exist rather than at the front-end's.
    CTaskStore::SetStoreFolder(QStringLiteral("/nonexistent/folivex-get/"));
  }
  setting_.max_download = jobs;
  setting_.task_id = FirstTaskId();
  tasks_ = std::make_unique<CTaskManager>(setting_, launcher, noShutdown_);
  window_ = std::make_unique<CMainWindowEndpoint>(*tasks_);
  progress_ = std::make_unique<CProgressOutput>(*tasks_, out, terminal, width);
}

CDownloadRun::~CDownloadRun() {
  exec_.reset();
  json_.reset();
  progress_.reset();
  window_.reset();
  tasks_.reset();
  CTaskStore::SetStoreFolder(QString());
}

void CDownloadRun::SetJson(bool json) {
  if (!json) return;
  json_ = std::make_unique<CJsonOutput>(*tasks_, out_);
  progress_ = std::make_unique<CProgressOutput>(*tasks_, err_, false);
}

void CDownloadRun::SetExec(const QString& command) {
  exec_.reset();
  if (!command.trimmed().isEmpty())
    exec_ = std::make_unique<CChapterExec>(*tasks_, command, err_, json_ != nullptr);
}

bool CDownloadRun::AddChapter(const ChapterJob& job, int label) {
  const QString folder = QDir::cleanPath(QDir::current().absoluteFilePath(job.folder));
  const folder_rule::Problem problem = folder_rule::CheckTaskFolder(folder);
  if (problem != folder_rule::Problem::None) {
    const QString why = problem == folder_rule::Problem::NotWritable
                            ? QStringLiteral("cannot write into the folder %1")
                            : QStringLiteral("cannot create the folder %1");
    WriteLine(err_, QStringLiteral("folivex-get: %1: ").arg(job.url) + why.arg(folder));
    ++failures_;
    return false;
  }
  CTaskInfo* task = tasks_->AddTask(job.url, folder, true);
  if (!task) {
    WriteLine(err_, QStringLiteral("folivex-get: %1: listed twice, downloaded once").arg(job.url));
    return false;
  }
  // Two downloads into one folder would overwrite each other's pages.
  if (!tasks_->LockTaskFolder(*task)) {
    tasks_->DeleteTask(task);
    WriteLine(err_, QStringLiteral("folivex-get: %1: another download is using this folder (%2)")
                        .arg(job.url, folder));
    ++failures_;
    return false;
  }
  progress_->SetLabel(task->id, label);
  if (json_) json_->SetLabel(task->id, label);
  return true;
}

void CDownloadRun::OnTaskChanged() {
  const int running = tasks_->CountTasks(TASK_RUNNING);
  if (running > mostRunning_) mostRunning_ = running;
  if (!running_ || ending_) return;
  if (running == 0 && tasks_->CountTasks(TASK_WAIT) == 0 && !tasks_->IsPacking()) {
    // Leave the loop after the current handler: the engine may still wait for our reply.
    ending_ = true;
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
  }
}

int CDownloadRun::Run() {
  running_ = true;
  ending_ = false;
  OnTaskChanged(); // nothing queued at all: end at once
  QCoreApplication::exec();
  running_ = false;
  progress_->Finish();
  EndEngines();
  if (exec_) exec_->Wait();
  WriteSummary();
  if (interruptCode_ >= 0) return interruptCode_;
  ReportFailures();
  return failures_ > 0 ? kSomeFailed : kAllFinished;
}

void CDownloadRun::Interrupt(int exitCode) {
  if (interruptCode_ >= 0) return;
  interruptCode_ = exitCode;
  ending_ = true;
  progress_->Finish(); // the message below must not land inside the bars
  WriteLine(err_, QStringLiteral("folivex-get: interrupted, telling the engines to quit"));
  tasks_->StopAllTasks(); // every running engine gets WM_APP_ENGINE_QUIT, without waiting
  QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
}

QString CDownloadRun::SummaryLine(int done, int chapters, int pages, bool interrupted) {
  QString line = QStringLiteral("%1 of %2 chapters done (%3 pages)").arg(done).arg(chapters).arg(pages);
  if (done < chapters)
    line += QStringLiteral(", %1 %2").arg(chapters - done).arg(interrupted ? QStringLiteral("not finished")
                                                                         : QStringLiteral("failed"));
  return line;
}

void CDownloadRun::WriteSummary() {
  int done = 0;
  int pages = 0;
  for (const auto& task : *tasks_) {
    if (!task->IsFinished() || !task->error_text.isEmpty()) continue;
    ++done;
    pages += task->finish;
  }
  // failures_ counts only chapters that never became a task until ReportFailures runs.
  WriteLine(SummaryStream(), SummaryLine(done, tasks_->Count() + failures_, pages, interruptCode_ >= 0));
}

void CDownloadRun::EndEngines() {
  // Each task has at most one engine left: a restart ends the old one before the next starts.
  QList<platform::ProcessRef> engines;
  for (const auto& task : *tasks_)
    if (platform::IsProcessRunning(task->engine_process)) engines.append(task->engine_process);
  const int killed =
      platform::AwaitProcessesEnd(engines, engineTermAfterMs_, engineKillAfterMs_);
  if (killed > 0)
    WriteLine(err_, QStringLiteral("folivex-get: %1 engine(s) did not quit and were killed")
                        .arg(killed));
}

void CDownloadRun::ReportFailures() {
  for (const auto& task : *tasks_) {
    // A finished chapter with an error text could not be packed; its pages stayed.
    if (task->IsFinished() && task->error_text.isEmpty()) continue;
    ++failures_;
    QString reason = task->error_text;
    if (reason.isEmpty())
      reason = task->finish <= 0  ? QStringLiteral("no page was saved")
               : task->total > 0 ? QStringLiteral("stopped after page %1 of %2")
                                       .arg(task->finish).arg(task->total)
                                 : QStringLiteral("stopped after page %1; the page count never "
                                                  "came").arg(task->finish);
    WriteLine(err_, QStringLiteral("folivex-get: %1: %2")
                        .arg(task->url, CProgressOutput::Printable(reason)));
  }
}

} // namespace folivex_get
