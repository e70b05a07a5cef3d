#include "skin/skin_events.h"

#include <QCoreApplication>
#include <QVariant>

namespace {
const char kCtrlIdProperty[] = "folivex_ctrl_id";
}

QEvent::Type FCCommandEvent::EventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

QEvent::Type FCDrawParentPanelEvent::EventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

qint64 SendCommandToParent(QWidget* from, int ctrlId, int code) {
  QWidget* parent = from ? from->parentWidget() : nullptr;
  if (!parent) return 0;
  FCCommandEvent event(ctrlId, code, from);
  QCoreApplication::sendEvent(parent, &event);
  return event.result;
}

bool DrawParentPanel(QWidget* child, QPainter& painter) {
  QWidget* parent = child ? child->parentWidget() : nullptr;
  if (!parent) return false;
  FCDrawParentPanelEvent event(&painter, child);
  QCoreApplication::sendEvent(parent, &event);
  return event.answer == kDrawParentAnswer;
}

void DrawParentBackground(QWidget* child, QPainter& painter) {
  if (!child || DrawParentPanel(child, painter)) return;
  const QWidget* parent = child->parentWidget();
  const QWidget* source = parent ? parent : child;
  painter.fillRect(child->rect(), source->palette().color(source->backgroundRole()));
}

int CtrlIdOf(const QWidget* window) {
  return window ? window->property(kCtrlIdProperty).toInt() : 0;
}

void SetCtrlId(QWidget* window, int ctrlId) {
  if (window) window->setProperty(kCtrlIdProperty, ctrlId);
}
