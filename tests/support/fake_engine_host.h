#pragma once
// An engine host of the test's own making: the job is set by the test, reports are recorded
// in memory instead of crossing to a front-end window. `onReport` answers a report while the
// view still waits in its send, as the front-end does (for example by quitting the engine).
#include "engine/engine_host.h"
#include "reports_of.h"

#include <functional>
#include <vector>

namespace testing_support {

class FakeEngineHost : public engine::FIEngineHost {
public:
  QString folder = QStringLiteral("/tmp/1_1/");
  std::int32_t taskId = 42;
  platform::HWND frontEndWindow = 0;
  engine::FIBrowser* browser = nullptr;
  std::vector<common::EngineReport> reports; ///< in arrival order
  std::function<void(const common::EngineReport&)> onReport;

  /// The recorded reports of one kind, in arrival order.
  template <class Report> std::vector<Report> ReportsOf() const {
    return testing_support::ReportsOf<Report>(reports);
  }

  QString Folder() const override { return folder; }
  std::int32_t TaskId() const override { return taskId; }
  platform::HWND FrontEndWindow() const override { return frontEndWindow; }
  engine::FIBrowser* Browser() const override { return browser; }
  void Report(const common::EngineReport& report) override {
    reports.push_back(report);
    if (onReport) onReport(report);
  }
};

} // namespace testing_support
