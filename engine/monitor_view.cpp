#include "engine/monitor_view.h"

#include "common/protocol.h"
#include "engine/gantrell_dlg.h"
#include "engine/page_jump.h"

#include <QFile>
#include <QTimer>

#include <ctime>

using engine::DocumentError;
using engine::FIHTMLDocument;

namespace {

std::int64_t NowSeconds() { return std::int64_t(std::time(nullptr)); }

} // namespace

void CMonitorView::CEventPageTimeout::OnTimerNotify() {
  // A scan still running further up the stack (a browser call that waited and let timers
  // run) is finished first; the last chance comes one poll later.
  if (view_->inProcessPage_) {
    StartTimer(kAfterFinishPollMs);
    return;
  }
  StopTimer();
  view_->FinishPage();
}

void CMonitorView::CEventAfterFinish::OnTimerNotify() {
  if (stamp == 0) return;
  const std::int64_t quiet = NowSeconds() - stamp;
  if (quiet < kQuietSeconds) return; // also a clock set back: keep waiting
  if (view_->inProcessPage_) return;   // a scan is still running; poll again
  StopTimer();
  view_->FinishPage();
}

CMonitorView::CMonitorView(CGantrellDlg* dialog, engine::FIEngineHost& host, const QString& url,
                           std::int32_t page)
    : dialog_(dialog), host_(host), url_(url), page_(page) {
  pageTimeout_ = std::make_unique<CEventPageTimeout>(this);
  pageTimeout_->StartTimer(kPageTimeoutMs);
  afterFinish_ = std::make_unique<CEventAfterFinish>(this);
  afterFinish_->StartTimer(kAfterFinishPollMs);
  monitorPage_ = std::make_unique<CEventMonitorPage>(this);
  monitorPage_->StartTimer(kMonitorPageMs);
}

CMonitorView::~CMonitorView() {
  *alive_ = false;
  for (const QString& path : temporaryFiles_) QFile::remove(path);
  temporaryFiles_.clear();
  monitorPage_.reset();
  afterFinish_.reset();
  pageTimeout_.reset();
  image_.candidate.reset();
  image_.chosen.reset();
  jump_.reset();
  browser_.reset();
}

void CMonitorView::Create(int) {
  engine::FIBrowser* browser = host_.Browser();
  if (!browser) return;
  browser_ = browser->CreateView(this);
  if (browser_) browser_->Navigate(url_);
}

bool CMonitorView::Watching() const {
  return pageTimeout_->IsTimerRunning() || afterFinish_->IsTimerRunning() ||
         monitorPage_->IsTimerRunning();
}

FIHTMLDocument* CMonitorView::Document() const {
  return browser_ ? browser_->Document() : nullptr;
}

void CMonitorView::DocumentComplete(bool isPage) {
  // Sub-frames finish on their own schedule; only the page itself starts the countdown.
  if (!isPage) return;
  afterFinish_->stamp = NowSeconds();
  // Completion arrives while the browser's messages are read, possibly inside another call's
  // wait: the look runs from the event loop instead.
  LookSoon(0);
  LookSoon(kSecondLookMs);
}

void CMonitorView::LookSoon(int delayMs) {
  const std::weak_ptr<bool> alive = alive_;
  QTimer::singleShot(delayMs, [this, alive] {
    const auto token = alive.lock();
    if (token && *token && monitorPage_->IsTimerRunning()) ProcessPage();
  });
}

void CMonitorView::OnBeforeNavigate2(const QString& url, bool& cancel) {
  if (nextPageCaught_) {
    cancel = true;
    return;
  }
  if (!nextPagePending_) return; // the page's own navigation (redirect, reload): follow it
  nextPagePending_ = false;
  nextPageCaught_ = true;
  cancel = true;
  dialog_->StartPageView(url, page_ + 1);
}

void CMonitorView::ProcessPage() {
  // A browser call that waits may run other events; one scan at a time is enough.
  if (inProcessPage_) return;
  FIHTMLDocument* document = Document();
  if (!document) return;
  const std::shared_ptr<bool> alive = alive_;
  inProcessPage_ = true;
  struct Reset {
    CMonitorView* view;
    std::shared_ptr<bool> alive;
    ~Reset() { if (*alive) view->inProcessPage_ = false; }
  } reset{this, alive};

  std::int32_t total = 0;
  try {
    jump_ = CreatePageJump(document, &total);
    SendPageInfo(document->title(), total);
    if (!*alive || !jump_) return;
    // Images go out as this page's browser would ask for them: with its user agent, and
    // with the cookies this view's browser would send to each address.
    const engine::FIBrowser* browser = host_.Browser();
    engine::FIBrowserView* view = browser_.get();
    const engine::ImageRequest request{url_, browser ? browser->UserAgent() : QString(),
                                       [view](const QString& url) { return view->CookieHeader(url); }};
    engine::ChoosePageImage(document, request, temporaryFiles_, image_);
  } catch (const DocumentError&) {
    return; // the next tick tries again
  }
  if (!image_.chosen) return;

  const bool saved = SavePageImage(*image_.chosen);
  if (!*alive) return; // told to quit during the report
  StopWatching();
  if (saved) JumpToNextPage(total);
  if (*alive) PostViewDone();
}

void CMonitorView::FinishPage() {
  const std::shared_ptr<bool> alive = alive_;
  ProcessPage();
  if (!*alive || image_.chosen) return;
  StopWatching();
  FinishWithCandidate();
  if (*alive) PostViewDone();
}

void CMonitorView::FinishWithCandidate() {
  if (!jump_ || !image_.candidate) {
    SendStall();
    return;
  }
  if (!SavePageImage(*image_.candidate)) return;
  // A count that cannot be read now still gets the jump tried, which reports the stall if it
  // fails: otherwise the view, its events stopped, would wait for ever.
  std::int32_t total = page_ + 1;
  try {
    if (FIHTMLDocument* document = Document()) total = jump_->GetPageCount(document);
  } catch (const DocumentError&) {
  }
  JumpToNextPage(total);
}

bool CMonitorView::SavePageImage(const CPageImageInfo& image) {
  const std::shared_ptr<bool> alive = alive_;
  if (!engine::SavePageImageFile(image, host_.Folder(), page_)) {
    // Reporting the page as saved would let the front-end skip it for good.
    SendStall();
    return false;
  }
  host_.Report(common::PageSavedReport{host_.TaskId(), page_, url_});
  return *alive;
}

void CMonitorView::JumpToNextPage(std::int32_t total) {
  if (page_ + 1 > total) return; // the chapter's last page: the front-end ends the engine
  const std::shared_ptr<bool> alive = alive_;
  nextPagePending_ = true;
  try {
    if (FIHTMLDocument* document = Document()) jump_->JumpToPage(document, page_ + 1);
  } catch (const DocumentError&) {
    // No later tick will retry (the events are stopped): a failed jump is a stall.
  }
  if (!*alive || !nextPagePending_) return;
  nextPagePending_ = false;
  SendStall();
}

void CMonitorView::StopWatching() {
  if (browser_) browser_->Stop();
  pageTimeout_->StopTimer();
  afterFinish_->StopTimer();
  monitorPage_->StopTimer();
}

void CMonitorView::PostViewDone() {
  platform::PostMessage(dialog_->Handle(), protocol::WM_APP_VIEW_DONE,
                        reinterpret_cast<platform::WPARAM>(this), 0);
}

void CMonitorView::SendPageInfo(const QString& title, std::int32_t total) {
  host_.Report(common::PageInfoReport{host_.TaskId(), title, total});
}

void CMonitorView::SendStall() {
  // After this report the view may be gone: the caller touches nothing afterwards.
  host_.Report(common::StallReport{host_.TaskId()});
}
