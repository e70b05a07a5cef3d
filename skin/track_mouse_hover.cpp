#include "skin/track_mouse_hover.h"

#include <QEvent>
#include <QWidget>

void FCTrackMouseHover::HandleHoverEvent(QWidget* window, QEvent* e) {
  switch (e->type()) {
  // Hovering starts with a real mouse move only: the enter events a window system
  // synthesises when a window appears may name a stale cursor position.
  case QEvent::MouseMove:
    if (!hovering_) {
      hovering_ = true;
      OnMouseEnter();
      window->update();
    }
    break;
  case QEvent::Leave:
  case QEvent::Hide:
    if (hovering_) {
      hovering_ = false;
      OnMouseLeave();
      window->update();
    }
    break;
  default:
    break;
  }
}
