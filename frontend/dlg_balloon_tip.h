#pragma once
// Input errors in the dialogs appear as a balloon-style tip at the field they concern; the
// dialog stays open. The last tip shown is remembered, so callers (and tests) can tell which
// field was named without looking at a tooltip that the window system may already have hidden.
#include <QPointer>
#include <QString>
#include <QWidget>

namespace dialogs {

struct BalloonTip {
  QString message;
  QPointer<QWidget> field; ///< Null when the field is gone.
  int serial = 0;          ///< Counts every tip shown in this process.
};

/// Shows `message` in a tip pointing at the middle of `field`'s lower edge and gives the
/// field the focus.
void ShowBalloonTip(const QString& message, QWidget* field);

/// The last tip shown (serial 0 before the first).
BalloonTip LastBalloonTip();

} // namespace dialogs
