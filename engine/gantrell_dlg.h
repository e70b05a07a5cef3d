#pragma once
// CGantrellDlg: the engine's invisible host window. It owns the browser views and the sound
// hook, receives the engine's window messages and ends the process on WM_APP_ENGINE_QUIT.
// It hands the engine host it is given to every view it starts.
#include "common/auto_ptr_list.h"
#include "engine/engine_host.h"
#include "engine/hook_internet_api.h"
#include "platform/window_message.h"

#include <QString>
#include <cstdint>
#include <memory>

class CMonitorView;
class CSearchLink;

class CGantrellDlg : public platform::MessageWindow {
public:
  /// `host` must outlive the dialog.
  explicit CGantrellDlg(engine::FIEngineHost& host);
  ~CGantrellDlg() override;
  CGantrellDlg(const CGantrellDlg&) = delete;
  CGantrellDlg& operator=(const CGantrellDlg&) = delete;

  /// Starts a page view for `url` showing page `page`, unless that view is already listed.
  void StartPageView(const QString& url, std::int32_t page);
  /// Starts the link-search view for `url`; it replaces any previous one.
  void StartSearchView(const QString& url);

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

  engine::FIEngineHost& host_;
  FCAutoPtrList<CMonitorView> views_;
  std::unique_ptr<CSearchLink> searchView_;
  int pageViewId_ = 1500;
  int searchViewId_ = 1500;
  bool destroyed_ = false;
  // Declared last, so constructed last and destroyed first.
  CHookInternetAPI soundHook_;
};
