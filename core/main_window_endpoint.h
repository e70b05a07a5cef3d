#pragma once
// CMainWindowEndpoint: the message window of the front-end's main window, the window whose
// handle goes into every hand-off file. It answers the engines (WM_APP_ENGINE_HELLO,
// WM_APP_ENGINE_COMMAND) through the task manager and a second start of the program
// (WM_APP_ACTIVATE_INSTANCE).
//
// The main window derives from it (or owns one) and overrides the two hooks. Construction
// makes it the task manager's main window; destruction undoes that.
#include "platform/window_message.h"

#include <cstdint>

class CTaskManager;

class CMainWindowEndpoint : public platform::MessageWindow {
public:
  explicit CMainWindowEndpoint(CTaskManager& tasks);
  ~CMainWindowEndpoint() override;

  CTaskManager& Tasks() const { return tasks_; }

  platform::LRESULT WindowProc(std::uint32_t message, platform::WPARAM wParam,
                               platform::LPARAM lParam) override;

  /// Whether the user asked to power the computer off after the last task (the main
  /// window's check button 2510). Off by default.
  virtual bool IsShutdownWhenDoneChecked() const { return false; }
  /// Another start of the program asks this one to come to the front: restore when
  /// minimised or hidden, show, raise, activate.
  virtual void ActivateFromOtherInstance() {}
  /// Messages this class does not handle; returns the reply.
  virtual platform::LRESULT OnOtherMessage(std::uint32_t message, platform::WPARAM wParam,
                                           platform::LPARAM lParam) {
    return 0;
  }

private:
  CTaskManager& tasks_;
};
