#include "engine/browser/chromium_browser.h"

#include "engine/browser/browser_identity.h"
#include "engine/browser/chromium_process.h"
#include "engine/browser/chromium_view.h"
#include "engine/browser/devtools_pipe.h"
#include "engine/browser/renderer_memory.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QFile>
#include <QRegularExpression>
#include <QLocale>
#include <QSysInfo>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace engine {

namespace {
// A cold start on a loaded machine may take a while; after this the browser counts as broken.
constexpr int kStartTimeoutMs = 30000;
constexpr int kTargetTimeoutMs = 15000;
// Every so many reused targets, the renderer's script heap is collected (see Recycle).
constexpr int kCollectGarbageEvery = 8;

// An IPv4 or IPv6 address rather than a name.
bool IsNumericHost(const QString& host) {
  static const QRegularExpression numbers(QStringLiteral("^[0-9.]+$"));
  return host.contains(QLatin1Char(':')) || numbers.match(host).hasMatch();
}

QJsonArray AllRequests() {
  return {QJsonObject{{QStringLiteral("urlPattern"), QStringLiteral("*")}}};
}
} // namespace

CChromiumBrowser::CChromiumBrowser(const QString& executable)
    : executable_(executable), memoryLimit_(kDefaultRendererMemoryMiB * 1024 * 1024) {
  // Said at start-up, so that a missing browser is not mistaken for pages that never load.
  if (executable_.isEmpty())
    Report(QStringLiteral("no web browser found (install the package 'chromium' or set "
                          "GANTRELL_CHROMIUM); pages will not load"));
  else if (::access(QFile::encodeName(executable_).constData(), X_OK) != 0)
    Report(QStringLiteral("the web browser '%1' cannot be run; pages will not load")
               .arg(executable_));
}

CChromiumBrowser::CChromiumBrowser() : CChromiumBrowser(CChromiumProcess::FindExecutable()) {}

CChromiumBrowser::~CChromiumBrowser() {
  alive_.reset(); // views that end later close nothing: the browser goes with everything
  if (pipe_ && pipe_->IsOpen()) pipe_->Post(QStringLiteral("Browser.close"));
  pipe_.reset();
  process_.reset(); // ends the process by its id and removes the profile
}

void CChromiumBrowser::Report(const QString& line) {
  if (reported_) return;
  reported_ = true;
  std::fprintf(stderr, "Gantrell: %s\n", line.toLocal8Bit().constData());
  std::fflush(stderr);
}

bool CChromiumBrowser::IsRunning() const { return pipe_ && pipe_->IsOpen(); }

qint64 CChromiumBrowser::ProcessId() const {
  return process_ && IsRunning() ? qint64(process_->Pid()) : -1;
}

bool CChromiumBrowser::Start() {
  if (tried_ || executable_.isEmpty()) return IsRunning();
  tried_ = true;
  auto process = std::make_unique<CChromiumProcess>();
  QString error;
  if (!process->Start(executable_, &error)) {
    Report(error);
    return false;
  }
  const int readFd = process->TakeReadFd();
  const int writeFd = process->TakeWriteFd();
  process_ = std::move(process);
  pipe_ = std::make_unique<CDevToolsPipe>(readFd, writeFd);
  pipe_->SetInterceptor([this](const devtools::Message& e) { Intercept(e); });

  pipe_->Post(QStringLiteral("Browser.getVersion"), {}, {}, [this](const devtools::Message& r) {
    // The headless marks only get pages refused; the engine is a browser like any other.
    const QString agent = r.result.value(QLatin1String("userAgent")).toString();
    userAgent_ = browser_identity::DesktopUserAgent(agent);
    userAgentOverride_ = browser_identity::UserAgentOverride(
        agent, r.result.value(QLatin1String("product")).toString(),
        QLocale::system().uiLanguages(), QSysInfo::buildCpuArchitecture());
  });
  // Nothing a page offers for download is ever written (a download link, a frame or a
  // navigation answered as an attachment).
  pipe_->Post(QStringLiteral("Browser.setDownloadBehavior"), {{QStringLiteral("behavior"), QStringLiteral("deny")}});
  // Every new page target waits for us before it runs: ours get configured, popups closed.
  const auto reply = pipe_->Call(QStringLiteral("Target.setAutoAttach"),
                                 {{QStringLiteral("autoAttach"), true},
                                  {QStringLiteral("waitForDebuggerOnStart"), true},
                                  {QStringLiteral("flatten"), true}},
                                 {}, kStartTimeoutMs);
  if (reply.failed) {
    Report(QStringLiteral("the web browser '%1' did not start: %2")
               .arg(executable_, reply.errorText));
    pipe_.reset();
    process_.reset();
    return false;
  }
  SendCookies();
  memoryWatch_ = std::make_unique<QTimer>();
  QObject::connect(memoryWatch_.get(), &QTimer::timeout, [this] { WatchMemory(); });
  memoryWatch_->start(kRendererMemoryPollMs);
  return true;
}

void CChromiumBrowser::SetCookies(const std::vector<common::FileCookie>& cookies) {
  cookies_ = cookies;
  if (IsRunning()) SendCookies();
}

void CChromiumBrowser::SendCookies() {
  if (cookies_.empty()) return;
  QJsonArray all;
  for (const common::FileCookie& c : cookies_) {
    QJsonObject cookie{{QStringLiteral("name"), c.name},
                       {QStringLiteral("value"), c.value},
                       {QStringLiteral("path"), c.path},
                       {QStringLiteral("secure"), c.secure},
                       {QStringLiteral("httpOnly"), c.httpOnly}};
    if (c.expires > 0) cookie.insert(QStringLiteral("expires"), double(c.expires));
    // A cookie of the host alone is given by an address of that host; one of the domain by
    // the domain. An address of numbers has no subdomains.
    if (c.includeSubdomains && !IsNumericHost(c.domain))
      cookie.insert(QStringLiteral("domain"), QLatin1Char('.') + c.domain);
    else
      cookie.insert(QStringLiteral("url"), (c.secure ? QStringLiteral("https://") : QStringLiteral("http://")) +
                                               c.domain + c.path);
    all.append(cookie);
  }
  // One cookie the browser refuses would fail the whole list: each goes on its own, and the
  // last answer means the browser has them all before the first page is asked for.
  for (qsizetype i = 0; i < all.size(); ++i) {
    const QJsonObject one{{QStringLiteral("cookies"), QJsonArray{all[i]}}};
    if (i + 1 < all.size())
      pipe_->Post(QStringLiteral("Storage.setCookies"), one);
    else
      pipe_->Call(QStringLiteral("Storage.setCookies"), one, {}, kStartTimeoutMs);
  }
}

void CChromiumBrowser::WatchMemory() {
  if (!IsRunning()) {
    memoryWatch_->stop();
    return;
  }
  for (const RendererMemory& renderer : RenderersBelow(process_->Pid())) {
    if (renderer.residentBytes <= memoryLimit_) continue;
    // Our own browser's child, by its id. The browser reports the page as crashed, and the
    // view sees no document from then on.
    ::kill(renderer.pid, SIGKILL);
    std::fprintf(stderr, "Gantrell: a page took %lld MiB (the ceiling is %lld MiB) and was closed\n",
                 renderer.residentBytes >> 20, memoryLimit_ >> 20);
    std::fflush(stderr);
  }
}

void CChromiumBrowser::Intercept(const devtools::Message& event) {
  if (event.method == QLatin1String("Page.javascriptDialogOpening")) {
    // The renderer waits for the answer: give it now, as if the user pressed OK.
    pipe_->Post(QStringLiteral("Page.handleJavaScriptDialog"),
                {{QStringLiteral("accept"), true},
                 {QStringLiteral("promptText"),
                  event.params.value(QLatin1String("defaultPrompt")).toString()}},
                event.sessionId);
    return;
  }
  if (event.method != QLatin1String("Target.attachedToTarget") || !event.sessionId.isEmpty())
    return;
  const QString session = event.params.value(QLatin1String("sessionId")).toString();
  const QJsonObject info = event.params.value(QLatin1String("targetInfo")).toObject();
  const QString targetId = info.value(QLatin1String("targetId")).toString();
  const bool waiting = event.params.value(QLatin1String("waitingForDebugger")).toBool();
  const bool page = info.value(QLatin1String("type")).toString() == QLatin1String("page");
  if (page && !info.value(QLatin1String("openerId")).toString().isEmpty()) {
    // A popup (window.open, target="_blank"). It shares its opener's renderer, which stays
    // blocked while the popup waits, so it must be let go: first stop all its requests, then
    // let it run and close it at once. It never shows and its scripts never run.
    pipe_->Post(QStringLiteral("Fetch.enable"), {{QStringLiteral("patterns"), AllRequests()}},
                session);
    pipe_->Post(QStringLiteral("Runtime.runIfWaitingForDebugger"), {}, session);
    pipe_->Post(QStringLiteral("Target.closeTarget"), {{QStringLiteral("targetId"), targetId}});
    return;
  }
  if (page && waiting && (creating_ > 0 || expected_.remove(targetId))) {
    // Made by CreateView, which picks it up (attached before or after createTarget answers).
    sessionOfTarget_.insert(targetId, session);
    return;
  }
  if (page && info.value(QLatin1String("url")).toString() == QLatin1String("about:blank") &&
      !spare_) {
    // The start-up tab already has its renderer: the first view takes it over.
    spare_ = SpareTarget{targetId, session, false, true, true};
    return;
  }
  // Anything else (the browser's own pages, prerendered pages, workers): not ours to watch.
  if (waiting) pipe_->Post(QStringLiteral("Runtime.runIfWaitingForDebugger"), {}, session);
  pipe_->Post(QStringLiteral("Target.detachFromTarget"), {{QStringLiteral("sessionId"), session}});
}

std::unique_ptr<FIBrowserView> CChromiumBrowser::CreateView(FIBrowserViewEvents* events) {
  if (!Start()) return std::make_unique<CChromiumView>(events);
  if (spare_ && spare_->ready) {
    const SpareTarget spare = *std::exchange(spare_, std::nullopt);
    return ViewOn(spare.targetId, spare.sessionId, spare.reused, events);
  }
  ++creating_;
  const auto created = pipe_->Call(QStringLiteral("Target.createTarget"),
                                   {{QStringLiteral("url"), QStringLiteral("about:blank")}}, {},
                                   kTargetTimeoutMs);
  --creating_;
  const QString targetId = created.result.value(QLatin1String("targetId")).toString();
  if (created.failed || targetId.isEmpty()) return std::make_unique<CChromiumView>(events);
  if (!sessionOfTarget_.contains(targetId)) expected_.insert(targetId);
  const bool attached =
      pipe_->PumpUntil([&] { return sessionOfTarget_.contains(targetId); }, kTargetTimeoutMs);
  if (!attached) {
    expected_.remove(targetId);
    return std::make_unique<CChromiumView>(events);
  }
  const QString session = sessionOfTarget_.take(targetId);
  return ViewOn(targetId, session, false, events);
}

std::unique_ptr<FIBrowserView> CChromiumBrowser::ViewOn(const QString& targetId,
                                                        const QString& sessionId, bool reused,
                                                        FIBrowserViewEvents* events) {
  std::weak_ptr<bool> alive = alive_;
  auto release = [this, alive](const QString& target, const QString& session, bool reusable) {
    if (!alive.expired()) Recycle(target, session, reusable);
  };
  return std::make_unique<CChromiumView>(pipe_.get(), targetId, sessionId, events,
                                         userAgentOverride_, reused, release);
}

// A new page target costs the browser several times what a page load in an existing one
// costs (a tab with its helpers, a new document host), and a chapter opens one view per page.
// So the target of an ended view is kept for the next view but one (the next view is created
// while the ended one still runs). Before it is handed out, it is brought back to what a new
// target looks like: the viewport of the window, a blank page, no history. It is handed out
// only once the blank page has loaded, so that no event of the old page can reach the new
// view.
void CChromiumBrowser::Recycle(const QString& targetId, const QString& sessionId, bool reusable) {
  if (!IsRunning()) return;
  if (!reusable || spare_) {
    pipe_->Post(QStringLiteral("Target.closeTarget"), {{QStringLiteral("targetId"), targetId}});
    return;
  }
  spare_ = SpareTarget{targetId, sessionId, true, false, false};
  // Requests the old page still makes pause until the blank page replaces it: refuse them.
  pipe_->SetImmediateHandler(sessionId, [this, sessionId](const devtools::Message& e) {
    if (e.method != QLatin1String("Fetch.requestPaused")) return false;
    pipe_->Post(QStringLiteral("Fetch.failRequest"),
                {{QStringLiteral("requestId"), e.params.value(QLatin1String("requestId")).toString()},
                 {QStringLiteral("errorReason"), QStringLiteral("Aborted")}},
                sessionId);
    return true;
  });
  pipe_->SetSessionHandler(sessionId, [this, targetId](const devtools::Message& e) {
    if (!spare_ || spare_->targetId != targetId) return;
    if (e.method == QLatin1String("Inspector.targetCrashed") ||
        e.method == QLatin1String("Inspector.detached")) {
      DropSpare();
    } else if (e.method == QLatin1String("Page.frameNavigated")) {
      const QJsonObject frame = e.params.value(QLatin1String("frame")).toObject();
      if (!frame.contains(QLatin1String("parentId")))
        spare_->blank = frame.value(QLatin1String("url")).toString() == QLatin1String("about:blank");
    } else if (e.method == QLatin1String("Page.loadEventFired") && spare_->blank && !spare_->ready) {
      // A page script may not go back to the chapter's pages (history.back()).
      pipe_->Post(QStringLiteral("Page.resetNavigationHistory"), {}, spare_->sessionId);
      // The renderer's script heap keeps the left pages until a full collection, which it
      // puts off for hundreds of pages: its memory grew by almost 2 MiB a page. Now and then
      // the old pages are collected, while no page is being looked at.
      if (++recycled_ % kCollectGarbageEvery == 0)
        pipe_->Post(QStringLiteral("HeapProfiler.collectGarbage"), {}, spare_->sessionId);
      spare_->ready = true;
    }
  });
  pipe_->Post(QStringLiteral("Emulation.clearDeviceMetricsOverride"), {}, sessionId);
  pipe_->Post(QStringLiteral("Page.navigate"), {{QStringLiteral("url"), QStringLiteral("about:blank")}},
              sessionId);
}

void CChromiumBrowser::DropSpare() {
  if (!spare_) return;
  const SpareTarget spare = *std::exchange(spare_, std::nullopt);
  if (!IsRunning()) return;
  pipe_->RemoveSession(spare.sessionId);
  pipe_->Post(QStringLiteral("Target.closeTarget"), {{QStringLiteral("targetId"), spare.targetId}});
}

} // namespace engine
