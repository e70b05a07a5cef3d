#include "frontend/wnd_title.h"

#include <QEvent>
#include <QPainter>

CWndTitle::CWndTitle(QWidget* parent) : QAbstractButton(parent) {
  setFocusPolicy(Qt::NoFocus);
}

QString CWndTitle::TitleText() const { return window()->windowTitle(); }

void CWndTitle::showEvent(QShowEvent* event) {
  QAbstractButton::showEvent(event);
  if (watched_ == window()) return;
  if (watched_) watched_->removeEventFilter(this);
  watched_ = window();
  if (watched_ != this) watched_->installEventFilter(this);
}

bool CWndTitle::eventFilter(QObject* watched, QEvent* event) {
  if (watched == watched_ && event->type() == QEvent::WindowTitleChange) update();
  return QAbstractButton::eventFilter(watched, event);
}

void CWndTitle::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(font());
  painter.setPen(palette().color(QPalette::WindowText));
  const QString text = painter.fontMetrics().elidedText(TitleText(), Qt::ElideRight, width());
  painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}
