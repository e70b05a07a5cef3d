#include "frontend/task_manager.h"

#include "archive/cbz_packer.h"
#include "common/command_file.h"
#include "common/engine_report.h"
#include "common/ini_rules.h"
#include "common/program_folder.h"
#include "common/protocol.h"
#include "frontend/main_window_endpoint.h"
#include "frontend/task_event_observer.h"
#include "skin/skin_loader.h"

#include <QDir>
#include <QFile>
#include <chrono>
#include <vector>

namespace {

std::int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// An absolute folder other than the root.
bool IsUsableFolder(const QString& folder) {
  return QDir::isAbsolutePath(folder) && QDir::cleanPath(folder) != QLatin1String("/");
}

void TellEngineToQuit(platform::HWND engine) {
  if (engine != 0 && platform::IsWindow(engine))
    platform::SendNotifyMessage(engine, protocol::WM_APP_ENGINE_QUIT, 0, 0);
}

} // namespace

void CTaskManager::CSelectTaskProxy::OnTimerNotify() {
  StopTimer();
  owner_.SelectTasksToStart();
}

void CTaskManager::CWatchdogProxy::OnTimerNotify() { owner_.CheckEngines(); }

void CTaskManager::CPackProxy::OnTimerNotify() {
  StopTimer();
  owner_.PackQueuedTasks();
}

CTaskManager::CTaskManager(CSetting& setting, platform::FIProgramLauncher& launcher,
                           platform::FIShutdown& shutdown)
    : CTaskStore(setting), engines_(launcher), shutdown_(shutdown) {}

CTaskManager::~CTaskManager() {
  selector_.StopTimer();
  watchdog_.StopTimer();
  packer_.StopTimer();
}

QString CTaskManager::EngineProgram() const {
  return engineProgram_.isEmpty() ? common::ProgramFolder() + QStringLiteral("Gantrell")
                                  : engineProgram_;
}

void CTaskManager::SetWatchdog(int helloTimeoutMs, int intervalMs) {
  helloTimeoutMs_ = helloTimeoutMs;
  watchIntervalMs_ = intervalMs;
  if (watchdog_.IsTimerRunning()) watchdog_.StartTimer(watchIntervalMs_);
}

// ---- task list operations -------------------------------------------------------------

CTaskInfo* CTaskManager::AddTask(const QString& url, const QString& folder, bool startNow) {
  if (HasTaskWithUrl(url)) return nullptr;
  auto* record = new CTaskInfo;
  record->id = AllocateTaskId();
  record->ini = TaskFilePath(record->id);
  record->url = url;
  record->folder = common::WithTrailingSlash(folder);
  record->now_url = url;
  Add(record);
  SaveTaskFile(*record); // without a "task/" folder the task lives for this run only
  CTaskEventObserver::NotifyTaskAdded(record->id);
  if (startNow) record->status = TASK_WAIT;
  RequestSelection();
  CTaskEventObserver::NotifyTaskChanged();
  return record;
}

void CTaskManager::DeleteTask(CTaskInfo* record) {
  if (!record || Find(record) < 0) return;
  const std::int32_t id = record->id;
  StopTask(id);
  CTaskEventObserver::NotifyTaskRemoved(id);
  if (!record->ini.isEmpty()) QFile::remove(record->ini);
  Delete(Find(record));
}

void CTaskManager::RemoveFinishedTasks() {
  std::vector<std::int32_t> finished;
  for (const auto& record : *this)
    if (record->IsFinished()) finished.push_back(record->id);
  for (std::int32_t id : finished) DeleteTask(FindTask(id));
}

// ---- scheduling -----------------------------------------------------------------------

void CTaskManager::RequestSelection() { selector_.StartTimer(kSelectionDelayMs); }

void CTaskManager::QueueTask(CTaskInfo* record) {
  if (!record || record->IsFinished() || record->status == TASK_RUNNING) return;
  record->status = TASK_WAIT;
  RequestSelection();
  CTaskEventObserver::NotifyTaskChanged();
}

int CTaskManager::CountTasks(std::int32_t status) const {
  int count = 0;
  for (const auto& record : *this)
    if (record->status == status) ++count;
  return count;
}

void CTaskManager::SelectTasksToStart() {
  ++selectionPasses_;
  std::vector<std::int32_t> waiting;
  for (const auto& record : *this)
    if (record->status == TASK_WAIT) waiting.push_back(record->id);
  const int free = Setting().max_download - CountTasks(TASK_RUNNING);
  for (int i = 0; i < free && i < int(waiting.size()); ++i) StartTask(waiting[i]);
}

void CTaskManager::StartTask(std::int32_t id) {
  CTaskInfo* record = FindTask(id);
  if (!record || !mainWindow_) return; // the hand-off file needs the main window's handle
  TellEngineToQuit(record->engine_wnd);
  if (!IsUsableFolder(record->folder)) {
    // The engine saves pages under this prefix; a task file edited by hand must not send them
    // to the working folder or the file-system root.
    record->status = TASK_STOP;
    record->engine_wnd = 0;
    record->error_text = FCSkinLoader::LoadLanguageText(QStringLiteral("ERROR"), 1);
    RequestSelection(); // the slot it would have taken goes to the next waiting task
    CTaskEventObserver::NotifyTaskChanged();
    return;
  }
  record->status = TASK_RUNNING;
  record->engine_wnd = 0;
  record->error_text.clear();
  ++record->start_count;
  record->launched_ms = NowMs();

  common::HandOff job;
  job.hwnd = mainWindow_->Handle();
  job.id = record->id;
  job.index = record->now_index;
  job.url = record->now_url;
  job.folder = common::WithTrailingSlash(record->folder);
  // Written only when set, so that the file stays as it was for the defaults.
  if (Setting().page_delay > 0) job.pageDelay = Setting().page_delay;
  if (Setting().page_memory != protocol::kDefaultPageMemoryMiB) job.pageMemory = Setting().page_memory;
  // An engine that cannot start never says hello; the watchdog then treats the task as stalled.
  engines_.Start(EngineProgram(), job);
  if (!watchdog_.IsTimerRunning()) watchdog_.StartTimer(watchIntervalMs_);
  CTaskEventObserver::NotifyTaskChanged();
}

void CTaskManager::StopTask(std::int32_t id) {
  CTaskInfo* record = FindTask(id);
  if (!record) return;
  if (record->status == TASK_RUNNING) TellEngineToQuit(record->engine_wnd);
  record->status = TASK_STOP;
  record->engine_wnd = 0;
  RequestSelection();
  CTaskEventObserver::NotifyTaskChanged();
}

void CTaskManager::StopAllTasks() {
  std::vector<std::int32_t> ids;
  for (const auto& record : *this) ids.push_back(record->id);
  for (std::int32_t id : ids) StopTask(id);
}

// ---- engine messages ------------------------------------------------------------------

platform::LRESULT CTaskManager::AcceptEngine(std::int32_t id, platform::HWND engineWindow) {
  CTaskInfo* record = FindTask(id);
  if (!record || record->status != TASK_RUNNING) return 0;
  record->engine_wnd = engineWindow;
  return protocol::ENGINE_HELLO_ACCEPTED;
}

void CTaskManager::OnEngineCommand(std::int32_t taskId, std::int32_t number) {
  const QString path = common::CommandFilePath(taskId, number);
  const std::optional<common::EngineReport> report =
      common::ParseReport(common::ReadCommandFile(path));
  QFile::remove(path);
  // A report about another task than the one its message names is not trusted: it would
  // change a task whose engine did not send it.
  if (!report || common::ReportTaskId(*report) != taskId) return;
  if (const auto* info = std::get_if<common::PageInfoReport>(&*report)) OnPageInfoReport(*info);
  else if (const auto* saved = std::get_if<common::PageSavedReport>(&*report)) OnPageSavedReport(*saved);
  else if (const auto* stall = std::get_if<common::StallReport>(&*report)) OnStallReport(*stall);
}

CTaskInfo* CTaskManager::FindRunningTask(std::int32_t id) const {
  CTaskInfo* record = FindTask(id);
  return record && record->status == TASK_RUNNING ? record : nullptr;
}

void CTaskManager::OnPageInfoReport(const common::PageInfoReport& report) {
  CTaskInfo* record = FindRunningTask(report.taskId);
  if (!record) return;
  // The chapter's title is the first page's: once page 1 is saved, now_index still reads 1
  // while the engine already reports page 2, so the saved count decides.
  if (record->finish < 1) record->title = report.title;
  if (record->total < report.total) record->total = report.total;
  CTaskEventObserver::NotifyTaskChanged();
}

void CTaskManager::OnPageSavedReport(const common::PageSavedReport& report) {
  CTaskInfo* record = FindRunningTask(report.taskId);
  if (!record) return;
  const std::int32_t page = report.page;
  // Pages count from 1; a report of page 0 or below would make the next start fetch nothing.
  if (page < 1) return;
  record->now_index = page;
  record->finish = page;
  record->now_url = report.url;
  const bool complete = page >= record->total;
  if (complete) StopTask(record->id);
  SaveTaskFile(*record);
  if (complete && Setting().pack_cbz) {
    // Packed after this handler: the engine waits for our reply only so long.
    packQueue_.push_back(record->id);
    packer_.StartTimer(0);
  }
  CTaskEventObserver::NotifyTaskChanged();
  if (complete) ShutdownIfAllDone();
}

void CTaskManager::OnStallReport(const common::StallReport& report) {
  CTaskInfo* record = FindRunningTask(report.taskId);
  if (!record) return;
  if (record->now_index == 1 || record->start_count > kMaxStarts) {
    record->error_text = FCSkinLoader::LoadLanguageText(QStringLiteral("ERROR"), 1);
    StopTask(record->id);
  } else {
    StartTask(record->id);
  }
  CTaskEventObserver::NotifyTaskChanged();
  ShutdownIfAllDone();
}

void CTaskManager::PackQueuedTasks() {
  const std::vector<std::int32_t> queued = std::move(packQueue_);
  packQueue_.clear();
  for (std::int32_t id : queued) {
    CTaskInfo* record = FindTask(id);
    if (record && record->IsFinished() && record->status != TASK_RUNNING) PackFinishedTask(*record);
  }
  CTaskEventObserver::NotifyTaskChanged();
  ShutdownIfAllDone();
}

void CTaskManager::PackFinishedTask(CTaskInfo& record) {
  archive::ComicInfo info;
  info.title = record.title;
  info.web = record.url;
  const archive::PackResult packed = archive::PackChapter(record.folder, record.total, info);
  if (packed.ok) {
    record.archive = packed.archive;
    return;
  }
  // The pages stay where they are; the task is done all the same, and says why it is no archive.
  record.error_text = FCSkinLoader::LoadLanguageText(QStringLiteral("ERROR"), 2) +
                      QStringLiteral(" (") + packed.error + QLatin1Char(')');
}

void CTaskManager::ShutdownIfAllDone() {
  if (!mainWindow_ || !mainWindow_->IsShutdownWhenDoneChecked()) return;
  if (CountTasks(TASK_RUNNING) > 0 || CountTasks(TASK_WAIT) > 0 || IsPacking()) return;
  shutdown_.PowerOff();
}

// ---- watchdog -------------------------------------------------------------------------

void CTaskManager::CheckEngines() {
  // A crashed or missing engine never reports again; handle it as a stalled one so it cannot
  // hold a download slot for ever. The stall handling restarts it or fails the task.
  std::vector<std::int32_t> stalled;
  const std::int64_t now = NowMs();
  for (const auto& record : *this) {
    if (record->status != TASK_RUNNING) continue;
    const bool silent = record->engine_wnd == 0 && now - record->launched_ms >= helloTimeoutMs_;
    const bool gone = record->engine_wnd != 0 && !platform::IsWindow(record->engine_wnd);
    if (silent || gone) stalled.push_back(record->id);
  }
  for (std::int32_t id : stalled)
    OnStallReport(common::StallReport{id});
  if (CountTasks(TASK_RUNNING) == 0) watchdog_.StopTimer();
}
