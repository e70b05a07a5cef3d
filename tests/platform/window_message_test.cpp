// Window messages between real processes over real sockets.
#include "platform/message_frame.h"
#include "platform/window_message.h"
#include "test_support.h"

#include <QCoreApplication>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using testing_support::WaitFor;

namespace {

constexpr std::uint32_t kEcho = 0x9000;
constexpr std::uint32_t kCallBack = 0x9001;
constexpr std::uint32_t kCalledBack = 0x9002;
constexpr std::uint32_t kQuit = 0x9003;

QString HostProgram() { return QCoreApplication::applicationDirPath() + "/window_host"; }

// A window_host process serving one window; killed by its pid when the test ends.
class Host {
public:
  Host() {
    process.start(HostProgram(), {"serve"});
    process.waitForStarted();
    process.waitForReadyRead(10000);
    window = platform::HWND(process.readLine().trimmed().toInt());
  }
  ~Host() {
    if (process.state() != QProcess::NotRunning) {
      process.kill();
      process.waitForFinished();
    }
  }
  QProcess process;
  platform::HWND window = 0;
};

class Recorder : public platform::MessageWindow {
public:
  std::vector<std::uint32_t> seen;
  platform::LRESULT WindowProc(std::uint32_t message, platform::WPARAM wParam,
                               platform::LPARAM lParam) override {
    seen.push_back(message);
    return wParam + lParam;
  }
};

} // namespace

TEST(MessageFrame, HasAFixedLittleEndianLayout) {
  const platform::MessageFrame frame{platform::FrameKind::Send, 0x01020304, 0x8021,
                                     -2, 0x1122334455667788};
  const platform::FrameBytes bytes = platform::EncodeFrame(frame);
  const std::uint8_t expected[28] = {1, 1, 0, 0, 0x04, 0x03, 0x02, 0x01, 0x21, 0x80, 0, 0,
                                     0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                     0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11};
  EXPECT_EQ(0, memcmp(bytes.data(), expected, 28));
  const auto back = platform::DecodeFrame(bytes.data(), bytes.size());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->target, 0x01020304);
  EXPECT_EQ(back->wParam, -2);
  EXPECT_EQ(back->lParam, 0x1122334455667788);
}

TEST(MessageFrame, MalformedFramesAreRejected) {
  platform::FrameBytes bytes = platform::EncodeFrame({});
  EXPECT_FALSE(platform::DecodeFrame(bytes.data(), 27));
  auto broken = bytes;
  broken[0] = 2; // version
  EXPECT_FALSE(platform::DecodeFrame(broken.data(), broken.size()));
  broken = bytes;
  broken[1] = 0; // kind
  EXPECT_FALSE(platform::DecodeFrame(broken.data(), broken.size()));
  broken[1] = 6;
  EXPECT_FALSE(platform::DecodeFrame(broken.data(), broken.size()));
  broken = bytes;
  broken[3] = 1; // reserved
  EXPECT_FALSE(platform::DecodeFrame(broken.data(), broken.size()));
}

TEST(WindowMessages, InsideOneProcessSendCallsTheWindowAndPostWaitsForTheLoop) {
  Recorder window;
  EXPECT_GT(window.Handle() >> 8, 0);
  EXPECT_EQ(window.Handle() >> 8, getpid());
  EXPECT_EQ(platform::SendMessage(window.Handle(), 1, 2, 3), 5);
  EXPECT_TRUE(platform::PostMessage(window.Handle(), 9, 0, 0));
  EXPECT_EQ(window.seen.size(), 1u);
  EXPECT_TRUE(WaitFor([&] { return window.seen.size() == 2; }, 2000));
  const platform::HWND handle = window.Handle();
  window.DestroyHandle();
  EXPECT_FALSE(platform::IsWindow(handle));
  EXPECT_EQ(platform::SendMessage(handle, 1, 2, 3), 0);
  EXPECT_FALSE(platform::PostMessage(handle, 1, 0, 0));
}

TEST(WindowMessages, SendToAnotherProcessWaitsForItsReply) {
  Host host;
  ASSERT_GT(host.window, 0);
  EXPECT_TRUE(platform::IsWindow(host.window));
  EXPECT_FALSE(platform::IsWindow(host.window + 1)); // same process, no such window
  EXPECT_EQ(platform::SendMessage(host.window, kEcho, 41, 0), 42);
}

TEST(WindowMessages, MessagesSentToAWaitingSenderAreHandledBeforeItsSendReturns) {
  Host host;
  Recorder window;
  // The host notifies our window while we wait for its reply, then sleeps before answering.
  EXPECT_EQ(platform::SendMessage(host.window, kCallBack, window.Handle(), 0), 7);
  ASSERT_EQ(window.seen.size(), 1u);
  EXPECT_EQ(window.seen[0], kCalledBack);
}

TEST(WindowMessages, ADeadProcessHasNoWindowsAndSendsToItReturnZeroAtOnce) {
  platform::HWND window = 0;
  {
    Host host;
    window = host.window;
    platform::SendNotifyMessage(window, kQuit, 0, 0);
    ASSERT_TRUE(host.process.waitForFinished(10000));
  }
  EXPECT_FALSE(platform::IsWindow(window));
  EXPECT_EQ(platform::SendMessage(window, kEcho, 1, 0), 0);
  EXPECT_FALSE(platform::SendNotifyMessage(window, kEcho, 1, 0));
  EXPECT_FALSE(platform::IsWindow(0));
  EXPECT_FALSE(platform::IsWindow(-5));
}

TEST(WindowMessages, APeerOfAnotherUserIsRefused) {
  if (getuid() != 0) GTEST_SKIP() << "needs root to run a peer as another user";
  Recorder window;
  QProcess peer;
  peer.start(HostProgram(), {"nobody-send", QString::number(window.Handle()), "77"});
  ASSERT_TRUE(peer.waitForStarted());
  ASSERT_TRUE(WaitFor([&] { return peer.state() == QProcess::NotRunning; }, 10000));
  EXPECT_EQ(peer.exitCode(), 0); // the send returned 0
  QCoreApplication::processEvents();
  EXPECT_TRUE(window.seen.empty());
}

TEST(WindowMessages, AnotherUserHoldingAProcessSocketNameIsNotBelieved) {
  if (getuid() != 0) GTEST_SKIP() << "needs root to run a peer as another user";
  // A process id nobody uses: a child that has ended and been reaped.
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  ASSERT_GT(gone, 0);
  ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
  QProcess squatter;
  squatter.start(HostProgram(), {"nobody-squat", QString::number(getuid()), QString::number(gone)});
  ASSERT_TRUE(squatter.waitForStarted());
  ASSERT_TRUE(squatter.waitForReadyRead(10000));
  ASSERT_EQ(squatter.readLine().trimmed(), "ready");
  const platform::HWND window = platform::HWND((std::uint32_t(gone) << 8) | 1);
  EXPECT_FALSE(platform::IsWindow(window));
  EXPECT_EQ(platform::SendMessage(window, kEcho, 1, 0), 0);
  EXPECT_FALSE(platform::PostMessage(window, kEcho, 1, 0));
  squatter.kill();
  squatter.waitForFinished();
}

TEST(WindowMessages, AGarbageConnectionIsDroppedAndTheEndpointKeepsServing) {
  Host host;
  // Raw bytes straight to the host's socket: a wrong version must not take the endpoint down.
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const int n = snprintf(address.sun_path + 1, sizeof address.sun_path - 1, "folivex-wnd-%u-%d",
                         unsigned(getuid()), int(host.window >> 8));
  ASSERT_EQ(0, ::connect(fd, reinterpret_cast<sockaddr*>(&address),
                         socklen_t(offsetof(sockaddr_un, sun_path) + 1 + n)));
  const char junk[28] = {9, 9, 9};
  ASSERT_EQ(28, ::write(fd, junk, sizeof junk));
  char reply;
  EXPECT_EQ(0, ::read(fd, &reply, 1)); // closed without an answer
  ::close(fd);
  EXPECT_EQ(platform::SendMessage(host.window, kEcho, 1, 0), 2);
}
