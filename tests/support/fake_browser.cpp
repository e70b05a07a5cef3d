#include "fake_browser.h"

#include <QTimer>
#include <algorithm>

namespace testing_support {

FakeBrowserView::FakeBrowserView(FakeBrowser* browser, engine::FIBrowserViewEvents* e)
    : events(e), browser_(browser) {}

FakeBrowserView::~FakeBrowserView() {
  *alive_ = false;
  auto& views = browser_->views;
  views.erase(std::remove(views.begin(), views.end(), this), views.end());
}

void FakeBrowserView::Navigate(const QString& url) {
  address = url;
  browser_->navigated << url;
  const auto found = browser_->pages.find(url);
  document = found == browser_->pages.end() ? nullptr : found->second;
  if (!browser_->completePages) return;
  const std::shared_ptr<bool> alive = alive_;
  QTimer::singleShot(0, [this, alive] {
    if (*alive) events->OnDocumentComplete(true);
  });
}

void FakeBrowserView::Stop() { ++browser_->stops; }

void FakeBrowserView::PageNavigates(const QString& url) {
  bool cancel = false;
  const std::shared_ptr<bool> alive = alive_;
  events->OnBeforeNavigate(url, cancel);
  if (*alive && !cancel) Navigate(url);
}

std::unique_ptr<engine::FIBrowserView> FakeBrowser::CreateView(engine::FIBrowserViewEvents* events) {
  auto view = std::make_unique<FakeBrowserView>(this, events);
  views.push_back(view.get());
  ++createdViews;
  return view;
}

std::shared_ptr<FakeDocument> FakeBrowser::AddPage(const QString& url) {
  auto page = std::make_shared<FakeDocument>();
  pages[url] = page;
  return page;
}

void FakeBrowser::LinkTo(FakeElement& element, const std::shared_ptr<FakeDocument>& page,
                         const QString& url) {
  const std::weak_ptr<FakeDocument> weak = page;
  element.onClick = [this, weak, url] {
    if (url.isEmpty()) return;
    const auto shown = weak.lock();
    for (FakeBrowserView* view : views)
      if (view->document == shown) return view->PageNavigates(url);
  };
}

} // namespace testing_support
