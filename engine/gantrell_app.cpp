#include "engine/gantrell_app.h"

#include "common/command_file.h"
#include "common/data_folder.h"
#include "common/program_folder.h"
#include "common/protocol.h"
#include "engine/browser/renderer_memory.h"
#include "engine/engine_window.h"
#include "engine/front_end_watch.h"
#include "engine/image_fetch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <csignal>
#include <cstdio>

namespace {
// Only reached without a hand-off file, and then the handshake fails anyway.
const QString kDefaultPage = QStringLiteral("http://127.0.0.1/");
} // namespace

CGantrellApp::CGantrellApp(std::unique_ptr<engine::FIBrowser> browser)
    : browser_(std::move(browser)) {}

CGantrellApp::~CGantrellApp() {
  window_.reset();
  browser_.reset();
}

bool CGantrellApp::InitInstance(const QString& commandTail) {
  QString url = kDefaultPage;
  std::int32_t page = 1;
  QString searchLink;
  QString searchResult;
  int pageDelaySeconds = 0;
  std::int32_t maxPages = protocol::kDefaultMaxPages;

  if (!commandTail.isEmpty() && QFileInfo(commandTail).isFile()) {
    const common::HandOff job = common::ReadHandOffFile(commandTail);
    frontEndWindow_ = job.hwnd;
    taskId_ = job.id.value_or(-1);
    page = job.index.value_or(1);
    if (job.url) url = *job.url;
    if (job.folder) folder_ = *job.folder;
    if (job.searchLink) searchLink = *job.searchLink;
    if (job.searchResult) searchResult = *job.searchResult;
    if (job.pageDelay) pageDelaySeconds = std::clamp(*job.pageDelay, 0, protocol::kMaxPageDelaySeconds);
    if (job.maxPages) maxPages = std::clamp(*job.maxPages, 1, protocol::kMostMaxPages);
    if (job.pageMemory && browser_)
      browser_->SetRendererMemoryLimit(
          std::max<qint64>(*job.pageMemory, engine::kMinimumRendererMemoryMiB) * 1024 * 1024);
    if (job.cookiesFile && browser_) LoadCookies(*job.cookiesFile);
    QFile::remove(commandTail);
  }

  // The command files' folder may be missing from a copied program folder.
  common::PrepareDataFolder();
  window_ = std::make_unique<CEngineWindow>(*this);
  window_->SetPageDelay(pageDelaySeconds * 1000);
  window_->SetMaxPages(maxPages);
  WatchFrontEnd();
  const platform::LRESULT reply = platform::SendMessage(
      frontEndWindow_, protocol::WM_APP_ENGINE_HELLO, taskId_, window_->Handle());
  if (reply != protocol::ENGINE_HELLO_ACCEPTED) return false;
  if (window_->Destroyed()) return false; // told to quit while saying hello

  if (!searchLink.isEmpty())
    window_->StartSearchView(url, searchResult);
  else
    window_->StartChapter(url, page);
  return true;
}

void CGantrellApp::LoadCookies(const QString& path) {
  // Malformed lines were pointed out where the file was named (folivex-get, the settings
  // dialog); here the good ones are simply taken.
  const common::CookiesFile file = common::ReadCookiesFile(path);
  if (!file.error.isEmpty()) {
    std::fprintf(stderr, "Gantrell: %s\n", file.error.toLocal8Bit().constData());
    std::fflush(stderr);
    return;
  }
  browser_->SetCookies(file.cookies);
}

int CGantrellApp::ExitInstance(int loopResult) {
  window_.reset();
  return exitCode_ != 0 ? exitCode_ : loopResult;
}

void CGantrellApp::WatchFrontEnd() {
  const pid_t frontEnd = platform::ProcessOfWindow(frontEndWindow_);
  if (frontEnd <= 0) return; // no front-end to say hello to: the handshake fails anyway
  // Started as its child (the tests' launchers do so): the system tells at once.
  platform::SignalWhenParentEnds(frontEnd, SIGTERM);
  watch_ = std::make_unique<CFrontEndWatch>(
      platform::IdentifyProcess(frontEnd), [this] { EndByItself(kExitFrontEndGone); },
      [] { engine::SetImageFetchAbort(true); });
}

void CGantrellApp::EndByItself(int exitCode) {
  if (exitCode_ != 0 || !window_ || window_->Destroyed()) return;
  exitCode_ = exitCode;
  engine::SetImageFetchAbort(true);
  platform::SendMessage(window_->Handle(), protocol::WM_APP_ENGINE_QUIT, 0, 0);
}

void CGantrellApp::Report(const common::EngineReport& report) {
  if (exitCode_ != 0) return;
  const QString path = common::CommandFilePath(taskId_, commandNumber_);
  const QStringList items = common::ReportItems(report);
  if (!common::WriteCommandFile(path, items) &&
      !(QDir().mkpath(QFileInfo(path).path()) && common::WriteCommandFile(path, items))) {
    QFile::remove(path);
    const QByteArray line = QStringLiteral("Gantrell: cannot write the report file %1; the engine ends\n")
                                .arg(path).toLocal8Bit();
    std::fputs(line.constData(), stderr);
    EndByItself(kExitReportUnwritable);
    return;
  }
  bool received = false;
  platform::SendMessage(frontEndWindow_, protocol::WM_APP_ENGINE_COMMAND, taskId_, commandNumber_,
                        &received);
  ++commandNumber_;
  QFile::remove(path);
  // A front-end that no longer receives reports has ended (or closed the window that wanted
  // them): nobody waits for the pages any more.
  if (!received) EndByItself(kExitFrontEndGone);
}
