#pragma once
// FCButtonAnimation: a skin button whose hover face fades in over `max step` ticks when the
// mouse enters and fades out over `max step` x `out-scale` ticks when it leaves. Re-entering
// during a fade continues from the same opacity (the step is rescaled between the two
// lengths). An interval or maximum step of 0 disables the animation. A button checked by its
// owner (SetCheck) shows `checked_state_3image` instead, when the skin gives one (the
// maximise button's restore face).
#include "image/fade_filter.h"
#include "skin/button_base.h"
#include "platform/timer_notify.h"

#include <QPointer>

class FCButtonAnimation;

/// The fade timer of one animated button; ticks on the user-interface thread.
class FCMouseTrackAnimationTimer : public FCTimerNotify {
public:
  void OnTimerNotify() override;
  /// Steps of the fade now running: max step fading in, max step x out-scale fading out.
  int OutMaxStep() const { return static_cast<int>(max_step * out_scale); }

  QPointer<QWidget> button;
  int step = 0;
  int direction = 1; ///< 1 fading in, 0 fading out
  int interval = 10;
  int max_step = 10;
  double out_scale = 1.0;
};

class FCButtonAnimation : public FCButtonBase {
  Q_OBJECT
public:
  /// The fade filter of one drawing.
  using FCCS_Animation = FCFadeFilter;

  explicit FCButtonAnimation(QWidget* parent = nullptr);
  void Load(const QDomElement& element, const QString& folder);

  void OnMouseEnter() override;
  void OnMouseLeave() override;

  FCMouseTrackAnimationTimer& Timer() { return timer_; }
  /// The step count the hover face is drawn against now (never 0).
  int TotalSteps() const;

protected:
  void DrawButton(QPainter& painter, int left, int top, int right, int bottom) override;

private:
  void StartFade();

  FCSkinImage states_[3];
  FCSkinImage checked_states_[3];
  FCMouseTrackAnimationTimer timer_;
};
