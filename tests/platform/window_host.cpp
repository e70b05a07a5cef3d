// A second process for message tests. Modes:
//   window_host serve         create a window, print its handle, answer messages until told to quit
//   window_host send HWND MSG  send one message to HWND and exit with 0 if the reply was 0
//   window_host nobody-send HWND MSG  the same after dropping to user "nobody" (needs root)
//   window_host nobody-squat UID PID  as "nobody", take the socket name of process PID of user
//                                     UID, print "ready", answer every frame with 1 (needs root)
#include "platform/message_frame.h"
#include "platform/window_message.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>
#include <sys/socket.h>
#include <sys/un.h>
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

// Listens under another user's socket name and says yes to everything.
int Squat(unsigned uid, int pid) {
  if (setuid(65534) != 0) return 3;
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const int n = std::snprintf(address.sun_path + 1, sizeof address.sun_path - 1,
                              "folivex-wnd-%u-%d", uid, pid);
  if (bind(fd, reinterpret_cast<sockaddr*>(&address),
           socklen_t(offsetof(sockaddr_un, sun_path) + 1 + n)) != 0 ||
      listen(fd, 8) != 0)
    return 4;
  std::printf("ready\n");
  std::fflush(stdout);
  for (;;) {
    const int peer = accept(fd, nullptr, nullptr);
    if (peer < 0) continue;
    char request[platform::kFrameSize];
    [[maybe_unused]] const ssize_t got = read(peer, request, sizeof request);
    const platform::FrameBytes reply =
        platform::EncodeFrame({platform::FrameKind::Reply, 0, 0, 0, 1});
    [[maybe_unused]] const ssize_t sent = write(peer, reply.data(), reply.size());
    close(peer);
  }
}

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
  if (args.size() >= 4 && args[1] == "nobody-squat") return Squat(args[2].toUInt(), args[3].toInt());
  return 2;
}
