#include "engine/monitor_view.h"

#include "common/protocol.h"
#include "engine/engine_window.h"
#include "engine/long_strip.h"
#include "engine/page_jump.h"

#include <QFile>
#include <QTimer>

using engine::DocumentError;
using engine::FIHTMLDocument;

CMonitorView::CMonitorView(CEngineWindow* window, engine::FIEngineHost& host, const QString& url,
                           std::int32_t page)
    : window_(window), host_(host), url_(url), page_(page) {
  watch_ = std::make_unique<CPageWatch>([this] { FinishPage(); },
                                        [this] { return inProcessPage_; });
  monitorPage_ = std::make_unique<CEventMonitorPage>(this);
  monitorPage_->StartTimer(kMonitorPageMs);
}

CMonitorView::~CMonitorView() {
  *alive_ = false;
  for (const QString& path : temporaryFiles_) QFile::remove(path);
  temporaryFiles_.clear();
  monitorPage_.reset();
  watch_.reset();
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
  return watch_->Running() || monitorPage_->IsTimerRunning();
}

FIHTMLDocument* CMonitorView::Document() const {
  return browser_ ? browser_->Document() : nullptr;
}

void CMonitorView::DocumentComplete(bool isPage) {
  // Sub-frames finish on their own schedule; only the page itself starts the countdown.
  if (!isPage) return;
  watch_->PageCompleted();
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
  window_->StartPageView(url, page_ + 1);
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
    // Before the page info, so that a page-saved report still follows its scan's page info.
    SendLanguage(document);
    if (!*alive) return;
    SendPageInfo(document->title(), total);
    if (!*alive) return;
    if (!jump_) {
      // Perhaps a long strip: let the page fill in the images it shows only in view, so that
      // they are there at the last chance.
      if (browser_) browser_->BringAllIntoView();
      return;
    }
    engine::ChoosePageImage(document, ImageRequestOfPage(), temporaryFiles_, image_);
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
  if (!jump_ && SaveLongStrip()) return;
  if (!jump_ || !image_.candidate) {
    SendStall();
    return;
  }
  // The count read now decides whether a jump follows; it may differ from the last tick's
  // (a page script can change it, or the control it is read from can go). It is reported
  // before the page is saved, so that the front-end sees a chapter end exactly where the
  // engine stops, also at a count of 0 (no jump), instead of waiting for a page that never
  // comes. A count that cannot be read still gets the jump tried, which reports the stall if
  // it fails: otherwise the view, its events stopped, would wait for ever.
  const std::shared_ptr<bool> alive = alive_;
  std::int32_t total = page_ + 1;
  try {
    if (FIHTMLDocument* document = Document()) {
      const std::int32_t count = jump_->GetPageCount(document);
      SendPageInfo(document->title(), count);
      total = count;
    }
  } catch (const DocumentError&) {
  }
  if (!*alive || !SavePageImage(*image_.candidate)) return;
  JumpToNextPage(total);
}

engine::ImageRequest CMonitorView::ImageRequestOfPage() const {
  // Images go out as this page's browser would ask for them: with its user agent, and with
  // the cookies this view's browser would send to each address.
  const engine::FIBrowser* browser = host_.Browser();
  engine::FIBrowserView* view = browser_.get();
  return {url_, browser ? browser->UserAgent() : QString(),
          [view](const QString& url) { return view ? view->CookieHeader(url) : QString(); }};
}

bool CMonitorView::SavePageImage(const CPageImageInfo& image, std::int32_t page) {
  if (page == 0) page = page_;
  const std::shared_ptr<bool> alive = alive_;
  if (!engine::SavePageImageFile(image, host_.Folder(), page)) {
    // Reporting the page as saved would let the front-end skip it for good.
    SendStall();
    return false;
  }
  host_.Report(common::PageSavedReport{host_.TaskId(), page, url_});
  return *alive;
}

bool CMonitorView::SaveLongStrip() {
  FIHTMLDocument* document = Document();
  if (!document) return false;
  const QString folder = host_.Folder();
  const engine::ImageRequest request = ImageRequestOfPage();
  const engine::StripImageFetcher fetch = [&](const QString& url) {
    return engine::FetchImage(url, request, temporaryFiles_);
  };
  // A restart names the last saved page; when that is a page of this strip, the images before
  // it are known from the record and are not fetched again.
  std::optional<engine::StripRecord> record = engine::StripRecord::Load(folder, url_);
  const bool resuming = record && page_ >= record->firstPage && page_ < record->LastPage() &&
                        engine::PageFileExists(folder, page_);
  std::vector<engine::StripPage> pages;
  QString title;
  try {
    title = document->title();
    if (resuming) {
      const std::vector<int> rest(record->positions.begin() + (page_ + 1 - record->firstPage),
                                  record->positions.end());
      pages = engine::CollectStripPages(document, fetch, temporaryFiles_, &rest);
      if (pages.size() != rest.size()) {
        // The page has changed since: the strip is counted afresh, numbered as before, and
        // only the pages after the saved ones are saved.
        pages = engine::CollectStripPages(document, fetch, temporaryFiles_);
        const std::size_t saved = std::size_t(page_ + 1 - record->firstPage);
        if (pages.size() < 2 || pages.size() <= saved) return false;
        record->positions.clear();
        for (const auto& page : pages) record->positions.push_back(page.position);
        record->Save(folder, url_);
        pages.erase(pages.begin(), pages.begin() + std::ptrdiff_t(saved));
      }
    } else {
      pages = engine::CollectStripPages(document, fetch, temporaryFiles_);
      if (pages.size() < 2) return false; // one image without a strategy stays a stall
      record = engine::StripRecord{page_, {}};
      for (const auto& page : pages) record->positions.push_back(page.position);
      record->Save(folder, url_);
    }
  } catch (const DocumentError&) {
    return false;
  }
  const std::shared_ptr<bool> alive = alive_;
  SendPageInfo(title, record->LastPage());
  std::int32_t number = resuming ? page_ + 1 : page_;
  for (const auto& page : pages) {
    // The engine may end during the last page's report: the record goes before it.
    if (number == record->LastPage()) engine::StripRecord::Remove(folder, url_);
    if (!*alive || !SavePageImage(*page.image, number)) return true;
    ++number;
  }
  return true;
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
  watch_->Stop();
  monitorPage_->StopTimer();
}

void CMonitorView::PostViewDone() {
  platform::PostMessage(window_->Handle(), protocol::WM_APP_VIEW_DONE,
                        reinterpret_cast<platform::WPARAM>(this), 0);
}

void CMonitorView::SendPageInfo(const QString& title, std::int32_t total) {
  host_.Report(common::PageInfoReport{host_.TaskId(), title, total});
}

void CMonitorView::SendLanguage(FIHTMLDocument* document) {
  if (languageSent_) return;
  // Asked on every scan until the page states one: an early scan may still see the document
  // before the page's own.
  const QString language = common::LanguageCode(document->language());
  if (language.isEmpty()) return;
  languageSent_ = true;
  host_.Report(common::LanguageReport{host_.TaskId(), language});
}

void CMonitorView::SendStall() {
  // After this report the view may be gone: the caller touches nothing afterwards.
  host_.Report(common::StallReport{host_.TaskId()});
}
