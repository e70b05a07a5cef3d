#pragma once
// A program folder of its own for every dialog test: language texts that name their key, a
// skin with "tip" and "drop" pictures, a task manager with a recording launcher, and a folder
// browser and URL opener that never open anything.
#include "core/setting.h"
#include "core/task_manager.h"
#include "platform/launcher.h"
#include "platform/shutdown.h"
#include "platform/window_message.h"
#include "test_support.h"

#include "recording_opener.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace dialog_tests {

class RecordingLauncher : public platform::FIProgramLauncher {
public:
  struct Call {
    QString program;
    QStringList arguments;
  };
  std::vector<Call> calls;
  pid_t result = 0; ///< 0: launching fails
  /// When set, every call is passed on and its answer returned instead of `result`.
  platform::FIProgramLauncher* forward = nullptr;
  pid_t Launch(const QString& program, const QStringList& arguments) override {
    calls.push_back({program, arguments});
    return forward ? forward->Launch(program, arguments) : result;
  }
};

class NoShutdown : public platform::FIShutdown {
public:
  bool PowerOff() override { return false; }
};

using RecordingOpener = testing_support::RecordingOpener;

/// A window of this process that records the messages it receives.
class RecordingWindow : public platform::MessageWindow {
public:
  struct Message {
    std::uint32_t message;
    platform::WPARAM wParam;
    platform::LPARAM lParam;
  };
  std::vector<Message> messages;
  std::vector<QString> links; ///< the texts of WM_APP_ADD_LINK, freed on arrival
  platform::LRESULT WindowProc(std::uint32_t message, platform::WPARAM wParam,
                               platform::LPARAM lParam) override;
  int Count(std::uint32_t message) const;
};

class DialogTest : public ::testing::Test {
protected:
  DialogTest();
  ~DialogTest() override;

  /// A folder inside the sandbox (not created).
  QString Folder(const QString& name) const { return sandbox.file(name); }
  /// Puts `text` on the clipboard.
  static void SetClipboard(const QString& text);

  testing_support::Sandbox sandbox;
  CSetting setting;
  RecordingLauncher launcher;
  NoShutdown shutdown;
  RecordingOpener opener;
  std::unique_ptr<CTaskManager> tasks;
  QStringList browsed; ///< the preselections the folder browser was called with
  QString browserAnswer;
};

} // namespace dialog_tests
