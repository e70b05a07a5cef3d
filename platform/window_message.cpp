#include "platform/window_message.h"

#include "platform/message_socket.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <deque>
#include <map>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace platform {
namespace {

constexpr int kMaxWindowsPerProcess = 255;
constexpr int kFrameReadTimeoutMs = 2000;

pid_t ProcessOf(HWND window) { return window > 0 ? pid_t(std::uint32_t(window) >> 8) : 0; }

// The reply frame's wParam: whether a window of the handle received the message.
constexpr WPARAM kReplyHandled = 1;

// A message that arrived from another process and waits for the user-interface thread.
struct Incoming {
  MessageFrame frame;
  int replyFd = -1; ///< open connection of a waiting sender, or -1
};

// Posted messages travel through Qt's own event queue, behind everything already queued.
class PostedMessageEvent : public QEvent {
public:
  static QEvent::Type TypeId() {
    static const int type = QEvent::registerEventType();
    return QEvent::Type(type);
  }
  explicit PostedMessageEvent(const MessageFrame& f) : QEvent(TypeId()), frame(f) {}
  MessageFrame frame;
};

// The process's message endpoint: the window registry, the listening socket served by one I/O
// thread, and the queue of incoming messages that the user-interface thread drains.
class MessageHub : public QObject {
public:
  static MessageHub& Instance() {
    // Deliberately never destroyed: the I/O thread may still be blocked in accept at exit.
    static MessageHub* hub = new MessageHub;
    return *hub;
  }

  HWND Register(MessageWindow* window) {
    std::lock_guard lock(mutex_);
    EnsureStarted();
    for (int n = 1; n <= kMaxWindowsPerProcess; ++n) {
      const int slot = (nextSlot_ + n - 1) % kMaxWindowsPerProcess + 1;
      if (windows_.count(slot) == 0) {
        windows_[slot] = window;
        nextSlot_ = slot % kMaxWindowsPerProcess + 1; // do not hand a freed number out again soon
        return HWND((std::uint32_t(getpid()) << 8) | std::uint32_t(slot));
      }
    }
    return 0;
  }

  void Unregister(HWND handle) {
    std::lock_guard lock(mutex_);
    windows_.erase(int(handle & 0xFF));
  }

  MessageWindow* Find(HWND handle) {
    if (handle <= 0 || ProcessOf(handle) != getpid()) return nullptr;
    std::lock_guard lock(mutex_);
    const auto it = windows_.find(int(handle & 0xFF));
    return it == windows_.end() ? nullptr : it->second;
  }

  int WakeFd() const { return wakeFd_; }

  // Handles, one by one, the messages other processes sent or notified meanwhile.
  // Re-entrant: a window procedure may itself send and so come back here.
  void DispatchIncoming() {
    if (wakeFd_ >= 0) {
      eventfd_t ignored;
      eventfd_read(wakeFd_, &ignored);
    }
    for (;;) {
      Incoming next;
      {
        std::lock_guard lock(mutex_);
        if (incoming_.empty()) return;
        next = incoming_.front();
        incoming_.pop_front();
      }
      LRESULT result = 0;
      WPARAM handled = 0;
      if (MessageWindow* window = Find(next.frame.target)) {
        result = window->WindowProc(next.frame.message, next.frame.wParam, next.frame.lParam);
        handled = kReplyHandled;
      }
      if (next.replyFd >= 0) {
        MessageFrame reply{FrameKind::Reply, next.frame.target, next.frame.message, handled, result};
        detail::WriteFrame(next.replyFd, reply);
        close(next.replyFd);
      }
    }
  }

protected:
  void customEvent(QEvent* event) override {
    if (event->type() != PostedMessageEvent::TypeId()) return;
    const MessageFrame& f = static_cast<PostedMessageEvent*>(event)->frame;
    if (MessageWindow* window = Find(f.target)) window->WindowProc(f.message, f.wParam, f.lParam);
  }

private:
  MessageHub() = default;

  // Called with the mutex held, on the user-interface thread, when the first window appears.
  void EnsureStarted() {
    if (started_) return;
    started_ = true;
    if (QCoreApplication* app = QCoreApplication::instance()) moveToThread(app->thread());
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    listenFd_ = detail::ListenForMessages();
    if (wakeFd_ >= 0) {
      notifier_ = new QSocketNotifier(wakeFd_, QSocketNotifier::Read, this);
      connect(notifier_, &QSocketNotifier::activated, this, [this] { DispatchIncoming(); });
    }
    if (listenFd_ >= 0) std::thread([this] { ServeConnections(); }).detach();
  }

  // I/O thread: answers IsWindow at once, queues everything else for the UI thread.
  void ServeConnections() {
    for (;;) {
      const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) {
        if (errno == EINTR || errno == ECONNABORTED) continue;
        return;
      }
      if (!detail::PeerIsSameUser(fd)) {
        close(fd);
        continue;
      }
      const auto frame = detail::ReadFrame(fd, kFrameReadTimeoutMs);
      if (!frame) {
        close(fd);
        continue;
      }
      HandleFrame(*frame, fd);
    }
  }

  void HandleFrame(const MessageFrame& frame, int fd) {
    if (frame.kind == FrameKind::Send || frame.kind == FrameKind::Notify ||
        frame.kind == FrameKind::Post) {
      if (void (*hook)() = arrivalHook_.load(); hook && frame.message == arrivalMessage_.load())
        hook();
    }
    switch (frame.kind) {
    case FrameKind::IsWindow: {
      const bool exists = Find(frame.target) != nullptr;
      detail::WriteFrame(fd, {FrameKind::Reply, frame.target, frame.message, 0, exists ? 1 : 0});
      close(fd);
      return;
    }
    case FrameKind::Send:
      Queue({frame, fd});
      return;
    case FrameKind::Notify:
      close(fd);
      Queue({frame, -1});
      return;
    case FrameKind::Post:
      close(fd);
      QCoreApplication::postEvent(this, new PostedMessageEvent(frame));
      return;
    case FrameKind::Reply:
      close(fd); // a reply nobody asked for
      return;
    }
  }

  void Queue(const Incoming& message) {
    {
      std::lock_guard lock(mutex_);
      incoming_.push_back(message);
    }
    if (wakeFd_ >= 0) eventfd_write(wakeFd_, 1);
  }

public:
  void SetArrivalHook(std::uint32_t message, void (*hook)()) {
    arrivalMessage_.store(message);
    arrivalHook_.store(hook);
  }

private:
  std::atomic<std::uint32_t> arrivalMessage_{0};
  std::atomic<void (*)()> arrivalHook_{nullptr};
  std::mutex mutex_;
  std::map<int, MessageWindow*> windows_;
  std::deque<Incoming> incoming_;
  int nextSlot_ = 1;
  bool started_ = false;
  int wakeFd_ = -1;
  int listenFd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
};

// Waits for the reply to a send, handling messages sent to this process meanwhile.
LRESULT AwaitReply(int fd, bool& handled) {
  MessageHub& hub = MessageHub::Instance();
  for (;;) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {hub.WakeFd(), POLLIN, 0}};
    const int count = hub.WakeFd() >= 0 ? 2 : 1;
    const int ready = poll(fds, nfds_t(count), -1);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return 0;
    if (count == 2 && (fds[1].revents & POLLIN)) hub.DispatchIncoming();
    if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
      const auto reply = detail::ReadFrame(fd, 0);
      if (!reply || reply->kind != FrameKind::Reply) return 0;
      handled = reply->wParam == kReplyHandled;
      return reply->lParam;
    }
  }
}

// Opens a connection to the process owning `window` and writes one frame; -1 on failure.
int Deliver(HWND window, FrameKind kind, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
  if (window <= 0) return -1;
  const int fd = detail::ConnectToProcess(ProcessOf(window));
  if (fd < 0) return -1;
  if (!detail::WriteFrame(fd, {kind, window, message, wParam, lParam})) {
    close(fd);
    return -1;
  }
  return fd;
}

bool IsLocal(HWND window) { return window > 0 && ProcessOf(window) == getpid(); }

} // namespace

MessageWindow::MessageWindow() : handle_(MessageHub::Instance().Register(this)) {}

MessageWindow::~MessageWindow() { DestroyHandle(); }

void MessageWindow::DestroyHandle() {
  if (handle_ != 0) MessageHub::Instance().Unregister(handle_);
  handle_ = 0;
}

LRESULT SendMessage(HWND window, std::uint32_t message, WPARAM wParam, LPARAM lParam,
                    bool* handled) {
  bool received = false;
  LRESULT result = 0;
  if (IsLocal(window)) {
    MessageWindow* target = MessageHub::Instance().Find(window);
    received = target != nullptr;
    if (target) result = target->WindowProc(message, wParam, lParam);
  } else if (const int fd = Deliver(window, FrameKind::Send, message, wParam, lParam); fd >= 0) {
    result = AwaitReply(fd, received);
    close(fd);
  }
  if (handled) *handled = received;
  return result;
}

bool SendNotifyMessage(HWND window, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
  if (IsLocal(window)) {
    MessageWindow* target = MessageHub::Instance().Find(window);
    if (target) target->WindowProc(message, wParam, lParam);
    return target != nullptr;
  }
  const int fd = Deliver(window, FrameKind::Notify, message, wParam, lParam);
  if (fd < 0) return false;
  close(fd);
  return true;
}

bool PostMessage(HWND window, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
  if (IsLocal(window)) {
    MessageHub& hub = MessageHub::Instance();
    if (!hub.Find(window)) return false;
    QCoreApplication::postEvent(&hub, new PostedMessageEvent({FrameKind::Post, window, message,
                                                              wParam, lParam}));
    return true;
  }
  const int fd = Deliver(window, FrameKind::Post, message, wParam, lParam);
  if (fd < 0) return false;
  close(fd);
  return true;
}

void SetArrivalHook(std::uint32_t message, void (*hook)()) {
  MessageHub::Instance().SetArrivalHook(message, hook);
}

bool IsWindow(HWND window) {
  if (window <= 0) return false;
  if (IsLocal(window)) return MessageHub::Instance().Find(window) != nullptr;
  const int fd = Deliver(window, FrameKind::IsWindow, 0, 0, 0);
  if (fd < 0) return false;
  const auto reply = detail::ReadFrame(fd, kFrameReadTimeoutMs);
  close(fd);
  return reply && reply->kind == FrameKind::Reply && reply->lParam == 1;
}

pid_t ProcessOfWindow(HWND window) { return ProcessOf(window); }

} // namespace platform
