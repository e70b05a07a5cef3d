#pragma once
// A browser in memory behind the engine's view interface, for the page-view and link-search
// tests: pages are FakeDocuments registered by address; navigating shows the page (none for an
// address never registered) and reports its completion from the event loop.
#include "engine/browser/browser_view.h"
#include "fake_document.h"

#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <vector>

namespace testing_support {

class FakeBrowser;

class FakeBrowserView : public engine::FIBrowserView {
public:
  FakeBrowserView(FakeBrowser* browser, engine::FIBrowserViewEvents* events);
  ~FakeBrowserView() override;
  void Navigate(const QString& url) override;
  void Stop() override;
  engine::FIHTMLDocument* Document() override { return document.get(); }

  /// A navigation started by the page: offered to the view, followed unless cancelled.
  void PageNavigates(const QString& url);

  engine::FIBrowserViewEvents* events;
  std::shared_ptr<FakeDocument> document;
  QString address; ///< the address shown, after every navigation that was followed

private:
  FakeBrowser* browser_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

class FakeBrowser : public engine::FIBrowser {
public:
  std::unique_ptr<engine::FIBrowserView> CreateView(engine::FIBrowserViewEvents* events) override;
  QString UserAgent() const override { return userAgent; }

  /// Registers a page; its script navigations go through the view that shows it.
  std::shared_ptr<FakeDocument> AddPage(const QString& url);
  /// A click handler for `element` of `page` that navigates to `url` (an empty `url`: the
  /// handler does nothing, as a broken script).
  void LinkTo(FakeElement& element, const std::shared_ptr<FakeDocument>& page, const QString& url);
  /// Whether navigating reports the page's completion (true) or never completes it.
  bool completePages = true;
  QString userAgent;

  std::map<QString, std::shared_ptr<FakeDocument>> pages;
  std::vector<FakeBrowserView*> views; ///< living views, oldest first
  int createdViews = 0;
  int stops = 0; ///< Stop calls of all views
  QStringList navigated; ///< every address a view went to, in order (followed navigations too)
};

} // namespace testing_support
