#pragma once
// CChromiumView: one page target of the engine's Chromium, driven over its own flattened
// session. It turns the browser's events into the view events of the engine:
//
// - Before-navigate: a navigation that the page itself starts (link, script, form, refresh) is
//   announced by the renderer (Page.frameRequestedNavigation) at the moment it is requested,
//   inside the script call that caused it and before its answer; the view asks its owner
//   right then (even while a call waits, see the constructor) and remembers
//   the answer. The main frame's document request is paused by the browser
//   (Fetch.requestPaused) and is continued or failed with that answer; a request nobody
//   announced (Navigate, a navigation the browser starts) is offered when it pauses.
//   A failed ("aborted") request leaves the page where it was. A navigation of one of the
//   page's frames is offered the same way when a call of the owner's started it (a reader in
//   a frame, clicked); what frames do on their own is left to them.
// - Held page: the document helper cancels the page's navigations in the page itself (its
//   navigate event) and hands their addresses back with the answer of the call that caused
//   them; the view offers them before the call returns. One the helper could not cancel
//   reaches the browser and is cancelled there as above.
// - New window: Page.windowOpen gives the address; the popup target itself is closed by the
//   browser object the moment it appears, before any of its scripts run.
// - Document complete: the main frame's load event is the page's; a sub-frame that stops
//   loading is a frame's.
// - Attachments: a document answered with "Content-Disposition: attachment" is failed at its
//   answer (the browser refuses every download besides).
// - Host customisation: image and media requests are failed before they leave the browser
//   (images only until the view is told to load them, see LoadImages); the headless browser
//   runs no plug-ins, so embedded objects fetch nothing either; the page's external object has no members, script dialogs are
//   answered by the browser object at once. Keyboard focus: the browser is headless and owns
//   no window on the user's desktop, so nothing in a page can take the focus from another
//   program; focus() inside a page only moves the focus within that invisible page.
// - Proxy login: when the proxy of the setting names a user, the view answers the proxy's
//   challenge with it (once per request); a site that asks for a login gets none.
#include "engine/browser/browser_view.h"
#include "engine/browser/chromium_document.h"
#include "engine/browser/devtools_pipe.h"

#include <QElapsedTimer>
#include <QHash>
#include <QJsonArray>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>

namespace engine {

/// Takes a view's page target when the view ends; `reusable` is false for a page whose
/// renderer has gone.
using FTargetRelease =
    std::function<void(const QString& targetId, const QString& sessionId, bool reusable)>;

class CChromiumView : public FIBrowserView {
public:
  /// A view without a browser: it loads nothing and never completes.
  explicit CChromiumView(FIBrowserViewEvents* events);
  /// A view on `targetId`, attached as `sessionId`; the constructor configures the target and
  /// lets it run. `reused` is a target that an ended view has configured already and that
  /// shows a blank page. `userAgentOverride`, if not empty, is how the page sees the browser
  /// (the parameters of Emulation.setUserAgentOverride).
  /// `release`, if set, takes the target when the view ends; otherwise it is closed.
  CChromiumView(CDevToolsPipe* pipe, const QString& targetId, const QString& sessionId,
                FIBrowserViewEvents* events, const QJsonObject& userAgentOverride = {},
                bool reused = false,
                FTargetRelease release = {});
  ~CChromiumView() override; ///< Hands the target on, or closes it.

  void Navigate(const QString& url) override;
  void Stop() override;
  FIHTMLDocument* Document() override;
  QString CookieHeader(const QString& url) override;
  std::optional<QByteArray> PageImageBytes(const QString& url) override;
  void BringAllIntoView() override;
  ScrolledImages ImagesSeenWhileScrolling(int waitMs) override;
  void HoldPage(bool hold) override;
  void LoadImages() override;

  // ---- for the document handles
  enum RunMode {
    ReadOnly,     ///< reads only
    RunsPageCode, ///< may run page handlers: drops cached element values
    MayNavigate,  ///< also may start a navigation or open a window: those events are
                  ///< delivered before Run returns
  };
  /// Runs one helper operation in the isolated world of the current document and returns its
  /// result. `epoch` (if not 0) is the document the caller's handle belongs to. Throws
  /// DocumentError on any failure.
  QJsonValue Run(const QString& op, const QJsonArray& args, quint64 epoch = 0,
                 RunMode mode = ReadOnly);
  /// Run for an operation that answers later (a promise): waits for that answer. Read only.
  QJsonValue RunAwaiting(const QString& op, const QJsonArray& args);
  /// Counts main-frame documents: handles of an older document fail.
  quint64 Epoch() const { return epoch_; }
  quint64 CacheGeneration() const { return cacheGeneration_; }
  /// Cached element values are dropped when control returns to the event loop.
  void KeepCacheUntilIdle();
  /// Frees a collection in the page world (sent along with the next call).
  void ReleaseList(int listId, quint64 epoch);
  /// FIHTMLElement::clickAtCentre of element `index` of a collection: the browser's own mouse
  /// input at the element's centre, or the same events dispatched to it when something else
  /// covers that point. Navigations it starts are offered before it returns.
  void ClickAtCentre(int listId, int index, quint64 epoch);
  /// FIHTMLElement::hasClickHandler, asked of the browser's own record of listeners (which
  /// sees those of every world and framework).
  bool HasClickHandler(int listId, int index, quint64 epoch);
  /// A picture of a box of the page (CSS pixels, from the top left of the document) at scale
  /// 1, as PNG, as the browser shows it. Throws DocumentError when it cannot be taken.
  QByteArray PictureOfBox(double x, double y, double width, double height);

private:
  struct Announced {
    QString url; // without fragment
    bool cancel;
    qint64 at;
  };

  void OnEvent(const devtools::Message& event);
  void OnRequestPaused(const QJsonObject& params);
  enum RequestAnswer { Continue, Aborted, Blocked };
  /// Lets a paused request go on, or fails it (Aborted leaves the page where it was).
  void Answer(const QString& requestId, RequestAnswer answer);
  void OnRequestedNavigation(const QJsonObject& params);
  void OnAuthRequired(const QJsonObject& params);
  /// Follows the image requests of a page that loads its images (LoadImages).
  bool OnNetworkEvent(const devtools::Message& event);
  /// What the browser received for an image address of the page; none when it has not
  /// loaded it, or not with a 2xx answer.
  std::optional<QByteArray> ReceivedImage(const QString& url);
  bool Offer(const QString& url);
  /// Offers the navigations a held page started during a call; they are cancelled already.
  void OfferHeld(const QJsonArray& urls);
  void Notify(const std::function<void()>& call);
  /// Sends one mouse event of the browser's input at (x, y); throws DocumentError on failure.
  void DispatchMouse(const QString& type, double x, double y);
  int EnsureContext();
  QJsonValue Call(const QString& op, const QJsonArray& args, quint64 epoch, RunMode mode,
                  bool awaitPromise);
  /// The bytes behind a blob: address of the page; none when it cannot be read.
  std::optional<QByteArray> ReadBlob(const QString& url);
  bool Alive() const;

  FIBrowserViewEvents* events_;
  QPointer<CDevToolsPipe> pipe_;
  QString targetId_;
  QString sessionId_;
  FTargetRelease release_;
  std::shared_ptr<ViewLink> link_;
  CChromiumDocument document_;
  bool navigated_ = false;
  bool hasDocument_ = false;
  bool crashed_ = false;
  bool pageHeld_ = false;
  /// Calls under way that may start navigations (click, fireEvent, a click at the centre);
  /// while there are any, navigations of the page's frames are offered too.
  int navigatingCalls_ = 0;
  struct NavigatingCall {
    NavigatingCall(CChromiumView* view, bool navigating)
        : link(view->link_), counted(navigating) {
      if (counted) ++view->navigatingCalls_;
    }
    ~NavigatingCall() {
      if (counted && link->view) --link->view->navigatingCalls_;
    }
    std::shared_ptr<ViewLink> link;
    bool counted;
  };
  bool stopAfterCall_ = false; // a held page's navigation got as far as the browser
  quint64 epoch_ = 1;
  quint64 broughtIntoView_ = 0; // the epoch BringAllIntoView last started its scroll in
  int contextId_ = 0; // isolated world of the current document, 0 until made
  quint64 cacheGeneration_ = 1;
  bool cacheDropScheduled_ = false;
  QJsonArray released_;
  std::deque<Announced> announced_;
  // The announced navigation whose handler runs right now, and the requests for it that
  // paused meanwhile: they wait for the handler's answer instead of being offered again.
  QString offering_;
  QStringList heldRequests_;
  QString proxyUser_; ///< the proxy login of the setting; empty: auth challenges are not ours
  QString proxyPassword_;
  QSet<QString> authAnswered_;
  bool imagesLoad_ = false;
  /// The page's image requests while it loads images: address -> request, request -> state.
  struct ImageTransfer {
    int status = 0;
    bool finished = false;
    bool failed = false;
  };
  QHash<QString, QString> imageRequests_;
  QHash<QString, ImageTransfer> imageTransfers_;
  QElapsedTimer clock_;
};

} // namespace engine
