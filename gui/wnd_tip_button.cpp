#include "gui/wnd_tip_button.h"

#include "image/obj_image.h"
#include "common/skin_loader.h"

#include <QPainter>

CWndTipButton::CWndTipButton(QWidget* parent) : FCButtonBase(parent) {
  setFocusPolicy(Qt::NoFocus);
  SetButtonCursor(QCursor(Qt::WhatsThisCursor));
  SetTooltipStyle(kTooltipStyle);
  SetTooltipDelay(kTooltipDelayMs);
  FCObjImage image;
  if (image.LoadFromFile(FCSkinLoader::GetSkinFilePath(QStringLiteral("tip"))))
    picture_ = image.ToQImage();
}

QRect CWndTipButton::FitRect(QSize picture, const QRect& box) {
  if (picture.isEmpty() || box.isEmpty()) return {};
  QSize size = picture;
  if (size.width() > box.width() || size.height() > box.height())
    size = picture.scaled(box.size(), Qt::KeepAspectRatio);
  size = size.expandedTo(QSize(1, 1));
  const QPoint topLeft(box.left() + (box.width() - size.width()) / 2,
                       box.top() + (box.height() - size.height()) / 2);
  return {topLeft, size};
}

void CWndTipButton::DrawButton(QPainter& painter, int left, int top, int right, int bottom) {
  const QRect box(QPoint(left, top), QPoint(right - 1, bottom - 1));
  painter.fillRect(box, palette().button());
  if (picture_.isNull()) return;
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(FitRect(picture_.size(), box), picture_);
  painter.restore();
}
