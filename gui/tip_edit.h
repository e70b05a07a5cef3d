#pragma once
// CTipEdit: a multi-line text box that explains itself. While it is empty and without the
// focus it holds its hint text; taking the focus removes the hint, losing it with nothing typed
// puts the hint back. Its text is black while it has the focus and grey (128, 128, 128)
// otherwise, always on white. Callers recognise the untouched box by IsShowingHint().
#include <QPlainTextEdit>

class CTipEdit : public QPlainTextEdit {
  Q_OBJECT
public:
  static constexpr QRgb kUnfocusedText = 0xFF808080;

  explicit CTipEdit(QWidget* parent = nullptr);

  /// Sets the hint (its line breaks kept as line feeds); an empty box without the focus shows
  /// it at once.
  void SetHint(const QString& hint);
  QString Hint() const { return hint_; }
  /// Whether the box holds exactly its hint (nothing of the user's).
  bool IsShowingHint() const { return !hint_.isEmpty() && toPlainText() == hint_; }

protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

private:
  void SetTextColour(bool focused);

  QString hint_;
};
