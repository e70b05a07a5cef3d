#include "engine/gantrell_app.h"

#include "common/command_file.h"
#include "common/program_folder.h"
#include "common/protocol.h"
#include "engine/browser/renderer_memory.h"
#include "engine/engine_window.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {
// Only reached without a hand-off file, and then the handshake fails anyway.
const QString kDefaultPage = QStringLiteral("http://127.0.0.1/");
} // namespace

CGantrellApp::CGantrellApp(std::unique_ptr<engine::FIBrowser> browser)
    : browser_(std::move(browser)) {}

CGantrellApp::~CGantrellApp() { window_.reset(); }

bool CGantrellApp::InitInstance(const QString& commandTail) {
  QString url = kDefaultPage;
  std::int32_t page = 1;
  QString searchLink;
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
    if (job.pageDelay) pageDelaySeconds = std::clamp(*job.pageDelay, 0, protocol::kMaxPageDelaySeconds);
    if (job.maxPages) maxPages = std::clamp(*job.maxPages, 1, protocol::kMostMaxPages);
    if (job.pageMemory && browser_)
      browser_->SetRendererMemoryLimit(
          std::max<qint64>(*job.pageMemory, engine::kMinimumRendererMemoryMiB) * 1024 * 1024);
    QFile::remove(commandTail);
  }

  window_ = std::make_unique<CEngineWindow>(*this);
  window_->SetPageDelay(pageDelaySeconds * 1000);
  window_->SetMaxPages(maxPages);
  const platform::LRESULT reply = platform::SendMessage(
      frontEndWindow_, protocol::WM_APP_ENGINE_HELLO, taskId_, window_->Handle());
  if (reply != protocol::ENGINE_HELLO_ACCEPTED) return false;
  if (window_->Destroyed()) return false; // told to quit while saying hello

  if (!searchLink.isEmpty())
    window_->StartSearchView(url);
  else
    window_->StartChapter(url, page);
  return true;
}

int CGantrellApp::ExitInstance(int loopResult) {
  window_.reset();
  return loopResult;
}

void CGantrellApp::Report(const common::EngineReport& report) {
  const QString path = common::CommandFilePath(taskId_, commandNumber_);
  common::WriteCommandFile(path, common::ReportItems(report));
  platform::SendMessage(frontEndWindow_, protocol::WM_APP_ENGINE_COMMAND, taskId_, commandNumber_);
  ++commandNumber_;
  QFile::remove(path);
}
