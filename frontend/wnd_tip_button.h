#pragma once
// CWndTipButton: the small help icon beside a dialog field. It takes no focus and does nothing
// when clicked; hovering shows its tooltip. It draws the current skin's "tip" picture over the
// button face: at its own size, or scaled down with its aspect ratio kept when it is larger
// than the button, centred.
#include <QAbstractButton>
#include <QImage>

class CWndTipButton : public QAbstractButton {
  Q_OBJECT
public:
  explicit CWndTipButton(QWidget* parent = nullptr);

  /// The hover text.
  void SetTipText(const QString& text) { setToolTip(text); }
  QString TipText() const { return toolTip(); }
  /// Whether the skin's "tip" picture was loaded (without it only the face is drawn).
  bool HasPicture() const { return !picture_.isNull(); }

  QSize sizeHint() const override { return {20, 20}; }

  /// Where a picture of `picture` size is drawn inside `box`.
  static QRect FitRect(QSize picture, const QRect& box);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QImage picture_;
};
