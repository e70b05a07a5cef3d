#pragma once
// FCButtonCheck: a check box drawn from a three-state box picture (`state_3image`), a check
// mark picture (`image`) and a label (`text`) in the default control font.
#include "skin/button_base.h"

class FCButtonCheck : public FCButtonBase {
  Q_OBJECT
public:
  using FCButtonBase::FCButtonBase;
  void Load(const QDomElement& element, const QString& folder);
  QString Label() const { return label_; }

protected:
  void DrawButton(QPainter& painter, int left, int top, int right, int bottom) override;

private:
  FCSkinImage mark_;
  FCSkinImage states_[3];
  QString label_;
};
