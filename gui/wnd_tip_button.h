#pragma once
// CWndTipButton: the small help icon beside a dialog field, an owner-drawn skin button. It
// takes no focus and does nothing when clicked; hovering shows its tip text in the skin's
// balloon tooltip after a short delay. It draws the current skin's "tip" picture over the
// button face: at its own size, or scaled down with its aspect ratio kept when it is larger
// than the button, centred.
#include "skin/button_base.h"

#include <QImage>

class CWndTipButton : public FCButtonBase {
  Q_OBJECT
public:
  /// Tooltip look and delay: a balloon shown even when the dialog is not active, after 100 ms.
  static constexpr int kTooltipStyle = FCToolTip::TTS_ALWAYSTIP | FCToolTip::TTS_BALLOON;
  static constexpr int kTooltipDelayMs = 100;

  explicit CWndTipButton(QWidget* parent = nullptr);

  /// The hover text.
  void SetTipText(const QString& text) { SetTooltipText(text); }
  QString TipText() const { return TooltipText(); }
  /// Whether the skin's "tip" picture was loaded (without it only the face is drawn).
  bool HasPicture() const { return !picture_.isNull(); }

  QSize sizeHint() const override { return {20, 20}; }

  /// Where a picture of `picture` size is drawn inside `box`.
  static QRect FitRect(QSize picture, const QRect& box);

protected:
  void DrawButton(QPainter& painter, int left, int top, int right, int bottom) override;

private:
  QImage picture_;
};
