#pragma once
// FCButton3Image: a skin button whose face is one of three state pictures (normal, hover,
// pressed) cut from `state_3image`, stretched over the button.
#include "skin/button_base.h"

class FCButton3Image : public FCButtonBase {
  Q_OBJECT
public:
  using FCButtonBase::FCButtonBase;
  void Load(const QDomElement& element, const QString& folder);
  const FCSkinImage* States() const { return states_; }

protected:
  void DrawButton(QPainter& painter, int left, int top, int right, int bottom) override;

private:
  FCSkinImage states_[3];
};
