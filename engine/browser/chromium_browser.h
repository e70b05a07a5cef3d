#pragma once
// CChromiumBrowser: the engine's one Chromium, started with the first view and ended with this
// object (or with the engine process, whichever comes first). It owns the process and the
// pipe, makes one page target per view, and does what must happen at once, before a blocked
// renderer could answer anything: it closes every popup target the moment it appears (before
// its scripts run) and answers every script dialog (alert, confirm, prompt) without showing it.
//
// It also keeps each renderer within the memory ceiling (see renderer_memory.h).
//
// When the browser is missing or cannot start, views are made all the same; they load nothing
// and never complete, and one line on standard error says what is missing.
#include "engine/browser/browser_view.h"

#include <QHash>
#include <QJsonObject>
#include <QSet>
#include <QString>
#include <QTimer>
#include <memory>
#include <optional>

namespace engine {

class CChromiumProcess;
class CDevToolsPipe;
namespace devtools {
struct Message;
}

class CChromiumBrowser : public FIBrowser {
public:
  /// `executable` is the browser to run; empty means none was found (reported at once).
  explicit CChromiumBrowser(const QString& executable);
  /// Looks the browser up (see CChromiumProcess::FindExecutable).
  CChromiumBrowser();
  ~CChromiumBrowser() override;

  std::unique_ptr<FIBrowserView> CreateView(FIBrowserViewEvents* events) override;

  /// Starts the browser now unless it runs or failed already; true while it runs.
  bool Start();
  bool IsRunning() const;
  QString UserAgent() const override { return userAgent_; }
  void SetRendererMemoryLimit(qint64 bytes) override { memoryLimit_ = bytes; }
  void SetCookies(const std::vector<common::FileCookie>& cookies) override;
  /// The browser's process id, -1 when none runs.
  qint64 ProcessId() const;

private:
  void Intercept(const devtools::Message& event);
  void Report(const QString& line);
  /// Puts the user's cookies into the running browser; returns when it has them.
  void SendCookies();
  /// Ends every renderer above the memory ceiling.
  void WatchMemory();
  /// Takes the target of an ended view: kept as the spare once it shows a blank page again,
  /// or closed (a crashed page, a spare already kept).
  void Recycle(const QString& targetId, const QString& sessionId, bool reusable);
  void DropSpare();
  std::unique_ptr<FIBrowserView> ViewOn(const QString& targetId, const QString& sessionId,
                                        bool reused, FIBrowserViewEvents* events);

  QString executable_;
  std::unique_ptr<CChromiumProcess> process_;
  std::unique_ptr<CDevToolsPipe> pipe_;
  bool tried_ = false;
  bool reported_ = false;
  QHash<QString, QString> sessionOfTarget_; // page targets we made, attached and waiting
  int creating_ = 0;        // createTarget calls waiting for their answer
  QSet<QString> expected_;  // made by createTarget, not attached yet
  // One page target kept for the next view: the start-up tab, or the target of an ended
  // view once it shows a blank page again (see Recycle).
  struct SpareTarget {
    QString targetId;
    QString sessionId;
    bool reused = false;  // an ended view's: configured already
    bool blank = false;   // the blank page has committed
    bool ready = false;   // ... and loaded: no event of an older page can follow
  };
  std::optional<SpareTarget> spare_;
  int recycled_ = 0; // targets brought back to a blank page so far
  // The views' way back to the browser; it ends with the browser.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  QString userAgent_;
  QJsonObject userAgentOverride_; // how every view presents the browser (browser_identity.h)
  std::vector<common::FileCookie> cookies_; // to put into the browser when it starts
  qint64 memoryLimit_;
  std::unique_ptr<QTimer> memoryWatch_;
};

} // namespace engine
