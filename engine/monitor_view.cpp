#include "engine/monitor_view.h"

#include "common/protocol.h"
#include "engine/engine_window.h"
#include "engine/image_source.h"
#include "engine/long_strip.h"
#include "engine/page_jump.h"
#include "engine/page_jump_image.h"

#include <QFile>
#include <QTimer>

#include <cstdio>

using engine::DocumentError;
using engine::FIHTMLDocument;

CMonitorView::CMonitorView(CEngineWindow* window, engine::FIEngineHost& host, const QString& url,
                           std::int32_t page)
    : window_(window), host_(host), walk_(window->Walk()), url_(url), page_(page),
      documentUrl_(url), documentPage_(page) {
  watch_ = std::make_unique<CPageWatch>([this] { FinishPage(); },
                                        [this] { return inProcessPage_; });
  monitorPage_ = std::make_unique<CEventMonitorPage>(this);
  monitorPage_->StartTimer(kMonitorPageMs);
  // The timers are members: their connections end with the view.
  QObject::connect(&turnPoll_, &QTimer::timeout, [this] { CheckTurn(); });
  delayedJump_.setSingleShot(true);
}

CMonitorView::~CMonitorView() {
  *alive_ = false;
  turnPoll_.stop();
  delayedJump_.stop();
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
  if (!browser_) return;
  if (engine::PagesAreDrawn()) LetPageLoadImages();
  browser_->Navigate(url_);
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

void CMonitorView::OnPageAnswer(int status, bool webPage) {
  trouble_.PageAnswered(status, webPage);
  if (!webPage) watch_->PageCompleted();
}

void CMonitorView::OnPageLoadFailed(const QString& errorText) {
  trouble_.PageLoadFailed(errorText);
  watch_->PageCompleted();
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
  // Caught after the jump had returned, while the view looked for a turn in place: the view
  // is done with its page only now.
  const bool late = awaitingTurn_.has_value();
  StopAwaitingTurn();
  window_->StartPageView(url, page_ + 1);
  if (late) PostViewDone();
}

void CMonitorView::ProcessPage() {
  // A browser call that waits may run other events; one scan at a time is enough. Between
  // the jump and the next page there is nothing to scan.
  if (inProcessPage_ || awaitingTurn_) return;
  FIHTMLDocument* document = Document();
  if (!document) return;
  const std::shared_ptr<bool> alive = alive_;
  inProcessPage_ = true;
  struct Reset {
    CMonitorView* view;
    std::shared_ptr<bool> alive;
    ~Reset() { if (*alive) view->inProcessPage_ = false; }
  } reset{this, alive};

  try {
    jump_ = CreatePageJump(document, &count_, JumpContext());
    // A reader whose page image is its control: the image comes first, then the strategy.
    if (!jump_ && walk_.ImageWalk()) {
      engine::ChoosePageImage(document, ImageRequestOfPage(), temporaryFiles_, image_);
      if (image_.chosen) jump_ = ImageJump(document, true, &count_);
    }
    // Before the page info, so that a page-saved report still follows its scan's page info.
    SendLanguage(document);
    if (!*alive) return;
    SendPageInfo(document->title(), TotalOf(count_));
    if (!*alive) return;
    if (!jump_ || DefersOpenWalk(count_)) {
      // A reader embedded from another site, out of reach from the page: the frame is the page.
      if (!jump_ && EnterForeignFrame(document)) return;
      // Perhaps a long strip: let the page fill in the images it shows only in view, so that
      // they are there at the last chance.
      if (browser_) browser_->BringAllIntoView();
      return;
    }
    engine::ChoosePageImage(document, ImageRequestOfPage(), temporaryFiles_, image_);
    if (image_.chosen && turned_) {
      // A page turned in place renders itself while it is scanned: its address, count and
      // controls are read again now that its image is there, so that they belong to it.
      url_ = document->url();
      const std::int32_t count = jump_->GetPageCount(document);
      if (count != count_) {
        count_ = count;
        SendPageInfo(document->title(), TotalOf(count_));
        if (!*alive) return;
      }
    }
    if (!image_.chosen && image_.pageCanvas && !image_.imagesLoad) LetPageLoadImages();
  } catch (const DocumentError&) {
    return; // the next tick tries again
  }
  if (!image_.chosen) return;

  const std::int32_t total = TotalOf(count_);
  const bool saved = SavePage(*image_.chosen, count_);
  if (!*alive) return; // told to quit during the report
  StopWatching();
  if (saved) JumpToNextPage(total, image_.chosen->url);
  if (*alive && !awaitingTurn_ && !delayedJump_.isActive()) PostViewDone();
}

void CMonitorView::FinishPage() {
  const std::shared_ptr<bool> alive = alive_;
  ProcessPage();
  if (!*alive || image_.chosen || awaitingTurn_ || delayedJump_.isActive()) return;
  StopWatching();
  FinishWithCandidate();
  if (*alive && !awaitingTurn_ && !delayedJump_.isActive()) PostViewDone();
}

void CMonitorView::FinishWithCandidate() {
  const bool deferred = jump_ && DefersOpenWalk(count_);
  // A turn that changed the address but showed no new picture to a scan: the reader shows
  // that page only when its address is loaded (as walking it page by page did before).
  if (turnedByAddress_ && jump_ && !deferred && !image_.chosen && !image_.candidate) {
    window_->StartPageView(url_, page_);
    return;
  }
  if (!jump_ || deferred) {
    // A page without a strategy is a long strip when two or more of its images reach the page
    // size, as it was before there were other kinds; a walk without a stated total starts
    // only on a page that is none.
    std::unique_ptr<CPageImageInfo> single;
    if (SaveLongStrip(&single)) return;
    image_.chosen = std::move(single);
    try {
      FIHTMLDocument* document = Document();
      if (deferred && !image_.chosen && document)
        engine::ChoosePageImage(document, ImageRequestOfPage(), temporaryFiles_, image_);
      // Nothing else fits: perhaps the page image itself leads on.
      if (!jump_ && image_.chosen && document) jump_ = ImageJump(document, false, &count_);
    } catch (const DocumentError&) {
    }
    if (!jump_) {
      SendStall(common::FailureReason::NoNextPage);
      return;
    }
  }
  const CPageImageInfo* image = image_.chosen ? image_.chosen.get() : image_.candidate.get();
  if (!image) {
    SendStall(common::FailureReason::NoPageImage);
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
      count_ = jump_->GetPageCount(document);
      total = TotalOf(count_);
      SendPageInfo(document->title(), total);
    }
  } catch (const DocumentError&) {
  }
  if (!*alive || !SavePage(*image, count_)) return;
  if (dynamic_cast<CPageJumpImage*>(jump_.get())) walk_.SetImageWalk();
  JumpToNextPage(total, image->url);
}

std::int32_t CMonitorView::TotalOf(std::int32_t count) const {
  if (count == CPageJumpBase::kLastPage) return page_;
  if (count == CPageJumpBase::kMorePages) return page_ < walk_.MaxPages() ? page_ + 1 : page_;
  return count;
}

bool CMonitorView::DefersOpenWalk(std::int32_t count) const {
  return CPageJumpBase::IsOpenCount(count) && !walk_.OpenWalkSeen() && !walk_.ImageWalk();
}

PageJumpContext CMonitorView::JumpContext() const {
  PageJumpContext context;
  context.page = page_;
  context.pageUrl = url_;
  context.openWalk = true;
  const CChapterWalk* walk = &walk_;
  context.saved = [walk](const QString& url) { return walk->Saved(url); };
  return context;
}

std::unique_ptr<CPageJumpBase> CMonitorView::ImageJump(FIHTMLDocument* document,
                                                       bool established, std::int32_t* count) {
  auto jump = std::make_unique<CPageJumpImage>(image_.chosen->url, JumpContext(), established);
  *count = jump->GetPageCount(document);
  if (*count == 0) return nullptr;
  return jump;
}

bool CMonitorView::EnterForeignFrame(FIHTMLDocument* document) {
  const QString frame = document->foreignFrame();
  if (frame.isEmpty() || !browser_ || enteredFrames_.contains(frame)) return false;
  // Once per address: a frame page that embeds itself again is not entered for ever.
  enteredFrames_ << frame;
  browser_->Navigate(frame);
  return true;
}

void CMonitorView::LetPageLoadImages() {
  // The reader draws its page from pictures it loads itself: the page loads them (again, if
  // it was shown already), and so does every page after it.
  engine::RememberPagesAreDrawn();
  image_.imagesLoad = true;
  if (browser_) browser_->LoadImages();
}

engine::ImageRequest CMonitorView::ImageRequestOfPage() const {
  // Images go out as this page's browser would ask for them: with its user agent, and with
  // the cookies this view's browser would send to each address. What the page holds itself
  // is taken from it instead.
  const engine::FIBrowser* browser = host_.Browser();
  engine::FIBrowserView* view = browser_.get();
  return {url_, browser ? browser->UserAgent() : QString(),
          [view](const QString& url) { return view ? view->CookieHeader(url) : QString(); },
          [view](const QString& url) {
            return view ? view->PageImageBytes(url) : std::optional<QByteArray>();
          }};
}

bool CMonitorView::SavePageImage(const CPageImageInfo& image, std::int32_t page, bool keep) {
  if (page == 0) page = page_;
  const std::shared_ptr<bool> alive = alive_;
  common::FailureReport failure;
  if (!engine::SavePageImageFile(image, host_.Folder(), page, &failure)) {
    // Reporting the page as saved would let the front-end skip it for good.
    SendStall(failure);
    return false;
  }
  // The engine may end during the report: what a restart needs is recorded before it.
  walk_.PageSaved(page, url_, documentUrl_, documentPage_, keep);
  host_.Report(common::PageSavedReport{host_.TaskId(), page, url_});
  return *alive;
}

bool CMonitorView::SavePage(const CPageImageInfo& image, std::int32_t count) {
  const bool open = CPageJumpBase::IsOpenCount(count);
  if (page_ <= walk_.ResumeAfter()) {
    // Saved before the restart: only turned past, but it shows the walk's kind all the same.
    if (open) walk_.SetOpenWalkSeen();
    return true;
  }
  if (count == CPageJumpBase::kMorePages && page_ >= walk_.MaxPages()) {
    const std::shared_ptr<bool> alive = alive_;
    host_.Report(common::PageCapReport{host_.TaskId(), page_});
    if (!*alive) return false;
  }
  // The chapter's last page needs no record: a finished chapter is not restarted.
  const bool last = TotalOf(count) <= page_;
  if (last) walk_.Forget();
  if (!SavePageImage(image, page_, !last && (open || turned_))) return false;
  if (open) walk_.SetOpenWalkSeen();
  return true;
}

bool CMonitorView::SaveLongStrip(std::unique_ptr<CPageImageInfo>* single) {
  FIHTMLDocument* document = Document();
  if (!document || !browser_) return false;
  const QString folder = host_.Folder();
  const engine::ImageRequest request = ImageRequestOfPage();
  const engine::StripImageFetcher fetch = [&](const QString& url) {
    return engine::ObtainImage(url, request, temporaryFiles_, &image_.fetchFailure);
  };
  std::optional<engine::StripRecord> record = engine::StripRecord::Load(folder, url_);
  const bool resuming = record && page_ >= record->firstPage && page_ < record->LastPage() &&
                        engine::PageFileExists(folder, page_);
  std::vector<engine::StripPage> pages;
  QString title;
  engine::ScrolledImages seen;
  try {
    title = document->title();
    // The strip is what the scroll through the page has shown, also of pages a list removed
    // again once scrolled past.
    seen = browser_->ImagesSeenWhileScrolling(kStripScrollWaitMs);
    if (resuming) {
      // A restart names the last saved page; when that is a page of this strip, the images
      // before it are known from the record and are not fetched again.
      const std::vector<int> rest(record->positions.begin() + (page_ + 1 - record->firstPage),
                                  record->positions.end());
      pages = engine::CollectStripPages(seen.sources, fetch, temporaryFiles_, &rest);
      if (pages.size() != rest.size()) {
        // The page has changed since: the strip is counted afresh, numbered as before, and
        // only the pages after the saved ones are saved.
        pages = engine::CollectStripPages(seen.sources, fetch, temporaryFiles_);
        const std::size_t saved = std::size_t(page_ + 1 - record->firstPage);
        if (pages.size() < 2 || pages.size() <= saved) return false;
        record->positions.clear();
        for (const auto& page : pages) record->positions.push_back(page.position);
        pages.erase(pages.begin(), pages.begin() + std::ptrdiff_t(saved));
      }
    } else {
      pages = engine::CollectStripPages(seen.sources, fetch, temporaryFiles_);
      // An image an earlier page showed (a page turned in place still shows it) is never
      // this page's.
      if (pages.size() == 1 && single && engine::MarkImageUrlTried(pages.front().image->url))
        *single = std::move(pages.front().image);
      if (pages.size() < 2) return false; // one image is no strip
      record = engine::StripRecord{page_, {}};
      for (const auto& page : pages) record->positions.push_back(page.position);
    }
  } catch (const DocumentError&) {
    return false;
  }
  if (!seen.reachedEnd) {
    // Fewer pages than the strip has would end the chapter as done: it ends as a stall.
    std::fprintf(stderr, "Gantrell: the long strip %s %s; nothing of it was saved\n",
                 url_.toLocal8Bit().constData(),
                 seen.ended ? "kept growing or could not be scrolled to its end"
                            : "was still being scrolled through when its time was up");
    std::fflush(stderr);
    SendStall();
    return true;
  }
  record->Save(folder, url_);
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

void CMonitorView::JumpToNextPage(std::int32_t total, const QString& pageImage) {
  if (page_ + 1 > total) return; // the chapter's last page: the front-end ends the engine
  // A page that turns in place loads the next one the moment it is asked to: the page delay
  // is kept here. (The views of new documents are held back by the host window as well.)
  const int wait = window_->PageDelayLeft();
  if (wait > 0) {
    delayedJump_.disconnect();
    QObject::connect(&delayedJump_, &QTimer::timeout, [this, pageImage] {
      const std::shared_ptr<bool> alive = alive_;
      JumpNow(pageImage);
      if (*alive && !awaitingTurn_) PostViewDone();
    });
    delayedJump_.start(wait);
    return;
  }
  JumpNow(pageImage);
}

void CMonitorView::JumpNow(const QString& pageImage) {
  const std::shared_ptr<bool> alive = alive_;
  FIHTMLDocument* document = Document();
  std::optional<TurnMark> mark;
  try {
    if (document) mark = TurnMark{document->url(), pageImage, document->imageShown(pageImage)};
  } catch (const DocumentError&) {
    // The page is going away: whatever the jump starts is a navigation, if anything.
  }
  nextPagePending_ = true;
  try {
    if (document) jump_->JumpToPage(document, page_ + 1);
  } catch (const DocumentError&) {
    // The click may have changed the page before its answer came: the turn is looked for.
  }
  if (!*alive || !nextPagePending_) return; // caught: the next view has it
  if (!mark) {
    nextPagePending_ = false;
    SendStall(common::FailureReport{0, common::FailureReason::NoNextPage, {}});
    return;
  }
  // No navigation yet: it may still come, or the page turns in place. The quiet time of a
  // page decides how long that may take.
  awaitingTurn_ = mark;
  watch_ = std::make_unique<CPageWatch>([this] { TurnTimedOut(); },
                                        [this] { return inCheckTurn_; });
  watch_->PageCompleted();
  turnPoll_.start(kTurnPollMs);
  // The first look comes from the event loop: the page has not turned inside this call
  // chain, whose callers still work on the page that was.
  const std::weak_ptr<bool> weak = alive_;
  QTimer::singleShot(0, [this, weak] {
    if (const auto token = weak.lock(); token && *token) CheckTurn();
  });
}

void CMonitorView::CheckTurn() {
  if (!awaitingTurn_ || inCheckTurn_) return;
  FIHTMLDocument* document = Document();
  if (!document) return;
  const std::shared_ptr<bool> alive = alive_;
  inCheckTurn_ = true;
  QString url;
  engine::ImagePresence presence = engine::ImagePresence::Gone;
  bool read = false;
  try {
    url = document->url();
    presence = document->imageShown(awaitingTurn_->image);
    read = true;
  } catch (const DocumentError&) {
  }
  if (!*alive) return;
  inCheckTurn_ = false;
  // A navigation caught meanwhile ended the wait.
  if (!read || !awaitingTurn_) return;
  const bool moved = url != awaitingTurn_->url;
  const bool swapped = awaitingTurn_->presence == engine::ImagePresence::Shown
                           ? presence != engine::ImagePresence::Shown
                           : presence == engine::ImagePresence::Gone;
  if (moved || swapped) BeginTurnedPage(url, moved);
}

void CMonitorView::BeginTurnedPage(const QString& url, bool moved) {
  StopAwaitingTurn();
  nextPagePending_ = false;
  ++page_;
  url_ = url;
  turned_ = true;
  turnedByAddress_ = moved;
  window_->PageStarted();
  // The files of the page before are done with; a long walk in one view keeps none of them.
  for (const QString& path : temporaryFiles_) QFile::remove(path);
  temporaryFiles_.clear();
  // The document stays, and with it whether it loads its images (a reader that draws them).
  const bool imagesLoad = image_.imagesLoad;
  image_ = {};
  image_.imagesLoad = imagesLoad;
  jump_.reset();
  count_ = 0;
  languageSent_ = false;
  watch_ = std::make_unique<CPageWatch>([this] { FinishPage(); },
                                        [this] { return inProcessPage_; });
  watch_->PageCompleted(); // the turn counts as the new page's completion
  monitorPage_->StartTimer(kMonitorPageMs);
  LookSoon(0);
  LookSoon(kSecondLookMs);
}

void CMonitorView::TurnTimedOut() {
  StopAwaitingTurn();
  nextPagePending_ = false;
  const std::shared_ptr<bool> alive = alive_;
  SendStall(common::FailureReport{0, common::FailureReason::NoNextPage, {}});
  if (*alive) PostViewDone();
}

void CMonitorView::StopAwaitingTurn() {
  if (!awaitingTurn_) return;
  awaitingTurn_.reset();
  turnPoll_.stop();
  watch_->Stop();
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

void CMonitorView::SendStall(common::FailureReason missing) {
  SendStall(trouble_.Reason(missing, image_.fetchFailure));
}

void CMonitorView::SendStall(const common::FailureReport& why) {
  // After these reports the view may be gone: the caller touches nothing afterwards.
  const std::shared_ptr<bool> alive = alive_;
  host_.Report(common::FailureReport{host_.TaskId(), why.reason, why.detail});
  if (*alive) host_.Report(common::StallReport{host_.TaskId()});
}
