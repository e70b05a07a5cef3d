#include "core/task_manager.h"

#include "archive/cbz_packer.h"
#include "common/command_file.h"
#include "common/engine_report.h"
#include "common/ini_rules.h"
#include "common/program_folder.h"
#include "common/protocol.h"
#include "common/skin_loader.h"
#include "core/failure_text.h"
#include "core/folder_rule.h"
#include "core/main_window_endpoint.h"
#include "core/task_event_observer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <vector>

#include <signal.h>

namespace {

std::int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Without asking IsWindow first: a probe that times out must not keep a living engine from
// hearing it; a send to an engine that is gone fails at once.
void TellEngineToQuit(platform::HWND engine) {
  if (engine != 0) platform::SendNotifyMessage(engine, protocol::WM_APP_ENGINE_QUIT, 0, 0);
}

using failure_text::ErrorText;

// Notes what the watchdog found as the reason a task's engine cannot go on.
void NoteEngineFailure(CTaskInfo& record, const char* reason) {
  record.failure_text = failure_text::ReasonText(QString::fromLatin1(reason));
  record.failure_ends_task = false;
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
  return engineProgram_.isEmpty() ? CEngineLauncher::DefaultProgram() : engineProgram_;
}

void CTaskManager::SetWatchdog(int helloTimeoutMs, int intervalMs) {
  helloTimeoutMs_ = helloTimeoutMs;
  watchIntervalMs_ = intervalMs;
  if (watchdog_.IsTimerRunning()) watchdog_.StartTimer(watchIntervalMs_);
}

void CTaskManager::SetEngineTimeouts(int silenceTimeoutMs, int endGraceMs) {
  silenceTimeoutMs_ = silenceTimeoutMs;
  endGraceMs_ = endGraceMs;
}

// ---- task list operations -------------------------------------------------------------

CTaskInfo* CTaskManager::AddTask(const QString& url, const QString& folder, bool startNow) {
  if (HasTaskWithUrl(url)) return nullptr;
  auto* record = new CTaskInfo;
  record->id = AllocateTaskId();
  record->ini = TaskFilePath(record->id);
  record->url = url;
  record->folder = common::WithTrailingSlash(folder);
  record->made_folder = folder_rule::CreatedTopLevel(folder);
  record->now_url = url;
  Add(record);
  SaveTaskFile(*record); // without a "task/" folder the task lives for this run only
  SaveTaskIndex();
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
  ForgetTask(id);
  SaveTaskIndex();
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
  // A stopped task queued again is a new start, not a restart: its restarts count anew.
  if (record->status == TASK_STOP) record->start_count = 0;
  record->status = TASK_WAIT;
  // Queued anew (by the user, or at start-up): the count of fruitless restarts starts again.
  record->restarts_without_page = 0;
  record->failure_text.clear();
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
  // Engines still ending hold their slots; the watchdog looks again once they have ended.
  endingEngines_ = CountEndingEngines();
  if (endingEngines_ > 0 && !watchdog_.IsTimerRunning()) watchdog_.StartTimer(watchIntervalMs_);
  int free = Setting().max_download - CountTasks(TASK_RUNNING) - endingEngines_;
  bool folderBusy = false;
  for (std::size_t i = 0; i < waiting.size() && free > 0; ++i) {
    StartTask(waiting[i]);
    const CTaskInfo* record = FindTask(waiting[i]);
    if (record && record->status == TASK_RUNNING) --free;
    else if (record && record->status == TASK_WAIT) folderBusy = true;
  }
  // Nothing tells when another front-end lets go of a folder: look again.
  if (folderBusy) selector_.StartTimer(kBusyFolderRetryMs);
}

int CTaskManager::CountEndingEngines() {
  int ending = 0;
  for (const auto& record : *this) {
    if (record->status == TASK_RUNNING || !record->engine_process.IsKnown()) continue;
    if (platform::IsProcessRunning(record->engine_process)) ++ending;
    else record->engine_process = {}; // ended: never looked at again
  }
  return ending;
}

void CTaskManager::StartTask(std::int32_t id) {
  CTaskInfo* record = FindTask(id);
  if (!record || !mainWindow_) return; // the hand-off file needs the main window's handle
  EndEngine(*record, true);
  if (record->folder_cut || !folder_rule::IsTaskFolderPath(record->folder)) {
    folderLocks_.Release(id);
    record->status = TASK_STOP;
    record->launch_pending = false;
    record->error_text = failure_text::ReasonText(
        QString::fromLatin1(record->folder_cut ? failure_text::kFolderCut : failure_text::kFolderNotAbsolute),
        record->folder);
    RequestSelection(); // the slot it would have taken goes to the next waiting task
    CTaskEventObserver::NotifyTaskChanged();
    return;
  }
  // A folder the task made and removed again when it failed is made again.
  if (!record->made_folder.isEmpty() && !QFileInfo::exists(record->folder))
    QDir().mkpath(record->folder);
  if (!folderLocks_.Acquire(id, record->folder)) return; // waits for the other download
  record->status = TASK_RUNNING;
  record->error_text.clear();
  record->page_cap = 0;
  record->failure_ends_task = false; // the reason itself stays until a page is saved
  ++record->start_count;
  // The previous engine may still be ending; the watchdog launches the new one after it.
  record->launch_pending = platform::IsProcessRunning(record->engine_process);
  if (!record->launch_pending) LaunchEngine(*record);
  if (!watchdog_.IsTimerRunning()) watchdog_.StartTimer(watchIntervalMs_);
  CTaskEventObserver::NotifyTaskChanged();
}

void CTaskManager::LaunchEngine(CTaskInfo& record) {
  record.launch_pending = false;
  record.engine_end_ms = 0;
  record.launched_ms = NowMs();
  record.report_ms = 0;
  record.failed_probes = 0;
  record.info_total = -1;

  common::HandOff job;
  job.hwnd = mainWindow_->Handle();
  job.id = record.id;
  job.index = record.now_index;
  job.url = record.now_url;
  job.folder = common::WithTrailingSlash(record.folder);
  // Written only when set, so that the file stays as it was for the defaults.
  if (Setting().page_delay > 0) job.pageDelay = Setting().page_delay;
  if (Setting().page_memory != protocol::kDefaultPageMemoryMiB) job.pageMemory = Setting().page_memory;
  if (Setting().max_pages != protocol::kDefaultMaxPages) job.maxPages = Setting().max_pages;
  if (!Setting().cookies_file.isEmpty()) job.cookiesFile = Setting().cookies_file;
  // An engine that cannot start never says hello; the watchdog then treats the task as stalled.
  record.engine_process = platform::IdentifyProcess(engines_.Start(EngineProgram(), job));
}

void CTaskManager::EndEngine(CTaskInfo& record, bool forRestart) {
  TellEngineToQuit(record.engine_wnd);
  record.engine_wnd = 0;
  // An engine that never said hello, or hangs, cannot hear the message: its process is told.
  if (forRestart && platform::SignalProcess(record.engine_process, SIGTERM) &&
      record.engine_end_ms == 0)
    record.engine_end_ms = NowMs();
}

void CTaskManager::FailTask(CTaskInfo& record, int reason) {
  EndFailedTask(record, ErrorText(reason));
}

void CTaskManager::EndFailedTask(CTaskInfo& record, const QString& text) {
  record.error_text = text;
  StopTask(record.id);
  RemoveMadeFolder(record);
}

bool CTaskManager::IsOutOfRestarts(const CTaskInfo& record) const {
  return record.failure_ends_task || record.now_index == 1 || record.start_count > kMaxStarts ||
         record.restarts_without_page >= kMaxRestartsWithoutPage;
}

void CTaskManager::RemoveMadeFolder(const CTaskInfo& record) const {
  if (record.finish > 0 || record.made_folder.isEmpty()) return;
  const QString top = QDir::cleanPath(record.made_folder);
  QString level = QDir::cleanPath(record.folder);
  const auto within = [&top](const QString& path) {
    return path == top || path.startsWith(top + QLatin1Char('/'));
  };
  if (!within(level)) return;
  for (const auto& other : *this)
    if (other.get() != &record && within(QDir::cleanPath(other->folder))) return;
  // rmdir removes only an empty folder, and never follows a link: a level with anything in
  // it stays, and so does everything above it.
  while (QDir().rmdir(level) && level != top) level = QFileInfo(level).path();
}

int CTaskManager::FolderProblem(const QString& folder) {
  switch (folder_rule::ProbeTaskFolder(folder)) {
  case folder_rule::Problem::None: return 0;
  case folder_rule::Problem::Missing: return kErrorFolderMissing;
  case folder_rule::Problem::DiskFull: return kErrorDiskFull;
  default: return kErrorFolderLocked;
  }
}

void CTaskManager::StopTask(std::int32_t id) {
  CTaskInfo* record = FindTask(id);
  if (!record) return;
  if (record->status == TASK_RUNNING) {
    EndEngine(*record, false);
    // The engine still takes its slot while it ends, and is ended when it outstays the grace.
    if (record->engine_end_ms == 0 && platform::IsProcessRunning(record->engine_process))
      record->engine_end_ms = NowMs();
  }
  folderLocks_.Release(id);
  record->status = TASK_STOP;
  record->engine_wnd = 0;
  record->launch_pending = false;
  RequestSelection();
  CTaskEventObserver::NotifyTaskChanged();
}

void CTaskManager::StopAllTasks() {
  // Only what runs or waits: telling every observer once per task of a long list that a
  // stopped task stayed stopped made an exit with 5,000 tasks take seconds.
  std::vector<std::int32_t> ids;
  for (const auto& record : *this)
    if (record->status != TASK_STOP || record->launch_pending || record->engine_wnd != 0)
      ids.push_back(record->id);
  for (std::int32_t id : ids) StopTask(id);
}

// ---- engine messages ------------------------------------------------------------------

platform::LRESULT CTaskManager::AcceptEngine(std::int32_t id, platform::HWND engineWindow) {
  CTaskInfo* record = FindTask(id);
  // While the previous engine ends, no engine of the task is launched: a hello then comes
  // from one that was told to end.
  if (!record || record->status != TASK_RUNNING || record->launch_pending) return 0;
  record->engine_wnd = engineWindow;
  record->report_ms = NowMs();
  record->failed_probes = 0;
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
  else if (const auto* language = std::get_if<common::LanguageReport>(&*report)) OnLanguageReport(*language);
  else if (const auto* cap = std::get_if<common::PageCapReport>(&*report)) OnPageCapReport(*cap);
  else if (const auto* failure = std::get_if<common::FailureReport>(&*report)) OnFailureReport(*failure);
}

CTaskInfo* CTaskManager::FindRunningTask(std::int32_t id) const {
  CTaskInfo* record = FindTask(id);
  return record && record->status == TASK_RUNNING ? record : nullptr;
}

void CTaskManager::OnPageInfoReport(const common::PageInfoReport& report) {
  CTaskInfo* record = FindRunningTask(report.taskId);
  if (!record) return;
  record->report_ms = NowMs();
  // The chapter's title is the first page's: once page 1 is saved, now_index still reads 1
  // while the engine already reports page 2, so the saved count decides.
  if (record->finish < 1) record->title = report.title;
  if (record->total < report.total) record->total = report.total;
  // The engine ends the chapter by the latest count, not the largest: keep it for the end.
  record->info_total = report.total;
  CTaskEventObserver::NotifyTaskChanged();
}

void CTaskManager::OnLanguageReport(const common::LanguageReport& report) {
  CTaskInfo* record = FindRunningTask(report.taskId);
  if (!record) return;
  record->report_ms = NowMs();
  // Like the title, the chapter's language is its first page's; a later page only fills in
  // what the first did not state.
  if (record->finish < 1 || record->language.isEmpty()) record->language = report.language;
}

void CTaskManager::OnPageCapReport(const common::PageCapReport& report) {
  CTaskInfo* record = FindRunningTask(report.taskId);
  if (!record || report.cap < 1) return;
  record->report_ms = NowMs();
  // The page-saved report of the cap's page follows and ends the chapter as done.
  record->page_cap = report.cap;
}

void CTaskManager::OnPageSavedReport(const common::PageSavedReport& report) {
  CTaskInfo* record = FindRunningTask(report.taskId);
  if (!record) return;
  const std::int32_t page = report.page;
  // Pages count from 1; a report of page 0 or below would make the next start fetch nothing.
  if (page < 1) return;
  record->report_ms = NowMs();
  if (page > record->finish) {
    // Progress: restarts count from here, earlier reasons are moot, and the folder holds
    // the user's pages now.
    record->restarts_without_page = 0;
    record->failure_text.clear();
    record->made_folder.clear();
  }
  record->now_index = page;
  record->finish = page;
  record->now_url = report.url;
  // The engine goes on after a page only while the page's latest count is above it, so that
  // count says where the chapter ends: a count that shrank while the chapter was walked, and
  // a count of none (0: the engine jumps no further), which no other report will ever raise.
  const bool lastByLatestCount = record->info_total >= 0 && page >= record->info_total;
  const bool complete = page >= record->total || lastByLatestCount;
  // A chapter that ends here has this many pages, whatever was stated before (or nothing).
  if (complete && (record->total > page || record->total == 0)) record->total = page;
  // Queued before the stop, whose notice must already show the chapter waiting to be packed
  // (observers announce a chapter's end with its archive).
  const bool pack = complete && Setting().pack_cbz;
  if (pack) packQueue_.push_back(record->id);
  if (complete) StopTask(record->id);
  SaveTaskFile(*record);
  // Packed after this handler: the engine waits for our reply only so long.
  if (pack) packer_.StartTimer(0);
  CTaskEventObserver::NotifyTaskChanged();
  if (complete) ShutdownIfAllDone();
}

void CTaskManager::OnStallReport(const common::StallReport& report) {
  CTaskInfo* record = FindRunningTask(report.taskId);
  if (!record) return;
  // A folder that cannot take the pages would fail every restart the same way.
  if (const int problem = FolderProblem(record->folder)) {
    FailTask(*record, problem);
  } else if (IsOutOfRestarts(*record)) {
    EndFailedTask(*record, record->failure_text.isEmpty() ? ErrorText(kErrorPages)
                                                          : record->failure_text);
  } else {
    ++record->restarts_without_page;
    StartTask(record->id);
  }
  CTaskEventObserver::NotifyTaskChanged();
  ShutdownIfAllDone();
}

void CTaskManager::OnFailureReport(const common::FailureReport& report) {
  CTaskInfo* record = FindRunningTask(report.taskId);
  if (!record) return;
  record->report_ms = NowMs();
  record->failure_text = failure_text::ReportText(report);
  record->failure_ends_task = failure_text::EndsTaskAtOnce(report.reason);
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
  info.languageIso = record.language;
  const archive::PackResult packed = archive::PackChapter(record.folder, record.total, info);
  if (packed.ok) {
    record.archive = packed.archive;
    return;
  }
  // The pages stay where they are; the task is done all the same, and says why it is no archive.
  record.error_text = packed.diskFull ? ErrorText(kErrorDiskFull)
                                      : ErrorText(kErrorPacking) + QStringLiteral(" (") +
                                            packed.error + QLatin1Char(')');
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
    if (record->launch_pending) {
      if (!platform::IsProcessRunning(record->engine_process)) LaunchEngine(*record);
      else if (now - record->engine_end_ms >= endGraceMs_)
        platform::SignalProcess(record->engine_process, SIGKILL);
      continue;
    }
    if (record->engine_wnd == 0) {
      if (now - record->launched_ms >= helloTimeoutMs_) {
        const bool ended = record->engine_process.IsKnown() &&
                           !platform::IsProcessRunning(record->engine_process);
        NoteEngineFailure(*record, ended ? failure_text::kEngineCrashed : failure_text::kEngineNoHello);
        stalled.push_back(record->id);
      }
      continue;
    }
    // An accepted engine reports on every page tick: silence this long means it is stuck.
    const bool gone = IsEngineGone(*record);
    if (gone || now - record->report_ms >= silenceTimeoutMs_) {
      NoteEngineFailure(*record, gone ? failure_text::kEngineCrashed : failure_text::kEngineSilent);
      stalled.push_back(record->id);
    }
  }
  for (std::int32_t id : stalled)
    OnStallReport(common::StallReport{id});
  CheckEndingEngines(now);
  if (CountTasks(TASK_RUNNING) == 0 && endingEngines_ == 0) watchdog_.StopTimer();
}

void CTaskManager::CheckEndingEngines(std::int64_t now) {
  const int before = endingEngines_;
  for (const auto& record : *this)
    if (record->status != TASK_RUNNING && record->engine_end_ms != 0 &&
        now - record->engine_end_ms >= endGraceMs_)
      platform::SignalProcess(record->engine_process, SIGKILL);
  endingEngines_ = CountEndingEngines();
  if (endingEngines_ < before) RequestSelection();
}

bool CTaskManager::IsEngineGone(CTaskInfo& record) {
  if (record.engine_process.IsKnown() && !platform::IsProcessRunning(record.engine_process))
    return true;
  if (platform::IsWindow(record.engine_wnd)) {
    record.failed_probes = 0;
    return false;
  }
  return ++record.failed_probes >= kFailedProbesForGone;
}
