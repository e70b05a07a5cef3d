#pragma once
// CMonitorView: the browser view of one page of a chapter. It loads its page, watches it with
// three timers until the page image is found or the page's time is up, saves the image into
// the task folder, and hands over to the next page: it asks the page-jump strategy to go on
// and watches for two things. A navigation is caught, cancelled here, and the host window
// starts a view on the caught address with the page number plus one. A turn in place (the
// address changes without a new document, or the page image is hidden, removed or replaced)
// is the next page in this same view: a new page cycle starts, with its own ticks, image
// choice, quiet and last chance, and the document stays. When neither comes within the quiet
// time, the view reports the stall. The task folder, the task id, the reports and the
// browser come from the engine host; what the views share about the chapter (its page cap,
// the addresses saved, where a restart starts) from the host window's chapter walk.
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
// A page turned in place counts from the turn as from a completion. Afterwards no event of
// the view runs again, unless the page turns in place.
#include "engine/browser/browser_view.h"
#include "engine/chapter_walk.h"
#include "engine/engine_host.h"
#include "engine/page_image.h"
#include "engine/page_jump_base.h"
#include "engine/page_trouble.h"
#include "engine/page_watch.h"
#include "platform/timer_notify.h"

#include <QString>
#include <QStringList>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <optional>

class CEngineWindow;

class CMonitorView : public engine::FIBrowserViewEvents {
public:
  static constexpr int kMonitorPageMs = 500;
  static constexpr int kSecondLookMs = 150;
  /// How often a view that asked for the next page looks whether the page turned in place.
  static constexpr int kTurnPollMs = 100;
  /// How long the last chance of a long strip waits for the scroll through it to end.
  static constexpr int kStripScrollWaitMs = 60000;

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
  /// Kept for the stall's reason. An answer that is no page, or none at all, may never
  /// complete as a document: the quiet countdown starts then.
  void OnPageAnswer(int status, bool webPage) override;
  void OnPageLoadFailed(const QString& errorText) override;

private:
  class CEventMonitorPage : public FCTimerNotify {
  public:
    explicit CEventMonitorPage(CMonitorView* view) : view_(view) {}
    void OnTimerNotify() override { view_->ProcessPage(); }
  private:
    CMonitorView* view_;
  };

  /// Where the walk stands when the page is asked to turn: its address and whether its page
  /// image is shown. A turn in place changes one of them.
  struct TurnMark {
    QString url;
    QString image;
    engine::ImagePresence presence = engine::ImagePresence::Gone;
  };

  /// Saves `image` as page `page` (this view's page when 0) and reports it ("101"); a failed
  /// write is reported as a stall ("105" with its reason, then "102") instead. With `keep`, the chapter walk records the
  /// page before the report. False when the page was not saved or the view was deleted
  /// meanwhile.
  bool SavePageImage(const CPageImageInfo& image, std::int32_t page = 0, bool keep = false);
  /// Saves this view's page as the strategy's `count` says: not at all when the page was
  /// saved before a restart (it is only turned past), after the page-cap report when a walk
  /// without a stated total reaches the cap, and kept in the chapter walk when it was reached
  /// in place or has no stated total. False as SavePageImage.
  bool SavePage(const CPageImageInfo& image, std::int32_t count);
  /// The last chance of a page without a strategy: when two or more of the images a scroll
  /// through it has shown reach the page size it is a long strip, and all of them are saved
  /// in order, each reported, after a page-info report with their count. A view restarted on
  /// a strip whose page it names is saved already goes on with the next image, fetching only
  /// the images from there. A strip whose scroll did not reach a quiet end (it kept growing,
  /// stopped short, or took too long) saves nothing and reports the stall. False (nothing
  /// reported) when the page is no long strip; `single` then receives the one image that
  /// reaches the page size, if there is exactly one.
  bool SaveLongStrip(std::unique_ptr<CPageImageInfo>* single = nullptr);
  /// The total a strategy's count stands for on this page: a walk without a stated total
  /// goes one page on at a time, up to the chapter walk's cap.
  std::int32_t TotalOf(std::int32_t count) const;
  /// Whether a walk without a stated total waits for the page's last chance, to be sure the
  /// page is no long strip: on the first such page of the engine.
  bool DefersOpenWalk(std::int32_t count) const;
  /// What the strategies get to know about the walk.
  PageJumpContext JumpContext() const;
  /// The click-on-image strategy for the chosen page image; null when the image leads
  /// nowhere (and, for an `established` walk, never).
  std::unique_ptr<CPageJumpBase> ImageJump(engine::FIHTMLDocument* document, bool established,
                                           std::int32_t* count);
  /// Lets the page load its images, for a reader that draws its page into a canvas.
  void LetPageLoadImages();
  /// Loads the page's foreign frame (FIHTMLDocument::foreignFrame) in its place, once per
  /// address: the walk goes on there as if the frame were the page. False when there is none.
  bool EnterForeignFrame(engine::FIHTMLDocument* document);
  /// How this page's browser asks for images.
  engine::ImageRequest ImageRequestOfPage() const;
  /// Goes to the next page when there is one, once the page delay allows: waits for the
  /// navigation or the turn in place that the jump starts. `pageImage`: the address of the
  /// image saved for this page.
  void JumpToNextPage(std::int32_t total, const QString& pageImage);
  void JumpNow(const QString& pageImage);
  /// Looks whether the page turned in place since the jump; begins the next page if so.
  void CheckTurn();
  /// The next page in this view: a new page cycle at `url`.
  void BeginTurnedPage(const QString& url, bool moved);
  /// Neither a navigation nor a turn came: the stall.
  void TurnTimedOut();
  void StopAwaitingTurn();
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
  /// Reports why the view cannot go on ("104"), then the stall itself ("102").
  void SendStall(const common::FailureReport& why);
  /// SendStall with what went wrong with the page, else `missing`.
  void SendStall(common::FailureReason missing = common::FailureReason::NoPageImage);
  engine::FIHTMLDocument* Document() const;

  CEngineWindow* window_;
  engine::FIEngineHost& host_;
  CChapterWalk& walk_;
  QString url_;          ///< the page's address; a turn in place changes it
  std::int32_t page_;
  QString documentUrl_;  ///< the address the document was loaded from
  std::int32_t documentPage_; ///< the page it showed then
  std::int32_t count_ = 0;    ///< the strategy's count at the latest scan
  bool nextPagePending_ = false;
  /// Set once the next page's navigation was caught: the next page is the new view's, so
  /// every later navigation of this view (the same request offered again, a script of the
  /// page) is cancelled.
  bool nextPageCaught_ = false;
  bool inProcessPage_ = false;
  /// Set from the jump until a navigation is caught, the page turns in place, or the time is up.
  std::optional<TurnMark> awaitingTurn_;
  bool inCheckTurn_ = false;
  QTimer turnPoll_;
  QTimer delayedJump_;  ///< single shot: the jump held back for the page delay
  bool turned_ = false;          ///< this page was reached by a turn in place
  bool turnedByAddress_ = false; ///< ... that changed the address
  std::unique_ptr<CPageJumpBase> jump_;
  engine::PageImageChoice image_; ///< chosen image and best candidate
  std::unique_ptr<CPageWatch> watch_; ///< the last chance
  std::unique_ptr<CEventMonitorPage> monitorPage_;
  QStringList temporaryFiles_;
  QStringList enteredFrames_; ///< foreign frames loaded in the page's place (EnterForeignFrame)
  std::unique_ptr<engine::FIBrowserView> browser_;
  /// Cleared by the destructor; copies held across a report tell whether the view survived.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  bool languageSent_ = false;
  engine::CPageTrouble trouble_; ///< what the page's load said, for the stall's reason
};
