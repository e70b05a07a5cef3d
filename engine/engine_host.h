#pragma once
// FIEngineHost: what the engine's views need from the process that runs them: the job (task
// folder and id), the way to the front-end, and the browser. The application implements it and
// hands it to the host window, which hands it to every view; tests pass their own.
//
// Everything runs on the engine's user-interface thread. The host outlives the window and
// every view.
#include "common/engine_report.h"
#include "engine/browser/browser_view.h"
#include "platform/window_message.h"

#include <QString>
#include <cstdint>

namespace engine {

class FIEngineHost {
public:
  virtual ~FIEngineHost() = default;

  /// The task folder the pages are saved in, ending with "/".
  virtual QString Folder() const = 0;
  /// The task id the reports carry (-1 for a link search).
  virtual std::int32_t TaskId() const = 0;
  /// The front-end window that started the engine (the search-link dialog for a link search).
  virtual platform::HWND FrontEndWindow() const = 0;
  /// Sends one report to the front-end window and returns when it has been handled. The
  /// front-end may answer with WM_APP_ENGINE_QUIT before this returns: the host window has then
  /// deleted every view, the caller's included.
  virtual void Report(const common::EngineReport& report) = 0;
  /// The browser that makes the views' targets; null when there is none.
  virtual FIBrowser* Browser() const = 0;
};

} // namespace engine
