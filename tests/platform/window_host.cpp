// A second process for message tests. Modes:
//   window_host serve         create a window, print its handle, answer messages until told to quit
//   window_host send HWND MSG  send one message to HWND and exit with 0 if the reply was 0
//   window_host nobody-send HWND MSG  the same after dropping to user "nobody" (needs root)
#include "platform/window_message.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr std::uint32_t kEcho = 0x9000;        // returns wParam + 1
constexpr std::uint32_t kCallBack = 0x9001;    // notifies window wParam with kCalledBack, then returns 7
constexpr std::uint32_t kCalledBack = 0x9002;
constexpr std::uint32_t kQuit = 0x9003;

class HostWindow : public platform::MessageWindow {
public:
  platform::LRESULT WindowProc(std::uint32_t message, platform::WPARAM wParam,
                               platform::LPARAM) override {
    switch (message) {
    case kEcho:
      return wParam + 1;
    case kCallBack:
      platform::SendNotifyMessage(platform::HWND(wParam), kCalledBack, 0, 0);
      QThread::msleep(300); // the caller keeps waiting meanwhile
      return 7;
    case kQuit:
      QCoreApplication::exit(0);
      return 0;
    default:
      return 0;
    }
  }
};

} // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() >= 2 && args[1] == "serve") {
    HostWindow window;
    std::printf("%d\n", window.Handle());
    std::fflush(stdout);
    return app.exec();
  }
  if (args.size() >= 4 && (args[1] == "send" || args[1] == "nobody-send")) {
    if (args[1] == "nobody-send" && setuid(65534) != 0) return 3;
    const platform::LRESULT r =
        platform::SendMessage(platform::HWND(args[2].toInt()), std::uint32_t(args[3].toUInt()), 1, 2);
    return r == 0 ? 0 : 1;
  }
  return 2;
}
