#pragma once
// CGantrellApp: the engine's application object. It reads the job from the hand-off file,
// creates the hidden host dialog, shakes hands with the front-end window and starts the job
// (a page walk or a link search). One engine process serves one job.
#include "common/auto_init.h"
#include "engine/browser/browser_view.h"
#include "platform/window_message.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

class CGantrellDlg;

class CGantrellApp : public FCAutoInitializeCOM, public FCAutoInitGDIPlus {
public:
  /// `browser` makes the views' browser targets; it may start its browser lazily.
  explicit CGantrellApp(std::unique_ptr<engine::FIBrowser> browser);
  virtual ~CGantrellApp();

  /// Start-up: reads and deletes the hand-off file named by `commandTail`, creates the host
  /// dialog and shakes hands. True to run the event loop, false to end at once.
  bool InitInstance(const QString& commandTail);
  /// Deletes the host dialog; returns `loopResult`.
  int ExitInstance(int loopResult);

  /// Writes one command file and announces it to the front-end window (synchronously: the
  /// host dialog may be told to quit before this returns). Items are "0", "1", ... in order.
  void SendEngineCommand(const QStringList& items);

  platform::HWND FrontEndWindow() const { return frontEndWindow_; }
  std::int32_t TaskId() const { return taskId_; }
  const QString& Folder() const { return folder_; }
  CGantrellDlg* HostDialog() const { return dialog_.get(); }
  engine::FIBrowser* Browser() const { return browser_.get(); }

  /// The one application object of the process.
  static CGantrellApp* Instance();

private:
  std::unique_ptr<engine::FIBrowser> browser_;
  std::unique_ptr<CGantrellDlg> dialog_;
  platform::HWND frontEndWindow_ = 0;
  std::int32_t taskId_ = -1;
  QString folder_ = QStringLiteral("/tmp/1_1/");
  std::int32_t commandNumber_ = 1;
};
