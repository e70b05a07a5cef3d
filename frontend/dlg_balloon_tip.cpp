#include "frontend/dlg_balloon_tip.h"

#include <QToolTip>

namespace dialogs {
namespace {

BalloonTip& Last() {
  static BalloonTip tip;
  return tip;
}

} // namespace

void ShowBalloonTip(const QString& message, QWidget* field) {
  BalloonTip& last = Last();
  last.message = message;
  last.field = field;
  ++last.serial;
  if (!field) return;
  if (field->isVisible() && field->focusPolicy() != Qt::NoFocus) field->setFocus();
  const QPoint anchor = field->mapToGlobal(QPoint(field->width() / 2, field->height()));
  QToolTip::showText(anchor, message, field);
}

BalloonTip LastBalloonTip() { return Last(); }

} // namespace dialogs
