#include "platform/sound.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace platform {

PlaySoundFn PlaySoundW = &RealPlaySound;

int RealPlaySound(const char16_t* sound, void*, std::uint32_t) {
  if (!sound) return 1; // stopping sounds: nothing plays in the background here
  const QString name = QString::fromUtf16(sound);
  if (!QFileInfo(name).isFile()) return 0;
  const QString player = QStandardPaths::findExecutable(QStringLiteral("paplay"));
  if (player.isEmpty()) return 0;
  return QProcess::startDetached(player, {name}) ? 1 : 0;
}

} // namespace platform
