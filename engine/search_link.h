#pragma once
// CSearchLink: the browser view of a chapter-list page that collects the chapter links.
//
// It loads the list page; 5 whole seconds after the page document last completed (or 30 s
// after construction, whichever comes first) it runs the result step once: it clicks every
// link of the page in document order, catches the address each click would go to (cancelling
// the navigation, so the list page stays), writes every link that led to an "http://" or
// "https://" address into the result file the job named (common/search_result_file.h), with
// what the page says about its series (title, main heading, stated chapter count), tells
// the search-link dialog so (WM_APP_SEARCH_DONE, SEARCH_DONE_WRITTEN) and posts
// WM_APP_ENGINE_QUIT to its own host window, which ends the engine. The dialog reads and
// deletes the file; the engine deletes it only when no dialog took the message. It never opens
// a viewer. When the list page itself could not be loaded (no answer, an error status, no web
// page) it writes nothing and tells the dialog so instead (SEARCH_DONE_PAGE_FAILED).
//
// Threading and ownership: everything runs on the engine's user-interface thread. The host
// dialog owns the view and may delete it while the result step waits in a synchronous call
// (the front-end told the engine to quit); the step then touches no member afterwards.
#include "engine/browser/browser_view.h"
#include "engine/engine_host.h"
#include "common/search_result_file.h"
#include "engine/page_watch.h"
#include "platform/timer_notify.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class CEngineWindow;

class CSearchLink : public engine::FIBrowserViewEvents {
public:
  /// `window` owns the view; `host` outlives it. The result goes to `resultFile` (empty: the
  /// job named none, and the dialog hears SEARCH_DONE_NOT_WRITTEN).
  CSearchLink(CEngineWindow* window, engine::FIEngineHost& host, const QString& url,
              const QString& resultFile);
  ~CSearchLink() override;
  CSearchLink(const CSearchLink&) = delete;
  CSearchLink& operator=(const CSearchLink&) = delete;

  /// Creates the browser target and starts loading the list page. Without a browser the view
  /// behaves as a page that never completes: the result step runs after 30 s, empty.
  void Create(int controlId);

  // Browser events.
  void OnBeforeNavigate(const QString& url, bool& cancel) override;
  void OnNewWindow(const QString& url) override;
  void OnDocumentComplete(bool isPage) override;
  void OnPageAnswer(int status, bool webPage) override;

private:
  /// Runs once, when the page watch fires.
  void ProcessResult();
  /// What the list page says about its series; nullopt when the view was deleted meanwhile.
  std::optional<common::ListPage> ListPageInfo(const std::weak_ptr<bool>& alive);
  /// Clicks every link and returns what they led to; nullopt when the view was deleted
  /// meanwhile (then no member may be touched any more).
  std::optional<std::vector<common::FoundLink>> CollectLinks(const std::weak_ptr<bool>& alive);
  /// Clicks one element; the first caught address or empty. Nullopt as above.
  std::optional<QString> ClickLink(engine::FIHTMLElement& link, const std::weak_ptr<bool>& alive);

  CEngineWindow* window_;
  engine::FIEngineHost& host_;
  QString url_;
  QString resultFile_;
  CPageWatch watch_{[this] { ProcessResult(); }};
  bool clicking_ = false;  ///< true only while one link is clicked
  QStringList caught_;     ///< addresses caught during the current click
  bool collecting_ = false;  ///< the result step walks the page: every navigation is cancelled
  bool resultStarted_ = false;
  /// The latest answer to the page's own navigation was no page: its HTTP status (0: none).
  std::optional<int> pageFailure_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  // Declared last, so destroyed first: the view reports to this object.
  std::unique_ptr<engine::FIBrowserView> view_;
};
