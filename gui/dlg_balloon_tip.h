#pragma once
// Input errors in the dialogs appear as a balloon-style tip at the field they concern; the
// dialog stays open. The last tip shown is remembered, so callers (and tests) can tell which
// field was named without looking at a tooltip that the window system may already have hidden.
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>

namespace dialogs {

struct BalloonTip {
  QString message;
  QPointer<QWidget> field; ///< Null when the field is gone.
  int serial = 0;          ///< Counts every tip shown in this process.
};

/// Shows `message` in a tip just above `field` (below it when there is no room above), no
/// wider than the field, so it never covers the buttons beside the field; gives the field the
/// focus. The tip goes after 10 s, on a key or a click, or with the field.
void ShowBalloonTip(const QString& message, QWidget* field);
/// The tip window while it is shown, else null.
QWidget* ShownBalloonTip();

/// The last tip shown (serial 0 before the first).
BalloonTip LastBalloonTip();

/// Asks `question` with Yes and No over `parent`; true for Yes.
bool AskYesNo(QWidget* parent, const QString& question);
/// Asks `question` with Yes and No and a check box `checkText` over `parent`; true for Yes.
/// `checked` gives the box's first state and takes its last. With an answerer set (tests) the
/// answerer gets the question and `checked` stays as it is.
bool AskYesNoWithCheck(QWidget* parent, const QString& question, const QString& checkText,
                       bool& checked);
/// Shows `text` in a message box over `parent`.
void ShowNotice(QWidget* parent, const QString& text);
/// Replaces both boxes for the rest of the process (tests): `answer` gets the question (or the
/// notice) and returns the choice; an empty function restores the real boxes.
void SetBoxAnswerer(std::function<bool(const QString& text)> answer);
/// With an answerer set, hands it `text` and returns true; otherwise false (show a real box).
bool AnswerBox(const QString& text);

} // namespace dialogs
