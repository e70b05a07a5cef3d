#pragma once
// Events of the skin framework inside the front-end (registered event types, one per process):
// - FCCommandEvent: a control reports a command (a click) to its parent. Panels forward it
//   unchanged to their own parent, so commands of nested controls reach the top-level window,
//   which handles it in event() (accept it and set `result`).
// - FCDrawParentPanelEvent: a child asks its parent panel to paint the background under the
//   child into the child's painter; a panel answers kDrawParentAnswer.
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>

/// The answer of a panel that handled FCDrawParentPanelEvent.
constexpr int kDrawParentAnswer = 11111111;

/// Notification codes of a command.
enum : int {
  BN_CLICKED = 0, ///< a button was clicked
};

class FCCommandEvent : public QEvent {
public:
  FCCommandEvent(int ctrlId, int code, QWidget* source)
      : QEvent(EventType()), ctrlId(ctrlId), code(code), source(source) {}
  static QEvent::Type EventType();

  int ctrlId;
  int code;
  QPointer<QWidget> source;
  qint64 result = 0;
};

class FCDrawParentPanelEvent : public QEvent {
public:
  FCDrawParentPanelEvent(QPainter* painter, QWidget* child)
      : QEvent(EventType()), painter(painter), child(child) {}
  static QEvent::Type EventType();

  QPainter* painter;
  QWidget* child;
  int answer = 0;
};

/// Sends a command from `from` to its parent; returns the parent's result (0 without one).
qint64 SendCommandToParent(QWidget* from, int ctrlId, int code);

/// Asks the parent of `child` to paint its background under the child into `painter` (whose
/// origin is the child's top-left corner). True when the parent is a panel that answered.
bool DrawParentPanel(QWidget* child, QPainter& painter);

/// The background under `child` for fill type 0: its parent panel's (DrawParentPanel), or,
/// when the parent is no panel, the parent's own background colour, so every pixel is defined.
void DrawParentBackground(QWidget* child, QPainter& painter);

/// The control identifier a description gave a window (0 when none).
int CtrlIdOf(const QWidget* window);
void SetCtrlId(QWidget* window, int ctrlId);
