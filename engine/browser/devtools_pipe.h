#pragma once
// CDevToolsPipe: the client end of the browser's debugging pipe (two file descriptors carrying
// NUL-terminated JSON). It sends commands, matches replies to them by id, and hands events to
// the session they belong to through the Qt event loop of the thread that owns it.
//
// Two ways to wait: `Post` returns at once (an optional handler gets the reply later), `Call`
// blocks and pumps only the pipe until its reply arrives, so that no timer or other Qt event
// runs meanwhile. Events read while a call waits are queued per session and delivered from the
// event loop afterwards, except what `SetInterceptor` must see at once (a renderer blocked on a
// dialog or a new window cannot answer the call that waits).
//
// The pipe may end (browser gone): every waiting and later call then fails at once, and the
// closed handler runs once from the event loop. Destroying the client while a call waits (from
// a reply handler or interceptor) is safe: the call returns a failure without touching it.
#include "engine/browser/devtools_message.h"

#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <map>
#include <memory>

class QSocketNotifier;

namespace engine {

class CDevToolsPipe : public QObject {
  Q_OBJECT
public:
  using Message = devtools::Message;
  using ReplyHandler = std::function<void(const Message& reply)>;
  using EventHandler = std::function<void(const Message& event)>;

  /// Takes ownership of both descriptors: `readFd` carries the browser's messages, `writeFd`
  /// our commands. Both are switched to non-blocking mode.
  CDevToolsPipe(int readFd, int writeFd, QObject* parent = nullptr);
  ~CDevToolsPipe() override;

  bool IsOpen() const { return open_; }

  /// Sends a command and returns at once. `handler`, if any, gets the reply (or a failure if
  /// the pipe ends first); it runs while reading, possibly inside another call's wait.
  void Post(const QString& method, const QJsonObject& params = {}, const QString& sessionId = {},
            ReplyHandler handler = {});

  /// Sends a command and waits for its reply, pumping only the pipe. Gives a failed reply on
  /// an error answer, after `timeoutMs`, when the pipe ends, or when the client is destroyed.
  Message Call(const QString& method, const QJsonObject& params = {},
               const QString& sessionId = {}, int timeoutMs = 5000);

  /// Pumps only the pipe until `condition` holds, the pipe ends or `timeoutMs` passes.
  /// Returns the condition. The client must outlive this call.
  bool PumpUntil(const std::function<bool()>& condition, int timeoutMs);

  /// Events of `sessionId` ("" is the browser's own session) go to `handler`, in order.
  /// Events of a session without a handler are dropped.
  void SetSessionHandler(const QString& sessionId, EventHandler handler);
  void RemoveSession(const QString& sessionId);
  /// Sees the events of `sessionId` the moment they are read, also inside a waiting call, and
  /// returns true for those it handled (they are not queued). For events the browser waits on
  /// before it can answer anything else of that session (a paused navigation request).
  void SetImmediateHandler(const QString& sessionId, std::function<bool(const Message&)> handler);

  /// Sees every event the moment it is read, before it is queued, also inside a waiting call.
  void SetInterceptor(EventHandler interceptor) { interceptor_ = std::move(interceptor); }
  /// Runs once, from the event loop, after the pipe ended.
  void SetClosedHandler(std::function<void()> handler) { closedHandler_ = std::move(handler); }

private:
  struct Pending {
    bool done = false;
    bool waiting = false; // a Call waits for it
    Message reply;
    ReplyHandler handler;
  };

  qint64 Send(const QString& method, const QJsonObject& params, const QString& sessionId,
              Pending pending);
  bool WriteAll(const QByteArray& bytes);
  Message AwaitReply(qint64 id, const QString& method, int timeoutMs);
  /// Waits up to `timeoutMs` for input and reads it; false when the pipe failed.
  bool PollOnce(int timeoutMs);
  void ReadAvailable();
  void Dispatch(const Message& message);
  void ScheduleFlush();
  void Flush();
  void Close();
  static Message Failure(qint64 id, const QString& text);

  int readFd_ = -1;
  int writeFd_ = -1;
  bool open_ = true;
  bool trace_ = false; // GANTRELL_DEVTOOLS_TRACE set: every frame's outline on stderr
  QSocketNotifier* notifier_ = nullptr;
  QByteArray buffer_;
  qint64 nextId_ = 1;
  std::map<qint64, Pending> pending_;
  QHash<QString, EventHandler> handlers_;
  QHash<QString, std::function<bool(const Message&)>> immediate_;
  std::map<QString, std::deque<Message>> queues_;
  EventHandler interceptor_;
  std::function<void()> closedHandler_;
  bool flushScheduled_ = false;
  bool flushing_ = false;
  bool closedReported_ = false;
  int waitDepth_ = 0;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace engine
