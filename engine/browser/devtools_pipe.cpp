#include "engine/browser/devtools_pipe.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace engine {

namespace {
// Counts a waiting call for as long as it waits, however it leaves (also by an exception from
// a handler, or with the client destroyed under it).
struct WaitScope {
  int* depth;
  std::weak_ptr<bool> alive;
  WaitScope(int* d, std::weak_ptr<bool> a) : depth(d), alive(std::move(a)) { ++*depth; }
  ~WaitScope() {
    if (!alive.expired()) --*depth;
  }
};

// A browser that stops reading for this long is taken for dead.
constexpr int kWriteStallMs = 5000;

qint64 TraceClock() {
  static QElapsedTimer clock = [] { QElapsedTimer c; c.start(); return c; }();
  return clock.elapsed();
}

void SetNonBlocking(int fd) {
  const int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}
} // namespace

CDevToolsPipe::CDevToolsPipe(int readFd, int writeFd, QObject* parent)
    : QObject(parent), readFd_(readFd), writeFd_(writeFd),
      trace_(qEnvironmentVariableIsSet("GANTRELL_DEVTOOLS_TRACE")) {
  // Writing to a pipe whose reader died raises SIGPIPE; the failed write is handled instead.
  std::signal(SIGPIPE, SIG_IGN);
  SetNonBlocking(readFd_);
  SetNonBlocking(writeFd_);
  notifier_ = new QSocketNotifier(readFd_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    ReadAvailable();
    if (waitDepth_ == 0) Flush();
  });
}

CDevToolsPipe::~CDevToolsPipe() {
  *alive_ = false;
  alive_.reset();
  if (notifier_) notifier_->setEnabled(false);
  if (readFd_ >= 0) ::close(readFd_);
  if (writeFd_ >= 0) ::close(writeFd_);
}

CDevToolsPipe::Message CDevToolsPipe::Failure(qint64 id, const QString& text) {
  Message m;
  m.id = id;
  m.failed = true;
  m.errorText = text;
  return m;
}

void CDevToolsPipe::Post(const QString& method, const QJsonObject& params,
                         const QString& sessionId, ReplyHandler handler) {
  Pending p;
  p.handler = std::move(handler);
  Send(method, params, sessionId, std::move(p));
}

qint64 CDevToolsPipe::Send(const QString& method, const QJsonObject& params,
                           const QString& sessionId, Pending pending) {
  const qint64 id = nextId_++;
  if (!open_) return -1;
  const bool wantsReply = pending.waiting || bool(pending.handler);
  if (wantsReply) pending_.emplace(id, std::move(pending));
  if (trace_) std::fprintf(stderr, "%lld >> %lld %s %s\n", TraceClock(), id, qPrintable(method), qPrintable(sessionId));
  if (!WriteAll(devtools::EncodeCommand(id, method, params, sessionId))) {
    Close();
    return -1;
  }
  return id;
}

bool CDevToolsPipe::WriteAll(const QByteArray& bytes) {
  qsizetype done = 0;
  QDeadlineTimer deadline(kWriteStallMs);
  while (done < bytes.size()) {
    const ssize_t n = ::write(writeFd_, bytes.constData() + done, size_t(bytes.size() - done));
    if (n > 0) {
      done += n;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
    const int wait = int(deadline.remainingTime());
    if (wait == 0) return false;
    pollfd p{writeFd_, POLLOUT, 0};
    if (::poll(&p, 1, wait) < 0 && errno != EINTR) return false;
  }
  return true;
}

void CDevToolsPipe::ReadAvailable() {
  if (!open_) return;
  std::weak_ptr<bool> alive = alive_;
  char chunk[65536];
  for (;;) {
    const ssize_t n = ::read(readFd_, chunk, sizeof chunk);
    if (n > 0) {
      buffer_.append(chunk, n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    // End of file or a read error: the browser is gone. Deliver what came before it first.
    for (const QByteArray& frame : devtools::TakeFrames(buffer_)) {
      if (auto m = devtools::ParseMessage(frame)) Dispatch(*m);
      if (alive.expired()) return;
    }
    Close();
    return;
  }
  for (const QByteArray& frame : devtools::TakeFrames(buffer_)) {
    if (auto m = devtools::ParseMessage(frame)) Dispatch(*m);
    if (alive.expired() || !open_) return;
  }
}

void CDevToolsPipe::Dispatch(const Message& message) {
  if (trace_)
    std::fprintf(stderr, "%lld << %lld %s %s %s\n", TraceClock(), message.id, qPrintable(message.method),
                 qPrintable(message.sessionId.left(6)), message.failed ? qPrintable(message.errorText) : "");
  if (message.IsReply()) {
    auto it = pending_.find(message.id);
    if (it == pending_.end()) return; // a stray or late reply: nobody waits for it
    if (it->second.waiting) {
      it->second.done = true;
      it->second.reply = message;
      return;
    }
    ReplyHandler handler = std::move(it->second.handler);
    pending_.erase(it);
    if (handler) handler(message);
    return;
  }
  if (interceptor_) {
    std::weak_ptr<bool> alive = alive_;
    interceptor_(message);
    if (alive.expired()) return;
  }
  if (auto it = immediate_.constFind(message.sessionId); it != immediate_.constEnd()) {
    const auto handler = *it; // it may remove its own session
    std::weak_ptr<bool> alive = alive_;
    const bool handled = handler(message);
    if (alive.expired() || handled) return;
  }
  if (!handlers_.contains(message.sessionId)) return;
  queues_[message.sessionId].push_back(message);
  ScheduleFlush();
}

void CDevToolsPipe::ScheduleFlush() {
  if (flushScheduled_) return;
  flushScheduled_ = true;
  QTimer::singleShot(0, this, [this] {
    flushScheduled_ = false;
    Flush();
  });
}

void CDevToolsPipe::Flush() {
  if (flushing_) return;
  flushing_ = true;
  std::weak_ptr<bool> alive = alive_;
  for (;;) {
    auto queue = queues_.begin();
    while (queue != queues_.end() && queue->second.empty()) queue = queues_.erase(queue);
    if (queue == queues_.end()) break;
    const Message event = std::move(queue->second.front());
    queue->second.pop_front();
    auto handler = handlers_.constFind(event.sessionId);
    if (handler == handlers_.constEnd()) continue;
    const EventHandler call = *handler; // the handler may remove its own session
    call(event);
    if (alive.expired()) return;
  }
  flushing_ = false;
  if (!open_ && !closedReported_) {
    closedReported_ = true;
    if (closedHandler_) closedHandler_();
  }
}

CDevToolsPipe::Message CDevToolsPipe::Call(const QString& method, const QJsonObject& params,
                                           const QString& sessionId, int timeoutMs) {
  Pending p;
  p.waiting = true;
  const qint64 id = Send(method, params, sessionId, std::move(p));
  if (id < 0) return Failure(id, QStringLiteral("the browser is not running"));
  std::weak_ptr<bool> alive = alive_;
  Message result = AwaitReply(id, method, timeoutMs);
  if (!alive.expired() && (!queues_.empty() || !open_)) ScheduleFlush();
  return result;
}

CDevToolsPipe::Message CDevToolsPipe::AwaitReply(qint64 id, const QString& method,
                                                 int timeoutMs) {
  std::weak_ptr<bool> alive = alive_;
  WaitScope scope(&waitDepth_, alive_);
  QDeadlineTimer deadline(timeoutMs);
  for (;;) {
    auto it = pending_.find(id);
    if (it == pending_.end()) return Failure(id, QStringLiteral("the browser is not running"));
    if (it->second.done) {
      Message reply = std::move(it->second.reply);
      pending_.erase(it);
      return reply;
    }
    const int wait = int(deadline.remainingTime());
    if (wait == 0) {
      pending_.erase(it);
      return Failure(id, QStringLiteral("no answer from the browser: ") + method);
    }
    if (!PollOnce(wait)) Close();
    if (alive.expired()) return Failure(id, QStringLiteral("the browser client was destroyed"));
  }
}

bool CDevToolsPipe::PollOnce(int timeoutMs) {
  pollfd pfd{readFd_, POLLIN, 0};
  const int ready = ::poll(&pfd, 1, timeoutMs);
  if (ready < 0) return errno == EINTR;
  if (ready > 0) ReadAvailable();
  return true;
}

bool CDevToolsPipe::PumpUntil(const std::function<bool()>& condition, int timeoutMs) {
  std::weak_ptr<bool> alive = alive_;
  {
    WaitScope scope(&waitDepth_, alive_);
    QDeadlineTimer deadline(timeoutMs);
    while (!condition() && open_) {
      const int wait = int(deadline.remainingTime());
      if (wait == 0) break;
      if (!PollOnce(wait)) Close();
      if (alive.expired()) return condition();
    }
  }
  if (!queues_.empty() || !open_) ScheduleFlush();
  return condition();
}

void CDevToolsPipe::SetSessionHandler(const QString& sessionId, EventHandler handler) {
  handlers_.insert(sessionId, std::move(handler));
}

void CDevToolsPipe::SetImmediateHandler(const QString& sessionId,
                                        std::function<bool(const Message&)> handler) {
  immediate_.insert(sessionId, std::move(handler));
}

void CDevToolsPipe::RemoveSession(const QString& sessionId) {
  handlers_.remove(sessionId);
  immediate_.remove(sessionId);
  queues_.erase(sessionId);
}

void CDevToolsPipe::Close() {
  if (!open_) return;
  open_ = false;
  notifier_->setEnabled(false);
  // Handlers of posted commands learn of the end; waiting calls see their entry vanish.
  std::map<qint64, Pending> pending;
  pending.swap(pending_);
  std::weak_ptr<bool> alive = alive_;
  for (auto& [id, p] : pending) {
    if (p.handler) p.handler(Failure(id, QStringLiteral("the browser has gone")));
    if (alive.expired()) return;
  }
  ScheduleFlush();
}

} // namespace engine
