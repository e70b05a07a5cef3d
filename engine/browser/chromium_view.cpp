#include "engine/browser/chromium_view.h"

#include "common/network_setting.h"
#include "engine/browser/page_scripts.h"

#include <QDeadlineTimer>
#include <QJsonObject>
#include <QTimer>

#include <utility>

namespace engine {

namespace {
// Page scripts are answered within this time or the step fails (a page stuck in a loop).
constexpr int kCallTimeoutMs = 5000;
constexpr int kSetupTimeoutMs = 15000;
// A navigation announced by the renderer whose request never came (same-document, javascript:
// addresses) is forgotten after this long.
constexpr qint64 kAnnouncedLifetimeMs = 60000;
// How often a wait for the end of a page's scroll looks again.
constexpr int kScrollLookMs = 200;
const QString kWorldName = QStringLiteral("gantrell");
// The largest picture a page hands over, as the largest image download; and the piece of it
// one answer carries (as base64, a third more).
constexpr qint64 kMaxPageImageBytes = 64LL * 1024 * 1024;
constexpr int kBlobPieceBytes = 4 * 1024 * 1024;
// A page that loads its images: how many of their requests are followed at most (a page that
// keeps loading forgets the older ones), and how long a transfer under way is waited for.
constexpr int kMaxFollowedImages = 2000;
constexpr int kImageTransferWaitMs = 30000;
constexpr int kScreenshotTimeoutMs = 15000;

QString WithoutFragment(const QString& url) {
  const qsizetype hash = url.indexOf(QLatin1Char('#'));
  return hash < 0 ? url : url.left(hash);
}

// The value of the answer's header `name`; null when the answer has none.
QString HeaderValue(const QJsonArray& headers, QLatin1String name) {
  for (const QJsonValue& header : headers) {
    const QJsonObject h = header.toObject();
    if (h.value(QLatin1String("name")).toString().compare(name, Qt::CaseInsensitive) == 0)
      return h.value(QLatin1String("value")).toString();
  }
  return {};
}

bool IsAttachment(const QJsonArray& headers) {
  return HeaderValue(headers, QLatin1String("Content-Disposition"))
      .trimmed()
      .startsWith(QLatin1String("attachment"), Qt::CaseInsensitive);
}

// What a page's answer is by its Content-Type: a web page unless it names another type. An
// answer without one is sniffed by the browser and may well be a page.
bool IsWebPageType(const QJsonArray& headers) {
  const QString type = HeaderValue(headers, QLatin1String("Content-Type"))
                           .section(QLatin1Char(';'), 0, 0)
                           .trimmed()
                           .toLower();
  return type.isEmpty() || type == QLatin1String("text/html") ||
         type == QLatin1String("application/xhtml+xml");
}

QJsonObject Arg(const QJsonValue& v) { return QJsonObject{{QStringLiteral("value"), v}}; }

// What the browser pauses for the view: every document request (offered as a navigation)
// and its answer (an attachment is no page to show), media requests (refused), and image
// requests (refused) unless the page loads its images.
QJsonObject FetchSetting(bool imagesLoad, bool proxyLogin) {
  QJsonArray patterns;
  auto pattern = [&](const char* type, const char* stage) {
    patterns.append(QJsonObject{{QStringLiteral("urlPattern"), QStringLiteral("*")},
                                {QStringLiteral("resourceType"), QLatin1String(type)},
                                {QStringLiteral("requestStage"), QLatin1String(stage)}});
  };
  pattern("Document", "Request");
  pattern("Media", "Request");
  if (!imagesLoad) pattern("Image", "Request");
  pattern("Document", "Response");
  QJsonObject fetch{{QStringLiteral("patterns"), patterns}};
  if (proxyLogin) fetch.insert(QStringLiteral("handleAuthRequests"), true);
  return fetch;
}

QString ExceptionText(const QJsonObject& details) {
  const QString description =
      details.value(QLatin1String("exception")).toObject().value(QLatin1String("description"))
          .toString();
  return description.isEmpty() ? details.value(QLatin1String("text")).toString() : description;
}
} // namespace

CChromiumView::CChromiumView(FIBrowserViewEvents* events)
    : events_(events), link_(std::make_shared<ViewLink>()), document_(link_) {
  link_->view = this;
  clock_.start();
}

CChromiumView::CChromiumView(CDevToolsPipe* pipe, const QString& targetId,
                             const QString& sessionId, FIBrowserViewEvents* events,
                             const QJsonObject& userAgentOverride, bool reused,
                             FTargetRelease release)
    : CChromiumView(events) {
  pipe_ = pipe;
  targetId_ = targetId;
  sessionId_ = sessionId;
  release_ = std::move(release);
  pipe->SetSessionHandler(sessionId_, [this](const devtools::Message& e) { OnEvent(e); });
  // While a navigation request is paused the browser holds back every other command to the
  // page, so whatever decides about navigations is handled the moment it is read, also while
  // a call waits. This is also how a click's navigation reaches the handler before the click
  // returns: the renderer announces it before it answers the call.
  pipe->SetImmediateHandler(sessionId_, [this](const devtools::Message& e) {
    if (e.method == QLatin1String("Fetch.requestPaused")) {
      OnRequestPaused(e.params);
    } else if (e.method == QLatin1String("Fetch.authRequired")) {
      OnAuthRequired(e.params);
    } else if (e.method == QLatin1String("Page.frameRequestedNavigation")) {
      OnRequestedNavigation(e.params);
    } else if (e.method == QLatin1String("Page.windowOpen")) {
      Notify([&] { events_->OnNewWindow(e.params.value(QLatin1String("url")).toString()); });
    } else if (e.method.startsWith(QLatin1String("Network."))) {
      return OnNetworkEvent(e);
    } else {
      return false;
    }
    return true;
  });

  // A new target waits for us: configure it first, then let it run. Commands of one session
  // are handled in order, so none of this needs to wait for its reply. A reused target keeps
  // its configuration; sending it again is harmless except for the new-document script,
  // which would then run twice.
  auto pageEvents = std::make_shared<bool>(false);
  pipe->Post(QStringLiteral("Page.enable"), {}, sessionId_,
             [pageEvents](const devtools::Message&) { *pageEvents = true; });
  // A proxy that wants a login gets it when it challenges the page's first request; the
  // browser then keeps it for the page's other requests.
  const auto proxy = common::ParseProxy(common::CurrentNetworkSetting().proxy);
  if (proxy && !proxy->user.isEmpty()) {
    proxyUser_ = proxy->user;
    proxyPassword_ = proxy->password;
  }
  pipe->Post(QStringLiteral("Fetch.enable"), FetchSetting(false, !proxyUser_.isEmpty()), sessionId_);
  if (!userAgentOverride.isEmpty())
    pipe->Post(QStringLiteral("Emulation.setUserAgentOverride"), userAgentOverride, sessionId_);
  if (!reused) {
    pipe->Post(QStringLiteral("Page.addScriptToEvaluateOnNewDocument"),
               {{QStringLiteral("source"), page_scripts::EmptyExternal()}}, sessionId_);
    pipe->Post(QStringLiteral("Runtime.runIfWaitingForDebugger"), {}, sessionId_);
  }
  // Page events start only once the target runs; a navigation sent before they have started
  // could load the whole page unseen.
  pipe->PumpUntil([&] { return *pageEvents; }, kSetupTimeoutMs);
}

CChromiumView::~CChromiumView() {
  link_->view = nullptr;
  if (!pipe_) return;
  if (imagesLoad_ && pipe_->IsOpen()) pipe_->Post(QStringLiteral("Network.disable"), {}, sessionId_);
  pipe_->RemoveSession(sessionId_);
  if (release_)
    release_(targetId_, sessionId_, pipe_->IsOpen() && !crashed_);
  else
    pipe_->Post(QStringLiteral("Target.closeTarget"), {{QStringLiteral("targetId"), targetId_}});
}

bool CChromiumView::Alive() const { return pipe_ && pipe_->IsOpen() && !crashed_; }

void CChromiumView::Navigate(const QString& url) {
  if (!Alive()) return;
  navigated_ = true; // the blank page the target starts with is no document of ours
  // The reply comes only once the navigation has committed or failed: never wait for it. A
  // load that failed names why in it; a cancelled one ("net::ERR_ABORTED") is ours.
  const std::weak_ptr<ViewLink> link = link_;
  pipe_->Post(QStringLiteral("Page.navigate"), {{QStringLiteral("url"), url}}, sessionId_,
              [link](const devtools::Message& reply) {
                const auto alive = link.lock();
                const QString error = reply.result.value(QLatin1String("errorText")).toString();
                if (!alive || !alive->view || reply.failed || error.isEmpty() ||
                    error == QLatin1String("net::ERR_ABORTED"))
                  return;
                CChromiumView* view = alive->view;
                view->Notify([&] { view->events_->OnPageLoadFailed(error); });
              });
}

void CChromiumView::Stop() {
  if (Alive()) pipe_->Post(QStringLiteral("Page.stopLoading"), {}, sessionId_);
}

FIHTMLDocument* CChromiumView::Document() {
  return Alive() && hasDocument_ ? &document_ : nullptr;
}

QString CChromiumView::CookieHeader(const QString& url) {
  if (!Alive()) return {};
  const auto reply = pipe_->Call(QStringLiteral("Network.getCookies"),
                                 {{QStringLiteral("urls"), QJsonArray{url}}}, sessionId_,
                                 kCallTimeoutMs);
  if (reply.failed) return {};
  QStringList pairs;
  for (const QJsonValue& cookie : reply.result.value(QLatin1String("cookies")).toArray()) {
    const QJsonObject c = cookie.toObject();
    const QString name = c.value(QLatin1String("name")).toString();
    const QString value = c.value(QLatin1String("value")).toString();
    // A header line of our own making: nothing from a page may break it.
    if ((name + value).contains(QLatin1Char('\r')) || (name + value).contains(QLatin1Char('\n')))
      continue;
    pairs << (name.isEmpty() ? value : name + QLatin1Char('=') + value);
  }
  return pairs.join(QStringLiteral("; "));
}

std::optional<QByteArray> CChromiumView::PageImageBytes(const QString& url) {
  if (!Alive() || !hasDocument_) return std::nullopt;
  if (url.startsWith(QLatin1String("blob:"), Qt::CaseInsensitive)) return ReadBlob(url);
  return ReceivedImage(url);
}

void CChromiumView::LoadImages() {
  if (!Alive() || imagesLoad_) return;
  imagesLoad_ = true;
  // The browser keeps what it received for the page's requests from now on, so that the
  // page image need not be asked for a second time.
  pipe_->Post(QStringLiteral("Network.enable"),
              {{QStringLiteral("maxTotalBufferSize"), double(4 * kMaxPageImageBytes)},
               {QStringLiteral("maxResourceBufferSize"), double(kMaxPageImageBytes)}},
              sessionId_);
  pipe_->Post(QStringLiteral("Fetch.enable"), FetchSetting(true, !proxyUser_.isEmpty()), sessionId_);
  if (hasDocument_) pipe_->Post(QStringLiteral("Page.reload"), {}, sessionId_);
}

bool CChromiumView::OnNetworkEvent(const devtools::Message& event) {
  const QJsonObject& p = event.params;
  const QString requestId = p.value(QLatin1String("requestId")).toString();
  if (event.method == QLatin1String("Network.requestWillBeSent")) {
    if (p.value(QLatin1String("type")).toString() != QLatin1String("Image")) return true;
    // A redirect goes on under the same request: the address asked for stays the key.
    if (p.contains(QLatin1String("redirectResponse"))) return true;
    if (imageRequests_.size() > kMaxFollowedImages) {
      imageRequests_.clear();
      imageTransfers_.clear();
    }
    const QString url =
        p.value(QLatin1String("request")).toObject().value(QLatin1String("url")).toString();
    imageRequests_.insert(WithoutFragment(url), requestId);
    imageTransfers_.insert(requestId, {});
  } else if (auto it = imageTransfers_.find(requestId); it != imageTransfers_.end()) {
    if (event.method == QLatin1String("Network.responseReceived"))
      it->status = p.value(QLatin1String("response")).toObject().value(QLatin1String("status")).toInt();
    else if (event.method == QLatin1String("Network.loadingFinished"))
      it->finished = true;
    else if (event.method == QLatin1String("Network.loadingFailed"))
      it->failed = true;
  }
  return true; // nothing else of the network is the view's business
}

std::optional<QByteArray> CChromiumView::ReceivedImage(const QString& url) {
  if (!imagesLoad_) return std::nullopt;
  const QString requestId = imageRequests_.value(WithoutFragment(url));
  if (requestId.isEmpty()) return std::nullopt;
  // A transfer under way is waited for: asking the site again would be the second request.
  pipe_->PumpUntil([&] {
    const auto it = imageTransfers_.constFind(requestId);
    return it == imageTransfers_.constEnd() || it->finished || it->failed;
  }, kImageTransferWaitMs);
  const ImageTransfer transfer = imageTransfers_.value(requestId);
  if (!transfer.finished || transfer.status < 200 || transfer.status > 299 || !pipe_)
    return std::nullopt;
  const auto body = pipe_->Call(QStringLiteral("Network.getResponseBody"),
                                {{QStringLiteral("requestId"), requestId}}, sessionId_,
                                kCallTimeoutMs);
  if (body.failed) return std::nullopt;
  const QString text = body.result.value(QLatin1String("body")).toString();
  if (!body.result.value(QLatin1String("base64Encoded")).toBool()) return text.toLatin1();
  const auto bytes = QByteArray::fromBase64Encoding(text.toLatin1(),
                                                    QByteArray::AbortOnBase64DecodingErrors);
  if (!bytes || bytes.decoded.size() > kMaxPageImageBytes) return std::nullopt;
  return bytes.decoded;
}

QByteArray CChromiumView::PictureOfBox(double x, double y, double width, double height) {
  if (!Alive()) throw DocumentError("the browser is not running");
  if (width < 1 || height < 1) throw DocumentError("nothing to show");
  const auto shot = pipe_->Call(
      QStringLiteral("Page.captureScreenshot"),
      {{QStringLiteral("format"), QStringLiteral("png")},
       {QStringLiteral("captureBeyondViewport"), true},
       {QStringLiteral("clip"), QJsonObject{{QStringLiteral("x"), x},
                                            {QStringLiteral("y"), y},
                                            {QStringLiteral("width"), width},
                                            {QStringLiteral("height"), height},
                                            {QStringLiteral("scale"), 1}}}},
      sessionId_, kScreenshotTimeoutMs);
  if (shot.failed) throw DocumentError(shot.errorText.toStdString());
  const auto png = QByteArray::fromBase64Encoding(
      shot.result.value(QLatin1String("data")).toString().toLatin1(),
      QByteArray::AbortOnBase64DecodingErrors);
  if (!png) throw DocumentError("unexpected answer from the browser");
  return png.decoded;
}

std::optional<QByteArray> CChromiumView::ReadBlob(const QString& url) {
  try {
    const QJsonArray blob = RunAwaiting(QStringLiteral("readBlob"), {url, double(kMaxPageImageBytes)})
                                .toArray();
    if (blob.size() != 2) return std::nullopt;
    const int id = blob[0].toInt();
    const qint64 size = qint64(blob[1].toDouble());
    QByteArray bytes;
    bytes.reserve(size);
    while (bytes.size() < size) {
      const QJsonValue piece =
          Run(QStringLiteral("blobPiece"), {id, double(bytes.size()), kBlobPieceBytes});
      const auto decoded = QByteArray::fromBase64Encoding(piece.toString().toLatin1(),
                                                          QByteArray::AbortOnBase64DecodingErrors);
      if (!decoded || decoded.decoded.isEmpty()) break;
      bytes += decoded.decoded;
    }
    Run(QStringLiteral("dropBlob"), {id});
    if (bytes.size() != size) return std::nullopt;
    return bytes;
  } catch (const DocumentError&) {
    return std::nullopt; // revoked, or the page went away meanwhile
  }
}

void CChromiumView::BringAllIntoView() {
  if (!Alive() || !hasDocument_ || broughtIntoView_ == epoch_) return;
  try {
    Run(QStringLiteral("scrollThrough"), {}, 0, RunsPageCode);
    broughtIntoView_ = epoch_;
  } catch (const DocumentError&) {
    // The page is changing; the next call tries again.
  }
}

ScrolledImages CChromiumView::ImagesSeenWhileScrolling(int waitMs) {
  if (!Alive() || !hasDocument_) return {};
  const QDeadlineTimer deadline(waitMs);
  for (;;) {
    const QJsonValue answer = Run(QStringLiteral("seenImages"), {});
    if (answer.isNull()) BringAllIntoView(); // not started yet in this document
    const QJsonObject seen = answer.toObject();
    ScrolledImages shown;
    for (const QJsonValue& source : seen.value(QLatin1String("sources")).toArray())
      shown.sources << source.toString();
    shown.ended = seen.value(QLatin1String("ended")).toBool();
    shown.reachedEnd = seen.value(QLatin1String("reachedEnd")).toBool();
    if (shown.ended || deadline.hasExpired() || !pipe_) return shown;
    // The page scrolls on by its own timers meanwhile; only the pipe is read.
    pipe_->PumpUntil([] { return false; }, kScrollLookMs);
    if (!Alive()) throw DocumentError("the browser has gone");
  }
}

void CChromiumView::HoldPage(bool hold) {
  if (pageHeld_ == hold) return;
  pageHeld_ = hold;
  // The page's helper learns it with every call; letting go must not wait for the next one.
  if (hold || !Alive() || contextId_ == 0) return;
  try {
    Run(QStringLiteral("idle"), {});
  } catch (const DocumentError&) {
    // The document went away: nothing of it is held any more.
  }
}

// ---- events

void CChromiumView::OnEvent(const devtools::Message& event) {
  const QString& m = event.method;
  const QJsonObject& p = event.params;
  if (m == QLatin1String("Page.frameNavigated")) {
    const QJsonObject frame = p.value(QLatin1String("frame")).toObject();
    if (!frame.contains(QLatin1String("parentId"))) {
      hasDocument_ = navigated_;
      contextId_ = 0;
      ++epoch_;
      released_ = {};
      // Whatever the old document announced and never requested is moot now.
      announced_.clear();
    }
  } else if (m == QLatin1String("Page.navigatedWithinDocument")) {
    // A same-document navigation (fragment, history API) needs no request.
    const QString url = WithoutFragment(p.value(QLatin1String("url")).toString());
    std::erase_if(announced_, [&](const Announced& a) { return a.url == url; });
  } else if (m == QLatin1String("Page.domContentEventFired")) {
    // The first document may commit before Page.enable takes effect, without frameNavigated.
    hasDocument_ = navigated_;
  } else if (m == QLatin1String("Page.loadEventFired")) {
    hasDocument_ = navigated_;
    if (navigated_) Notify([&] { events_->OnDocumentComplete(true); });
  } else if (m == QLatin1String("Page.frameStoppedLoading")) {
    if (p.value(QLatin1String("frameId")).toString() != targetId_)
      Notify([&] { events_->OnDocumentComplete(false); });
  } else if (m == QLatin1String("Inspector.targetCrashed") ||
             m == QLatin1String("Inspector.detached")) {
    crashed_ = true; // from now on the view is a page that never completes
  }
}

void CChromiumView::OnRequestedNavigation(const QJsonObject& p) {
  // A frame's navigation is the owner's business only when one of its calls started it (a
  // reader inside a frame, driven like a page); what frames do on their own is theirs.
  if (p.value(QLatin1String("frameId")).toString() != targetId_ && navigatingCalls_ == 0) return;
  // New tabs and windows are reported by Page.windowOpen.
  if (p.value(QLatin1String("disposition")).toString() != QLatin1String("currentTab")) return;
  const QString url = p.value(QLatin1String("url")).toString();
  // The handler may wait for the browser (it may create the next view), and this page's
  // request can pause meanwhile; it is held until the answer is known.
  const QString previous = std::exchange(offering_, WithoutFragment(url));
  const QStringList previousHeld = std::exchange(heldRequests_, {});
  // A held page stays whatever the handler says; this navigation escaped the helper (it could
  // not be cancelled in the page), and stopping it after the call spares its request's trip.
  const bool cancel = Offer(url) || pageHeld_;
  if (pageHeld_) stopAfterCall_ = true;
  offering_ = previous;
  const QStringList held = std::exchange(heldRequests_, previousHeld);
  for (const QString& requestId : held) Answer(requestId, cancel ? Aborted : Continue);
  if (!held.isEmpty()) return; // answered: nothing left to match
  const qint64 now = clock_.elapsed();
  while (!announced_.empty() && now - announced_.front().at > kAnnouncedLifetimeMs)
    announced_.pop_front();
  announced_.push_back({WithoutFragment(url), cancel, now});
}

void CChromiumView::OnRequestPaused(const QJsonObject& p) {
  const QString requestId = p.value(QLatin1String("requestId")).toString();
  const QString type = p.value(QLatin1String("resourceType")).toString();
  if (p.contains(QLatin1String("responseStatusCode")) ||
      p.contains(QLatin1String("responseErrorReason"))) {
    // A document answered as an attachment would become a download: it is cancelled, and
    // the page (or frame) stays where it was.
    const QJsonArray headers = p.value(QLatin1String("responseHeaders")).toArray();
    const bool attachment = IsAttachment(headers);
    Answer(requestId, attachment ? Aborted : Continue);
    const int status = p.value(QLatin1String("responseStatusCode")).toInt();
    // A redirect is no answer yet: its target is asked for next.
    const bool redirect = status >= 300 && status < 400;
    if (type == QLatin1String("Document") && !redirect &&
        p.value(QLatin1String("frameId")).toString() == targetId_)
      Notify([&] { events_->OnPageAnswer(status, !attachment && IsWebPageType(headers)); });
    return;
  }
  bool refuse = false;
  bool abort = false;
  if ((type == QLatin1String("Image") && !imagesLoad_) || type == QLatin1String("Media")) {
    refuse = true;
  } else if (type == QLatin1String("Document") &&
             !p.contains(QLatin1String("redirectedRequestId"))) {
    const bool page = p.value(QLatin1String("frameId")).toString() == targetId_;
    const QJsonObject request = p.value(QLatin1String("request")).toObject();
    const QString url = request.value(QLatin1String("url")).toString();
    if (!offering_.isEmpty() && url == offering_) {
      heldRequests_.append(requestId);
      return;
    }
    auto it = std::find_if(announced_.begin(), announced_.end(),
                           [&](const Announced& a) { return a.url == url; });
    if (it != announced_.end()) {
      abort = it->cancel;
      announced_.erase(it);
    } else if (page) {
      abort = Offer(url + request.value(QLatin1String("urlFragment")).toString());
    }
  }
  Answer(requestId, refuse ? Blocked : abort ? Aborted : Continue);
}

void CChromiumView::Answer(const QString& requestId, RequestAnswer answer) {
  if (!pipe_) return;
  if (answer == Continue) {
    pipe_->Post(QStringLiteral("Fetch.continueRequest"),
                {{QStringLiteral("requestId"), requestId}}, sessionId_);
    return;
  }
  pipe_->Post(QStringLiteral("Fetch.failRequest"),
              {{QStringLiteral("requestId"), requestId},
               {QStringLiteral("errorReason"), answer == Blocked ? QStringLiteral("BlockedByClient")
                                                                 : QStringLiteral("Aborted")}},
              sessionId_);
}

void CChromiumView::OnAuthRequired(const QJsonObject& p) {
  if (!pipe_) return;
  const QString requestId = p.value(QLatin1String("requestId")).toString();
  const QString source =
      p.value(QLatin1String("authChallenge")).toObject().value(QLatin1String("source")).toString();
  // Only the proxy of the setting gets a login, and only once per request: a refused one
  // would otherwise be offered for ever. A site that asks for a login gets none.
  QJsonObject answer{{QStringLiteral("response"), QStringLiteral("CancelAuth")}};
  if (source == QLatin1String("Proxy") && !authAnswered_.contains(requestId)) {
    authAnswered_.insert(requestId);
    answer = {{QStringLiteral("response"), QStringLiteral("ProvideCredentials")},
              {QStringLiteral("username"), proxyUser_},
              {QStringLiteral("password"), proxyPassword_}};
  }
  pipe_->Post(QStringLiteral("Fetch.continueWithAuth"),
              {{QStringLiteral("requestId"), requestId},
               {QStringLiteral("authChallengeResponse"), answer}},
              sessionId_);
}

bool CChromiumView::Offer(const QString& url) {
  bool cancel = false;
  Notify([&] { events_->OnBeforeNavigate(url, cancel); });
  return cancel;
}

void CChromiumView::OfferHeld(const QJsonArray& urls) {
  const std::weak_ptr<ViewLink> link = link_;
  for (const QJsonValue& url : urls) {
    Offer(url.toString());
    // The owner may have deleted the view from its handler.
    if (const auto l = link.lock(); !l || l->view != this) return;
  }
}

void CChromiumView::Notify(const std::function<void()>& call) {
  // The owner's handler runs inside the pipe's reading, possibly inside another call's wait:
  // an exception must not unwind through that (the browser would wait for an answer forever).
  try {
    call();
  } catch (const std::exception&) {
  }
}

// ---- document calls

int CChromiumView::EnsureContext() {
  if (contextId_ != 0) return contextId_;
  const auto world = pipe_->Call(QStringLiteral("Page.createIsolatedWorld"),
                                 {{QStringLiteral("frameId"), targetId_},
                                  {QStringLiteral("worldName"), kWorldName}},
                                 sessionId_, kCallTimeoutMs);
  if (world.failed) throw DocumentError(world.errorText.toStdString());
  const int id = world.result.value(QLatin1String("executionContextId")).toInt();
  if (!pipe_) throw DocumentError("the browser has gone");
  const auto install = pipe_->Call(QStringLiteral("Runtime.evaluate"),
                                   {{QStringLiteral("expression"), page_scripts::IsolatedHelper()},
                                    {QStringLiteral("contextId"), id},
                                    {QStringLiteral("returnByValue"), true},
                                    {QStringLiteral("silent"), true}},
                                   sessionId_, kCallTimeoutMs);
  if (install.failed) throw DocumentError(install.errorText.toStdString());
  if (install.result.contains(QLatin1String("exceptionDetails")))
    throw DocumentError("cannot prepare the page");
  // A new world belongs to a new document as far as handles are concerned.
  contextId_ = id;
  ++epoch_;
  released_ = {};
  return contextId_;
}

QJsonValue CChromiumView::Run(const QString& op, const QJsonArray& args, quint64 epoch,
                              RunMode mode) {
  return Call(op, args, epoch, mode, false);
}

QJsonValue CChromiumView::RunAwaiting(const QString& op, const QJsonArray& args) {
  return Call(op, args, 0, ReadOnly, true);
}

QJsonValue CChromiumView::Call(const QString& op, const QJsonArray& args, quint64 epoch,
                               RunMode mode, bool awaitPromise) {
  if (!Alive()) throw DocumentError("the browser is not running");
  if (epoch != 0 && epoch != epoch_) throw DocumentError("the page has changed");
  const int context = EnsureContext();
  if (epoch != 0 && epoch != epoch_) throw DocumentError("the page has changed");
  if (mode != ReadOnly) ++cacheGeneration_;

  const QJsonObject params{
      {QStringLiteral("functionDeclaration"), page_scripts::CallOperation()},
      {QStringLiteral("executionContextId"), context},
      {QStringLiteral("arguments"), QJsonArray{Arg(released_), Arg(pageHeld_), Arg(op), Arg(args)}},
      {QStringLiteral("returnByValue"), true},
      {QStringLiteral("silent"), true},
      // A click by the engine counts as the user's, as it would in a visible browser.
      {QStringLiteral("userGesture"), mode == MayNavigate},
      {QStringLiteral("awaitPromise"), awaitPromise},
  };
  released_ = {};
  QPointer<CDevToolsPipe> pipe = pipe_;
  const NavigatingCall navigating(this, mode == MayNavigate);
  const auto reply = pipe->Call(QStringLiteral("Runtime.callFunctionOn"), params, sessionId_,
                                kCallTimeoutMs);
  if (mode != ReadOnly) ++cacheGeneration_;
  if (std::exchange(stopAfterCall_, false) && pipe_)
    pipe_->Post(QStringLiteral("Page.stopLoading"), {}, sessionId_);
  if (reply.failed) {
    // Most likely the document (and its world) went away under the call.
    if (contextId_ == context) {
      contextId_ = 0;
      ++epoch_;
    }
    throw DocumentError(reply.errorText.toStdString());
  }
  if (reply.result.contains(QLatin1String("exceptionDetails")))
    throw DocumentError(
        ExceptionText(reply.result.value(QLatin1String("exceptionDetails")).toObject())
            .toStdString());
  const QJsonArray answer =
      reply.result.value(QLatin1String("result")).toObject().value(QLatin1String("value")).toArray();
  if (answer.size() != 2) throw DocumentError("unexpected answer from the page");
  const QJsonValue value = answer[0];
  // Offered before the call returns, as the browser's own navigation events are.
  OfferHeld(answer[1].toArray());
  return value;
}

void CChromiumView::ClickAtCentre(int listId, int index, quint64 epoch) {
  // Bringing the element into view scrolls the page: its scroll handlers may run.
  const QJsonArray at = Run(QStringLiteral("centre"), {listId, index}, epoch, RunsPageCode).toArray();
  if (at.size() != 2) {
    Run(QStringLiteral("pressAndRelease"), {listId, index}, epoch, MayNavigate);
    return;
  }
  ++cacheGeneration_;
  const NavigatingCall navigating(this, true);
  const double x = at[0].toDouble();
  const double y = at[1].toDouble();
  DispatchMouse(QStringLiteral("mouseMoved"), x, y);
  DispatchMouse(QStringLiteral("mousePressed"), x, y);
  DispatchMouse(QStringLiteral("mouseReleased"), x, y);
  ++cacheGeneration_;
  // The page answers its calls in order: once this round trip is back, every navigation the
  // click requested has been announced, and so offered, before this returns.
  try {
    Run(QStringLiteral("idle"), {});
  } catch (const DocumentError&) {
    // The click took the page away; the navigation was offered all the same.
  }
}

void CChromiumView::DispatchMouse(const QString& type, double x, double y) {
  if (!Alive()) throw DocumentError("the browser is not running");
  QJsonObject params{{QStringLiteral("type"), type}, {QStringLiteral("x"), x}, {QStringLiteral("y"), y}};
  if (type != QLatin1String("mouseMoved")) {
    params.insert(QStringLiteral("button"), QStringLiteral("left"));
    params.insert(QStringLiteral("buttons"), type == QLatin1String("mousePressed") ? 1 : 0);
    params.insert(QStringLiteral("clickCount"), 1);
  }
  const auto reply = pipe_->Call(QStringLiteral("Input.dispatchMouseEvent"), params, sessionId_,
                                 kCallTimeoutMs);
  if (reply.failed) throw DocumentError(reply.errorText.toStdString());
}

bool CChromiumView::HasClickHandler(int listId, int index, quint64 epoch) {
  static const QStringList kClickTypes = {
      QStringLiteral("click"),       QStringLiteral("mousedown"), QStringLiteral("mouseup"),
      QStringLiteral("pointerdown"), QStringLiteral("pointerup"), QStringLiteral("touchstart")};
  if (!Alive()) throw DocumentError("the browser is not running");
  if (epoch != epoch_) throw DocumentError("the page has changed");
  const int context = EnsureContext();
  for (int up = 0; up <= 1; ++up) {
    if (!Alive()) throw DocumentError("the browser is not running");
    // The element itself, then what wraps only it, as objects of the isolated world: the
    // browser lists the listeners of a node whichever world asks.
    const auto area = pipe_->Call(
        QStringLiteral("Runtime.callFunctionOn"),
        {{QStringLiteral("functionDeclaration"),
          QStringLiteral("function(l, i, u) { return globalThis.__gantrell.clickArea(l, i, u); }")},
         {QStringLiteral("executionContextId"), context},
         {QStringLiteral("arguments"), QJsonArray{Arg(listId), Arg(index), Arg(up)}},
         {QStringLiteral("silent"), true}},
        sessionId_, kCallTimeoutMs);
    if (area.failed || area.result.contains(QLatin1String("exceptionDetails")))
      throw DocumentError("cannot read the element's listeners");
    const QString isolated =
        area.result.value(QLatin1String("result")).toObject().value(QLatin1String("objectId")).toString();
    if (isolated.isEmpty()) return false; // no wrapper
    // Listeners are reported to the world that added them: the page's own are seen through
    // the node as the page's main world holds it.
    const auto node = pipe_->Call(QStringLiteral("DOM.describeNode"),
                                  {{QStringLiteral("objectId"), isolated}}, sessionId_, kCallTimeoutMs);
    if (pipe_)
      pipe_->Post(QStringLiteral("Runtime.releaseObject"), {{QStringLiteral("objectId"), isolated}},
                  sessionId_);
    if (node.failed || !pipe_) throw DocumentError("cannot read the element's listeners");
    const auto resolved = pipe_->Call(
        QStringLiteral("DOM.resolveNode"),
        {{QStringLiteral("backendNodeId"),
          node.result.value(QLatin1String("node")).toObject().value(QLatin1String("backendNodeId"))},
         {QStringLiteral("objectGroup"), kWorldName}},
        sessionId_, kCallTimeoutMs);
    const QString objectId =
        resolved.result.value(QLatin1String("object")).toObject().value(QLatin1String("objectId")).toString();
    if (resolved.failed || objectId.isEmpty() || !pipe_)
      throw DocumentError("cannot read the element's listeners");
    const auto listeners = pipe_->Call(QStringLiteral("DOMDebugger.getEventListeners"),
                                       {{QStringLiteral("objectId"), objectId}}, sessionId_,
                                       kCallTimeoutMs);
    // The node and the handlers listed with it are let go together.
    if (pipe_)
      pipe_->Post(QStringLiteral("Runtime.releaseObjectGroup"),
                  {{QStringLiteral("objectGroup"), kWorldName}}, sessionId_);
    if (listeners.failed) throw DocumentError(listeners.errorText.toStdString());
    for (const QJsonValue& listener : listeners.result.value(QLatin1String("listeners")).toArray())
      if (kClickTypes.contains(listener.toObject().value(QLatin1String("type")).toString()))
        return true;
  }
  return false;
}

void CChromiumView::KeepCacheUntilIdle() {
  if (cacheDropScheduled_) return;
  cacheDropScheduled_ = true;
  std::weak_ptr<ViewLink> link = link_;
  QTimer::singleShot(0, [link] {
    if (auto l = link.lock(); l && l->view) {
      l->view->cacheDropScheduled_ = false;
      ++l->view->cacheGeneration_;
    }
  });
}

void CChromiumView::ReleaseList(int listId, quint64 epoch) {
  if (epoch == epoch_ && contextId_ != 0) released_.append(listId);
}

} // namespace engine
