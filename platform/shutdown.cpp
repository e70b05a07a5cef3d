#include "platform/shutdown.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace platform {

bool LogindShutdown::PowerOff() {
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
      QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
  call << true; // interactive
  const QDBusMessage reply = QDBusConnection::systemBus().call(call);
  return reply.type() == QDBusMessage::ReplyMessage;
}

} // namespace platform
