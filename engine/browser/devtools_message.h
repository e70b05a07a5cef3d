#pragma once
// The wire format of the browser's debugging pipe: JSON objects, each ended by one NUL byte.
// These are pure functions so that splitting and parsing can be tested without a browser.
#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>

namespace engine::devtools {

/// One message from the browser: a reply (id >= 0) or an event (method set, id < 0).
struct Message {
  qint64 id = -1;
  QString method;    ///< events only
  QString sessionId; ///< empty for the browser's own session
  QJsonObject params; ///< events only
  QJsonObject result; ///< replies only
  bool failed = false; ///< replies only: the browser answered with an error
  QString errorText;   ///< replies only, when failed

  bool IsReply() const { return id >= 0; }
};

/// Removes every complete NUL-terminated frame from the front of `buffer` and returns them in
/// order, without their terminators. An incomplete tail stays in `buffer` for the next read.
QList<QByteArray> TakeFrames(QByteArray& buffer);

/// Parses one frame. Frames that are not JSON objects, or are neither reply nor event, give
/// nothing: a malformed frame is dropped, never fatal.
std::optional<Message> ParseMessage(const QByteArray& frame);

/// One command frame, NUL included. `sessionId` empty addresses the browser itself.
QByteArray EncodeCommand(qint64 id, const QString& method, const QJsonObject& params,
                         const QString& sessionId);

} // namespace engine::devtools
