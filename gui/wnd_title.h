#pragma once
// CWndTitle: the skin's title control, an owner-drawn skin button. Its face is the title of the
// window it lives in, on one line from the top-left corner, cut with an ellipsis when it does
// not fit, over the background its skin element gives (filltype 0: the parent panel's). It
// repaints when that title changes.
//
// The title is part of the window's caption: it takes no press itself, so a press on it
// travels on to the window, which moves (CFolivexDlg's hit test counts it as caption).
#include "skin/button_base.h"

#include <QPointer>

class CWndTitle : public FCButtonBase {
  Q_OBJECT
public:
  explicit CWndTitle(QWidget* parent = nullptr);

  /// The text drawn: the top-level window's title.
  QString TitleText() const;

protected:
  /// Draws TitleText() in the control's own font (the one its skin element sets) and its
  /// palette's window-text colour.
  void DrawButton(QPainter& painter, int left, int top, int right, int bottom) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  /// No point of the title is a button: presses are ignored and reach the window.
  bool hitButton(const QPoint&) const override { return false; }
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  QPointer<QWidget> watched_;
};
