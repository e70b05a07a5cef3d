#pragma once
// CWndTitle: the skin's title control. It draws the title of the window it lives in, on one
// line from the top-left corner, cut with an ellipsis when it does not fit, and repaints when
// that title changes.
#include <QAbstractButton>
#include <QPointer>

class CWndTitle : public QAbstractButton {
  Q_OBJECT
public:
  explicit CWndTitle(QWidget* parent = nullptr);

  /// The text drawn: the top-level window's title.
  QString TitleText() const;

protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  QPointer<QWidget> watched_;
};
