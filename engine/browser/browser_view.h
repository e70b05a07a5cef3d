#pragma once
// A browser view: one page target of the engine's browser, and the events it delivers.
// Events arrive on the engine's user-interface thread.
#include "common/cookies_file.h"
#include "engine/browser/document.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace engine {

/// What a scroll through a page has shown.
struct ScrolledImages {
  /// Every image address shown on the way down (the largest picture of each img), in reading
  /// order, each once, also of images the page removed again.
  QStringList sources;
  bool ended = false;      ///< the scroll is over
  bool reachedEnd = false; ///< ... at the end of the page, after which nothing new appeared;
                           ///< false when it stopped short or the page kept growing
};

/// What a view tells its owner. Handlers run on the user-interface thread.
class FIBrowserViewEvents {
public:
  virtual ~FIBrowserViewEvents() = default;
  /// Every main-frame navigation, also one started by a script, click or fireEvent (then
  /// before that call returns). Setting `cancel` stops it; the page stays where it was.
  virtual void OnBeforeNavigate(const QString& url, bool& cancel) = 0;
  /// A page asked for a new window (window.open, target="_blank"). No window ever opens,
  /// whatever the handler does; `url` is the address it would have shown.
  virtual void OnNewWindow(const QString& url) = 0;
  /// A frame finished loading; `isPage` tells the page itself from its sub-frames.
  virtual void OnDocumentComplete(bool isPage) = 0;
  /// The answer to a navigation of the page itself arrived (sub-frames are not reported):
  /// `status` is its HTTP status, 0 when the site gave none (no connection, no such host);
  /// `webPage` is false for an answer that is no web page to show (an attachment, or content
  /// of another type than HTML). Views that cannot tell report nothing.
  virtual void OnPageAnswer(int status, bool webPage) { (void)status, (void)webPage; }
  /// A page load that the view started (Navigate) failed without an answer to show: no
  /// connection, no such host, a proxy that does not answer. `errorText` is the browser's
  /// name for it ("net::ERR_CONNECTION_REFUSED", "net::ERR_PROXY_CONNECTION_FAILED").
  /// Loads the view itself cancelled are not reported. Views that cannot tell report nothing.
  virtual void OnPageLoadFailed(const QString& errorText) { (void)errorText; }
};

class FIBrowserView {
public:
  virtual ~FIBrowserView() = default;
  /// Starts loading `url` without a history entry.
  virtual void Navigate(const QString& url) = 0;
  virtual void Stop() = 0;
  /// The current page document, or null while nothing is loaded.
  virtual FIHTMLDocument* Document() = 0;
  /// The Cookie header value the view's browser would send with a request for `url`, by the
  /// browser's own rules (domain, path, secure, expiry); empty when it would send none.
  virtual QString CookieHeader(const QString& url) { return (void)url, QString(); }
  /// The bytes the current page holds for an image address, so that they need not be fetched:
  /// a blob: address read inside the page, or, while the page loads its images, what the
  /// browser received for that address (2xx answers only; waits for a transfer under way).
  /// None when the page holds none or the address is over the largest download.
  virtual std::optional<QByteArray> PageImageBytes(const QString& url) {
    return (void)url, std::nullopt;
  }
  /// Scrolls the current page through from top to bottom in the background, so that images it
  /// fills in only when they scroll into view get their addresses, and images of a list that
  /// keeps only those in view are each shown once; every image address shown on the way is
  /// kept (ImagesSeenWhileScrolling). Once per document; returns at once. A view without a
  /// browser does nothing.
  virtual void BringAllIntoView() {}
  /// What the scroll of BringAllIntoView has shown (starting it when it has not run), once it
  /// is over or `waitMs` have passed. A view that cannot scroll answers the images its
  /// document holds now, as a scroll that reached the end. May throw DocumentError.
  virtual ScrolledImages ImagesSeenWhileScrolling(int waitMs);
  /// From now on the page loads its images as any browser does (media stay refused), so that
  /// a reader that draws its pages from pictures it loads itself can draw them; what the
  /// browser receives for them can be read with PageImageBytes. The page shown now is loaded
  /// again. Views load no images unless told so. A view without a browser does nothing.
  virtual void LoadImages() {}
  /// Holds the page where it is (true) or lets it go again (false). While held, every
  /// navigation of the page itself (link, script, form) is still offered to before-navigate
  /// inside the call that caused it, but is cancelled whatever the handler answers, where
  /// possible before it leaves the page: walking every link of a large page then costs one
  /// short trip per click instead of a navigation started and stopped in the browser. For
  /// owners that cancel every such navigation anyway. New windows are reported as always;
  /// what the page starts on its own between calls (its timers) is cancelled unoffered.
  virtual void HoldPage(bool hold) { (void)hold; }
};

inline ScrolledImages FIBrowserView::ImagesSeenWhileScrolling(int waitMs) {
  (void)waitMs;
  FIHTMLDocument* document = Document();
  if (!document) return {};
  ScrolledImages shown{{}, true, true};
  const auto images = document->getElementsByTagName(QStringLiteral("img"));
  for (int i = 0; i < images->length(); ++i) {
    const auto image = images->item(i);
    const QString source = image && image->Is(ElementKind::Image) ? image->imageSource() : QString();
    if (!source.isEmpty() && !shown.sources.contains(source)) shown.sources << source;
  }
  return shown;
}

/// Makes views. One browser serves every view of the engine process.
class FIBrowser {
public:
  virtual ~FIBrowser() = default;
  /// A new view reporting to `events` (which must outlive the view). Never null: when the
  /// browser is missing or has crashed, the view behaves as a page that never completes.
  virtual std::unique_ptr<FIBrowserView> CreateView(FIBrowserViewEvents* events) = 0;
  /// The user agent the browser sends for its pages; empty while it is not known (the browser
  /// has not started yet, or could not start).
  virtual QString UserAgent() const = 0;
  /// The most resident memory one page's renderer may take; a renderer above it is ended and
  /// its pages show nothing from then on. Browsers without separate renderers ignore it.
  virtual void SetRendererMemoryLimit(qint64 bytes) { (void)bytes; }
  /// Cookies every view of the browser has from the start (the user's cookies file), as if the
  /// sites had set them; call before the first view. They live in the browser's own profile
  /// only and go with it.
  virtual void SetCookies(const std::vector<common::FileCookie>& cookies) { (void)cookies; }
};

} // namespace engine
