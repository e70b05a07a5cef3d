#pragma once
// CEngineWindow: the engine's invisible host window. It owns the browser views, receives the engine's window messages and ends the process on WM_APP_ENGINE_QUIT.
// It hands the engine host it is given to every view it starts, and spaces the page loads of
// its task: with a page delay, a page view starts no sooner than that long after the previous
// one started (its page timing begins only then).
#include "common/auto_ptr_list.h"
#include "engine/chapter_walk.h"
#include "engine/engine_host.h"
#include "platform/window_message.h"

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <memory>

class CMonitorView;
class CSearchLink;

class CEngineWindow : public platform::MessageWindow {
public:
  /// `host` must outlive the window.
  explicit CEngineWindow(engine::FIEngineHost& host);
  ~CEngineWindow() override;
  CEngineWindow(const CEngineWindow&) = delete;
  CEngineWindow& operator=(const CEngineWindow&) = delete;

  /// Starts the task's chapter at `url`, page `page`: the first page view, where the chapter
  /// walk says it starts (a restart after a page reached in place turns to it again).
  void StartChapter(const QString& url, std::int32_t page);
  /// Starts a page view for `url` showing page `page`, unless that view is already listed;
  /// with a page delay, later from the event loop when the previous start was too recent.
  void StartPageView(const QString& url, std::int32_t page);
  /// The least time from one page view's start to the next (0: none, the default).
  void SetPageDelay(int milliseconds) { pageDelayMs_ = milliseconds; }
  /// How long a page load must still wait for the page delay (0: it may start now).
  int PageDelayLeft() const;
  /// A page starts loading in a view that exists already (a page turned in place).
  void PageStarted() { lastPageStart_.start(); }
  /// The page cap of a chapter without a stated total (protocol::kDefaultMaxPages unless set
  /// before the chapter starts).
  void SetMaxPages(std::int32_t pages) { maxPages_ = pages; }
  /// What the page views of this engine share about the chapter.
  CChapterWalk& Walk();
  /// Starts the link-search view for `url`, writing its result to `resultFile`; it replaces
  /// any previous one.
  void StartSearchView(const QString& url, const QString& resultFile = QString());

  /// The next control id of each view kind (a counter from 1500).
  int NextPageViewId() { return pageViewId_++; }
  int NextSearchViewId() { return searchViewId_++; }

  int ViewCount() const { return views_.Count(); }
  bool Destroyed() const { return destroyed_; }

  platform::LRESULT WindowProc(std::uint32_t message, platform::WPARAM wParam,
                               platform::LPARAM lParam) override;

private:
  void OnEngineQuit();
  void OnViewDone(CMonitorView* view);
  void StartPageViewNow(const QString& url, std::int32_t page);

  engine::FIEngineHost& host_;
  FCAutoPtrList<CMonitorView> views_;
  std::unique_ptr<CSearchLink> searchView_;
  int pageViewId_ = 1500;
  int searchViewId_ = 1500;
  bool destroyed_ = false;
  int pageDelayMs_ = 0;
  std::int32_t maxPages_;
  std::unique_ptr<CChapterWalk> walk_; // made on first use, for the host's folder
  QElapsedTimer lastPageStart_; // invalid until the first page view started
  QTimer delayedStart_;         // single shot: the held-back page view
};
