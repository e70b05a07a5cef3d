#pragma once
// CMonitorView: the browser view of one page of a chapter. It loads its page, watches it with
// three timers until the page image is found or the page's time is up, saves the image into
// the task folder, and hands over to a new view for the next page: it asks the page-jump
// strategy to go on, catches the navigation that this starts, cancels it here and has the
// host window start a view on the caught address with the page number plus one. The task
// folder, the task id, the reports and the browser come from the engine host.
//
// Ownership: the host window creates and deletes views; a view never deletes itself, it posts
// WM_APP_VIEW_DONE. Reports are sent synchronously, and the front-end may answer one with
// WM_APP_ENGINE_QUIT, on which the host window deletes every view before the send returns;
// so after each report the view checks its liveness token and touches nothing once deleted.
//
// Timing: the page image is looked for every 500 ms from construction on, and besides at once
// when the page document completes and once more 150 ms later (a page's image is usually in
// place by then, long before the next tick; the second look catches one a script puts in
// place right after the load). The last chance
// (FinishPage) comes at the earlier of 30 s after construction or the first 500 ms tick at
// least 5 whole seconds after the latest completion of the page document (not a sub-frame).
// Afterwards no event of the view runs again.
#include "engine/browser/browser_view.h"
#include "engine/engine_host.h"
#include "engine/page_image.h"
#include "engine/page_jump_base.h"
#include "engine/page_watch.h"
#include "platform/timer_notify.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

class CEngineWindow;

class CMonitorView : public engine::FIBrowserViewEvents {
public:
  static constexpr int kMonitorPageMs = 500;
  static constexpr int kSecondLookMs = 150;

  /// Starts the page watch and the monitor event at once, before the window exists. `window` owns the view;
  /// `host` outlives it.
  CMonitorView(CEngineWindow* window, engine::FIEngineHost& host, const QString& url,
               std::int32_t page);
  /// Deletes the view's temporary files and stops its events.
  ~CMonitorView() override;
  CMonitorView(const CMonitorView&) = delete;
  CMonitorView& operator=(const CMonitorView&) = delete;

  /// Creates the browser target and starts loading the page. Without a browser the view
  /// behaves as a page that never completes.
  void Create(int controlId);

  const QString& Url() const { return url_; }
  std::int32_t Page() const { return page_; }
  /// Whether any of the three events still runs (false once the page is done with).
  bool Watching() const;
  /// Files this view's image downloads made; the destructor deletes them.
  const QStringList& TemporaryFiles() const { return temporaryFiles_; }

  /// The page-image step, run on every tick of the monitor event.
  void ProcessPage();
  /// The last-chance step: run by the after-finish and page-timeout events.
  void FinishPage();
  /// Called for every completed frame; only the page itself starts the quiet countdown and the
  /// early looks.
  void DocumentComplete(bool isPage);
  /// Called before every main-frame navigation of this view.
  void OnBeforeNavigate2(const QString& url, bool& cancel);

  // engine::FIBrowserViewEvents
  void OnBeforeNavigate(const QString& url, bool& cancel) override { OnBeforeNavigate2(url, cancel); }
  void OnNewWindow(const QString&) override {} // refused: the page must navigate in place
  void OnDocumentComplete(bool isPage) override { DocumentComplete(isPage); }

private:
  class CEventMonitorPage : public FCTimerNotify {
  public:
    explicit CEventMonitorPage(CMonitorView* view) : view_(view) {}
    void OnTimerNotify() override { view_->ProcessPage(); }
  private:
    CMonitorView* view_;
  };

  /// Saves `image` as page `page` (this view's page when 0) and reports it ("101"); a failed
  /// copy is reported as a stall ("102") instead. False when the page was not saved or the
  /// view was deleted meanwhile.
  bool SavePageImage(const CPageImageInfo& image, std::int32_t page = 0);
  /// The last chance of a page without a strategy: when two or more of its images reach the
  /// page size it is a long strip, and all of them are saved in order, each reported, after a
  /// page-info report with their count. A view restarted on a strip whose page it names is
  /// saved already goes on with the next image, fetching only the images from there. False
  /// (nothing reported) when the page is no long strip.
  bool SaveLongStrip();
  /// How this page's browser asks for images.
  engine::ImageRequest ImageRequestOfPage() const;
  /// Goes to the next page when there is one; "102" when the jump started no navigation.
  void JumpToNextPage(std::int32_t total);
  /// Saves the best candidate and goes on, or reports the stall when there is nothing to save.
  void FinishWithCandidate();
  /// Stops the browser and the three events: no event of the view runs again.
  void StopWatching();
  /// Asks the host window to delete this view once the current callback has returned. Posted
  /// after the jump, so that even a browser call that lets posted messages run cannot delete
  /// the view while its strategy still works on the page.
  void PostViewDone();
  /// Runs the page-image step from the event loop after `delayMs`, unless the view is gone or
  /// done with its page by then.
  void LookSoon(int delayMs);
  void SendPageInfo(const QString& title, std::int32_t total);
  /// Reports the language `document` states, once per page; nothing while it states none.
  void SendLanguage(engine::FIHTMLDocument* document);
  void SendStall();
  engine::FIHTMLDocument* Document() const;

  CEngineWindow* window_;
  engine::FIEngineHost& host_;
  QString url_;
  std::int32_t page_;
  bool nextPagePending_ = false;
  /// Set once the next page's navigation was caught: the next page is the new view's, so
  /// every later navigation of this view (the same request offered again, a script of the
  /// page) is cancelled.
  bool nextPageCaught_ = false;
  bool inProcessPage_ = false;
  std::unique_ptr<CPageJumpBase> jump_;
  engine::PageImageChoice image_; ///< chosen image and best candidate
  std::unique_ptr<CPageWatch> watch_; ///< the last chance
  std::unique_ptr<CEventMonitorPage> monitorPage_;
  QStringList temporaryFiles_;
  std::unique_ptr<engine::FIBrowserView> browser_;
  /// Cleared by the destructor; copies held across a report tell whether the view survived.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  bool languageSent_ = false;
};
