#include "engine/browser/devtools_message.h"

#include <QJsonDocument>
#include <QJsonParseError>

namespace engine::devtools {

QList<QByteArray> TakeFrames(QByteArray& buffer) {
  QList<QByteArray> frames;
  qsizetype start = 0;
  for (;;) {
    const qsizetype end = buffer.indexOf('\0', start);
    if (end < 0) break;
    frames.append(buffer.mid(start, end - start));
    start = end + 1;
  }
  if (start > 0) buffer.remove(0, start);
  return frames;
}

std::optional<Message> ParseMessage(const QByteArray& frame) {
  QJsonParseError error;
  const QJsonDocument doc = QJsonDocument::fromJson(frame, &error);
  if (error.error != QJsonParseError::NoError || !doc.isObject()) return std::nullopt;
  const QJsonObject o = doc.object();
  Message m;
  m.sessionId = o.value(QLatin1String("sessionId")).toString();
  const QJsonValue id = o.value(QLatin1String("id"));
  if (id.isDouble()) {
    const double value = id.toDouble();
    if (value < 0 || value > 9e15) return std::nullopt;
    m.id = qint64(value);
    m.result = o.value(QLatin1String("result")).toObject();
    if (o.contains(QLatin1String("error"))) {
      m.failed = true;
      const QJsonObject e = o.value(QLatin1String("error")).toObject();
      m.errorText = e.value(QLatin1String("message")).toString();
      if (m.errorText.isEmpty()) m.errorText = QStringLiteral("browser error");
    }
    return m;
  }
  m.method = o.value(QLatin1String("method")).toString();
  if (m.method.isEmpty()) return std::nullopt;
  m.params = o.value(QLatin1String("params")).toObject();
  return m;
}

QByteArray EncodeCommand(qint64 id, const QString& method, const QJsonObject& params,
                         const QString& sessionId) {
  QJsonObject o;
  o.insert(QLatin1String("id"), double(id));
  o.insert(QLatin1String("method"), method);
  o.insert(QLatin1String("params"), params);
  if (!sessionId.isEmpty()) o.insert(QLatin1String("sessionId"), sessionId);
  QByteArray frame = QJsonDocument(o).toJson(QJsonDocument::Compact);
  frame.append('\0');
  return frame;
}

} // namespace engine::devtools
