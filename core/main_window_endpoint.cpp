#include "core/main_window_endpoint.h"

#include "common/protocol.h"
#include "gui/single_instance.h"
#include "core/task_manager.h"

CMainWindowEndpoint::CMainWindowEndpoint(CTaskManager& tasks) : tasks_(tasks) {
  tasks_.SetMainWindow(this);
}

CMainWindowEndpoint::~CMainWindowEndpoint() {
  if (tasks_.MainWindow() == this) tasks_.SetMainWindow(nullptr);
}

platform::LRESULT CMainWindowEndpoint::WindowProc(std::uint32_t message, platform::WPARAM wParam,
                                                  platform::LPARAM lParam) {
  switch (message) {
  case protocol::WM_APP_ENGINE_HELLO:
    return tasks_.AcceptEngine(std::int32_t(wParam), platform::HWND(lParam));
  case protocol::WM_APP_ENGINE_COMMAND:
    tasks_.OnEngineCommand(std::int32_t(wParam), std::int32_t(lParam));
    return 0;
  case CSingleInstance::WM_APP_ACTIVATE_INSTANCE:
    ActivateFromOtherInstance();
    return 0;
  default:
    return OnOtherMessage(message, wParam, lParam);
  }
}
