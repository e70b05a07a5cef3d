#include "engine/engine_window.h"

#include "common/protocol.h"
#include "engine/monitor_view.h"
#include "engine/search_link.h"

#include <QCoreApplication>

#include <algorithm>

CEngineWindow::CEngineWindow(engine::FIEngineHost& host)
    : host_(host), maxPages_(protocol::kDefaultMaxPages) {}

CEngineWindow::~CEngineWindow() {
  searchView_.reset();
  views_.DeleteAll();
}

CChapterWalk& CEngineWindow::Walk() {
  if (!walk_) walk_ = std::make_unique<CChapterWalk>(host_.Folder(), maxPages_);
  return *walk_;
}

void CEngineWindow::StartChapter(const QString& url, std::int32_t page) {
  const WalkStart start = Walk().Start(url, page);
  StartPageView(start.url, start.page);
}

int CEngineWindow::PageDelayLeft() const {
  if (pageDelayMs_ <= 0 || !lastPageStart_.isValid()) return 0;
  return int(std::max<qint64>(0, pageDelayMs_ - lastPageStart_.elapsed()));
}

void CEngineWindow::StartPageView(const QString& url, std::int32_t page) {
  if (pageDelayMs_ > 0 && lastPageStart_.isValid()) {
    const qint64 wait = PageDelayLeft();
    if (wait > 0) {
      // Called from inside the previous view's navigation handler: the held-back view
      // starts from the event loop, and a quit before then starts nothing.
      delayedStart_.disconnect();
      delayedStart_.setSingleShot(true);
      QObject::connect(&delayedStart_, &QTimer::timeout,
                       [this, url, page] { StartPageViewNow(url, page); });
      delayedStart_.start(int(wait));
      return;
    }
  }
  StartPageViewNow(url, page);
}

void CEngineWindow::StartPageViewNow(const QString& url, std::int32_t page) {
  if (destroyed_) return;
  lastPageStart_.start();
  auto* view = new CMonitorView(this, host_, url, page);
  if (views_.Find(view) < 0) views_.Add(view);
  view->Create(NextPageViewId());
}

void CEngineWindow::StartSearchView(const QString& url, const QString& resultFile) {
  searchView_ = std::make_unique<CSearchLink>(this, host_, url, resultFile);
  searchView_->Create(NextSearchViewId());
}

platform::LRESULT CEngineWindow::WindowProc(std::uint32_t message, platform::WPARAM wParam,
                                           platform::LPARAM) {
  switch (message) {
  case protocol::WM_APP_ENGINE_QUIT:
    OnEngineQuit();
    return 0;
  case protocol::WM_APP_VIEW_DONE:
    OnViewDone(reinterpret_cast<CMonitorView*>(wParam));
    return 0;
  default:
    return 0;
  }
}

void CEngineWindow::OnEngineQuit() {
  delayedStart_.stop();
  searchView_.reset();
  views_.DeleteAll();
  if (destroyed_) return;
  destroyed_ = true;
  DestroyHandle();
  // The host window is the main window: destroying it ends the message loop.
  QCoreApplication::exit(0);
}

void CEngineWindow::OnViewDone(CMonitorView* view) {
  // Only a pointer that is still in the list is deleted; a stale one is ignored.
  views_.Delete(views_.Find(view));
}
