#pragma once
// CGantrellApp: the engine's application object. It reads the job from the hand-off file,
// creates the hidden host window, shakes hands with the front-end window and starts the job
// (a page walk or a link search). One engine process serves one job. It is the views' engine
// host: the window and the views reach the job, the front-end and the browser through it.
#include "common/library_init.h"
#include "engine/browser/browser_view.h"
#include "engine/engine_host.h"
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
  /// Deletes the host window; returns `loopResult`.
  int ExitInstance(int loopResult);

  // engine::FIEngineHost
  QString Folder() const override { return folder_; }
  std::int32_t TaskId() const override { return taskId_; }
  platform::HWND FrontEndWindow() const override { return frontEndWindow_; }
  /// Writes the report as one command file and announces it to the front-end window.
  void Report(const common::EngineReport& report) override;
  engine::FIBrowser* Browser() const override { return browser_.get(); }

  CEngineWindow* HostWindow() const { return window_.get(); }

private:
  std::unique_ptr<engine::FIBrowser> browser_;
  std::unique_ptr<CEngineWindow> window_;
  platform::HWND frontEndWindow_ = 0;
  std::int32_t taskId_ = -1;
  QString folder_ = QStringLiteral("/tmp/1_1/");
  std::int32_t commandNumber_ = 1;
};
