#pragma once
// CGantrellApp: the engine's application object. It reads the job from the hand-off file,
// creates the hidden host window, shakes hands with the front-end window and starts the job
// (a page walk or a link search). One engine process serves one job. It is the views' engine
// host: the window and the views reach the job, the front-end and the browser through it.
//
// The engine never outlives its front-end. It asks for SIGTERM when the front-end that started
// it as its child ends, and watches the front-end's process in any case (CFrontEndWatch); a
// report the front-end does not receive counts the same. It then ends as when told to quit:
// views, browser and profile folder go. A report that cannot be written ends it too, with a
// line on standard error and kExitReportUnwritable, which the front-end sees as a crash.
#include "common/library_init.h"
#include "engine/browser/browser_view.h"
#include "engine/engine_host.h"
#include "engine/front_end_watch.h"
#include "platform/window_message.h"

#include <QString>
#include <cstdint>
#include <memory>

class CEngineWindow;

class CGantrellApp : public CurlGlobal, public ImageLibraryInit, public engine::FIEngineHost {
public:
  /// `browser` makes the views' browser targets; it may start its browser lazily.
  explicit CGantrellApp(std::unique_ptr<engine::FIBrowser> browser);
  ~CGantrellApp() override;
  CGantrellApp(const CGantrellApp&) = delete;
  CGantrellApp& operator=(const CGantrellApp&) = delete;

  /// Start-up: reads and deletes the hand-off file named by `commandTail`, creates the host
  /// dialog and shakes hands. True to run the event loop, false to end at once.
  bool InitInstance(const QString& commandTail);
  /// Deletes the host window; returns `loopResult`, or the reason the engine ended by itself.
  int ExitInstance(int loopResult);

  /// Exit codes of an engine that ended by itself.
  static constexpr int kExitFrontEndGone = CFrontEndWatch::kExitFrontEndGone;
  static constexpr int kExitReportUnwritable = 4;

  // engine::FIEngineHost
  QString Folder() const override { return folder_; }
  std::int32_t TaskId() const override { return taskId_; }
  platform::HWND FrontEndWindow() const override { return frontEndWindow_; }
  /// Writes the report as one command file and announces it to the front-end window. When
  /// either fails the engine ends (every view is deleted before this returns).
  void Report(const common::EngineReport& report) override;
  engine::FIBrowser* Browser() const override { return browser_.get(); }

  CEngineWindow* HostWindow() const { return window_.get(); }

private:
  /// Hands the user's cookies file to the browser; a file that cannot be read is said on
  /// standard error, and the pages are then loaded without.
  void LoadCookies(const QString& path);

  /// Ends the engine as WM_APP_ENGINE_QUIT does, with `exitCode`.
  void EndByItself(int exitCode);
  void WatchFrontEnd();

  // First, so it goes last: the browser's own end is still watched.
  std::unique_ptr<CFrontEndWatch> watch_;
  std::unique_ptr<engine::FIBrowser> browser_;
  std::unique_ptr<CEngineWindow> window_;
  platform::HWND frontEndWindow_ = 0;
  std::int32_t taskId_ = -1;
  QString folder_ = QStringLiteral("/tmp/1_1/");
  std::int32_t commandNumber_ = 1;
  int exitCode_ = 0;
};
