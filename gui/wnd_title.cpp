#include "gui/wnd_title.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

CWndTitle::CWndTitle(QWidget* parent) : FCButtonBase(parent) {
  setFocusPolicy(Qt::NoFocus);
}

QString CWndTitle::TitleText() const { return window()->windowTitle(); }

void CWndTitle::showEvent(QShowEvent* event) {
  FCButtonBase::showEvent(event);
  if (watched_ == window()) return;
  if (watched_) watched_->removeEventFilter(this);
  watched_ = window();
  if (watched_ != this) watched_->installEventFilter(this);
}

bool CWndTitle::eventFilter(QObject* watched, QEvent* event) {
  if (watched == watched_ && event->type() == QEvent::WindowTitleChange) update();
  return FCButtonBase::eventFilter(watched, event);
}

void CWndTitle::mouseDoubleClickEvent(QMouseEvent* event) { event->ignore(); }

void CWndTitle::DrawButton(QPainter& painter, int left, int top, int right, int bottom) {
  const QRect box(QPoint(left, top), QPoint(right - 1, bottom - 1));
  painter.save();
  painter.setFont(font());
  painter.setPen(palette().color(QPalette::WindowText));
  const QString text = painter.fontMetrics().elidedText(TitleText(), Qt::ElideRight, box.width());
  painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
  painter.restore();
}
