#pragma once
// CNewsStrip: the news strip, an owner-drawn skin button. It downloads a small INI document from
// the product web site (SiteAddress("/cn/comic/ad/"), through AddAdDownload), shows the first
// of its items and rotates through them, each change scrolling the old text up and the new
// one in from below in ten 50 ms steps. A click opens the first item's address in the web
// browser. The text is drawn over the background its skin element gives (filltype 0: the
// parent panel's), in the default control font: blue, or red and underlined while the pointer
// hovers over the strip or presses it.
//
// News document (any encoding the INI functions read: UTF-16 with FF FE, else UTF-8):
//   [app]  t = rotation interval in ms: missing or at most 5000 gives 5000, above 59999 gives
//              60000
//   [0] [1] ... [998]  t = the item's text, u = its address
// Items are read from section "0" upwards up to the first section whose "t" or "u" is missing
// or empty. An item whose address is not an http:// or https:// address is skipped, so a
// click never hands anything else to the desktop's opener.
//
// Downloads: once per run when it yields items. A 404 leaves the strip empty for good. Any
// other failure (no connection, no items) tries again after a growing delay: 30 s, then
// doubled after each failure up to one hour. Without a configured site host nothing is
// downloaded and the strip stays empty.
//
// Threading: the user-interface thread; the download's worker threads report through the
// download manager's queue on this thread.
#include "net/http_download_manager.h"
#include "skin/button_base.h"
#include "platform/timer_notify.h"

#include <QList>
#include <QString>
#include <memory>

class CNewsStrip : public FCButtonBase, public FCTimerNotify, public FCHttpDownloadManager {
  Q_OBJECT
public:
  struct NewsItem {
    QString text;
    QString url;
    bool operator==(const NewsItem&) const = default;
  };

  static constexpr int kMinIntervalMs = 5000;
  static constexpr int kMaxIntervalMs = 60000;
  static constexpr int kMaxItems = 999;
  static constexpr int kScrollSteps = 10;
  static constexpr int kScrollStepMs = 50;
  static constexpr int kFirstRetryMs = 30 * 1000;
  static constexpr int kMaxRetryMs = 60 * 60 * 1000;
  /// A news document larger than this is not read (it cannot be a news list).
  static constexpr int kMaxDocumentBytes = FCHttpDownloadManager::kMaxAdBytes;
  static constexpr QRgb kTextColour = 0xFF3232FF;
  static constexpr QRgb kHoverColour = 0xFFFF0000;

  /// The scroll from one item to the next: 50 ms steps, each repainting the strip.
  class CTimerScroll : public FCTimerNotify {
  public:
    CTimerScroll(CNewsStrip& strip, NewsItem oldItem, NewsItem newItem);
    void OnTimerNotify() override;
    int Step() const { return step_; }
    const NewsItem& OldItem() const { return old_; }
    const NewsItem& NewItem() const { return new_; }

  private:
    CNewsStrip& strip_;
    int step_ = 0;
    NewsItem old_;
    NewsItem new_;
  };

  explicit CNewsStrip(QWidget* parent = nullptr);
  ~CNewsStrip() override;

  /// Starts the news download. False when no site host is configured (nothing started).
  bool Create();
  /// Loads the skin element's button attributes (background, tooltip, draw filter), then
  /// starts the news download as Create() does.
  bool Create(const QDomElement& element, const QString& folder);

  /// Reads a news document from `path` into `items`; returns the rotation interval.
  static int ReadNewsFile(const QString& path, QList<NewsItem>& items);
  /// The rotation interval for the text of "t": clamped to 5000..60000, 5000 when unreadable.
  static int ClampInterval(const QString& value);
  /// The delay before the download after `failures` failed ones (1 = the first failure).
  static int RetryDelayMs(int failures);

  /// Shows `items` and (re)starts the rotation every `intervalMs`.
  void SetNews(const QList<NewsItem>& items, int intervalMs);
  const QList<NewsItem>& Items() const { return items_; }
  int IntervalMs() const { return intervalMs_; }
  const CTimerScroll* Scroll() const { return scroll_.get(); }
  /// Failed downloads in a row, and whether a retry is waiting.
  int Failures() const { return failures_; }
  bool IsRetryPending() const { return retry_.IsTimerRunning(); }

  /// The rotation timer: with two or more items and no scroll under way, the first item moves
  /// to the back and a scroll to the new first item starts.
  void OnTimerNotify() override;

protected:
  void OnAfterDownloadFinish(FCHttpDownload* download) override;
  void DrawButton(QPainter& painter, int left, int top, int right, int bottom) override;

private:
  class CTimerRetry : public FCTimerNotify {
  public:
    explicit CTimerRetry(CNewsStrip& owner) : owner_(owner) {}
    void OnTimerNotify() override;

  private:
    CNewsStrip& owner_;
  };

  bool StartDownload();
  void OnDownloadFailed();
  void OpenFirstItem();
  void DrawItem(QPainter& painter, const QString& text, const QRect& row) const;

  QList<NewsItem> items_;
  int intervalMs_ = kMinIntervalMs;
  std::unique_ptr<CTimerScroll> scroll_;
  int failures_ = 0;
  CTimerRetry retry_{*this};
};
