#pragma once
// A stand-in for the front-end window, living in the test process: it answers the engine's
// handshake, reads and deletes the engine's command files exactly as the front-end does, and
// records everything, so tests can drive the real Gantrell binary.
#include "common/command_file.h"
#include "platform/window_message.h"
#include "reports_of.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <sys/types.h>
#include <vector>

namespace testing_support {

class FrontEndStub : public platform::MessageWindow {
public:
  /// Points the process's program folder at the built program folder, so command-file paths
  /// agree with the engine's.
  FrontEndStub();

  bool acceptHello = true;
  int helloCount = 0;
  platform::HWND engineWindow = 0;
  int searchDoneCount = 0;
  std::pair<std::int64_t, std::int64_t> searchDone{-1, -1}; ///< wParam, lParam of the last one
  std::vector<common::EngineReport> reports; ///< every report, in arrival order
  /// Command files that held no report (unknown code, wrong item count, no file).
  std::vector<QStringList> malformed;
  /// Called after each report is recorded (for example to send WM_APP_ENGINE_QUIT on the last
  /// page, as the front-end does, while the engine waits in its send).
  std::function<void(const common::EngineReport& report)> onReport;

  platform::LRESULT WindowProc(std::uint32_t message, platform::WPARAM wParam,
                               platform::LPARAM lParam) override;

  /// Tells the engine to quit the way the front-end does (notify, no wait).
  void QuitEngine();
  /// The reports of one kind, in arrival order.
  template <class Report> std::vector<Report> ReportsOf() const {
    return testing_support::ReportsOf<Report>(reports);
  }
};

/// A Gantrell process started by a test, ended by its pid when the object dies.
class EngineProcess {
public:
  /// Writes a hand-off file for `job` (hwnd is filled in from `window` when 0) and starts the
  /// engine of the built program folder with it.
  EngineProcess(common::HandOff job, const FrontEndStub& window);
  /// Starts the engine with a raw command line (no hand-off file written).
  explicit EngineProcess(const QStringList& arguments);
  ~EngineProcess();
  EngineProcess(const EngineProcess&) = delete;
  EngineProcess& operator=(const EngineProcess&) = delete;

  pid_t pid() const { return pid_; }
  QString handOffPath() const { return handOffPath_; }
  /// True once the process has ended (reaps it); `exitCode` then holds its status.
  bool Finished();
  int exitCode = -1;

private:
  void Start(const QStringList& arguments);
  pid_t pid_ = 0;
  QString handOffPath_;
};

} // namespace testing_support
