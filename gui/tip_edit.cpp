#include "gui/tip_edit.h"

CTipEdit::CTipEdit(QWidget* parent) : QPlainTextEdit(parent) {
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  SetTextColour(false);
}

void CTipEdit::SetHint(const QString& hint) {
  const bool showingOld = IsShowingHint();
  // Kept with line feeds only, as the box gives its text back.
  hint_ = hint;
  hint_.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  hint_.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  if (!hasFocus() && (showingOld || toPlainText().isEmpty())) setPlainText(hint_);
}

void CTipEdit::focusInEvent(QFocusEvent* event) {
  if (IsShowingHint()) clear();
  SetTextColour(true);
  QPlainTextEdit::focusInEvent(event);
}

void CTipEdit::focusOutEvent(QFocusEvent* event) {
  if (toPlainText().isEmpty()) setPlainText(hint_);
  SetTextColour(false);
  QPlainTextEdit::focusOutEvent(event);
}

void CTipEdit::SetTextColour(bool focused) {
  QPalette colours = palette();
  colours.setColor(QPalette::Base, Qt::white);
  colours.setColor(QPalette::Text, focused ? QColor(Qt::black) : QColor(kUnfocusedText));
  setPalette(colours);
}
