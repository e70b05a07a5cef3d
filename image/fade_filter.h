#pragma once
// FCFadeFilter: the fade of the animated skin button (FCButtonAnimation::FCCS_Animation).
// FilterImage runs the inner filter first (when there is one), converts the picture to 32 bits
// and scales every alpha byte to a * step / stepCount (multiplied first, then truncated).
#include "image/draw_filter.h"

class FCFadeFilter : public FCDrawFilter {
public:
  /// `stepCount` 0 is taken as 1; `inner` is not owned and may be null.
  FCFadeFilter(int step, int stepCount, FCDrawFilter* inner)
      : step_(step), stepCount_(stepCount ? stepCount : 1), inner_(inner) {}
  void FilterImage(FCObjImage& img) override;

  int Step() const { return step_; }
  int StepCount() const { return stepCount_; }

private:
  int step_;
  int stepCount_;
  FCDrawFilter* inner_;
};
