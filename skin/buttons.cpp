// The three image buttons of the skin.
#include "skin/button_3image.h"
#include "skin/button_animation.h"
#include "skin/button_check.h"

#include "common/skin_loader.h"
#include "skin/xml_attributes.h"

#include <QPainter>

void FCButton3Image::Load(const QDomElement& element, const QString& folder) {
  LoadButtonAttributes(element, folder);
  CutStateImage(folder, skin_xml::ReadText(element, "state_3image"), states_);
}

void FCButton3Image::DrawButton(QPainter& painter, int left, int top, int right, int bottom) {
  ChooseState(states_, ShowsPressed(), IsHovering())
      .DrawTo(painter, left, top, right, bottom, ActiveDrawFilter());
}

void FCButtonCheck::Load(const QDomElement& element, const QString& folder) {
  LoadButtonAttributes(element, folder);
  const QString mark = skin_xml::ReadText(element, "image");
  if (mark.isEmpty()) mark_.Clear();
  else mark_.LoadFromFile(folder, mark);
  CutStateImage(folder, skin_xml::ReadText(element, "state_3image"), states_);
  label_ = FCSkinLoader::SkinText(skin_xml::ReadText(element, "text"));
}

void FCButtonCheck::DrawButton(QPainter& painter, int left, int top, int right, int bottom) {
  const int w0 = states_[0].Width();
  const int h0 = states_[0].Height();
  ChooseState(states_, ShowsPressed(), IsHovering())
      .DrawTo(painter, 0, 0, w0, h0, ActiveDrawFilter());
  if (GetCheck()) mark_.DrawTo(painter, 0, 0, mark_.Width(), mark_.Height());
  const QRect textRect(left + w0, top, right - left - w0, bottom - top);
  const QString shown =
      painter.fontMetrics().elidedText(label_, Qt::ElideRight, qMax(0, textRect.width()));
  painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

FCButtonAnimation::FCButtonAnimation(QWidget* parent) : FCButtonBase(parent) {
  timer_.button = this;
}

void FCButtonAnimation::Load(const QDomElement& element, const QString& folder) {
  LoadButtonAttributes(element, folder);
  CutStateImage(folder, skin_xml::ReadText(element, "state_3image"), states_);
  const QString checked = skin_xml::ReadText(element, "checked_state_3image");
  if (!checked.isEmpty()) CutStateImage(folder, checked, checked_states_);
  skin_xml::ReadInt(element, "mouse_track_animation_interval", timer_.interval);
  skin_xml::ReadInt(element, "mouse_track_animation_max_step", timer_.max_step);
  skin_xml::ReadDouble(element, "mouse_track_animation_out_scale", timer_.out_scale);
}

void FCButtonAnimation::StartFade() {
  if (timer_.interval > 0 && timer_.max_step != 0) timer_.StartTimer(timer_.interval);
}

void FCButtonAnimation::OnMouseEnter() {
  FCButtonBase::OnMouseEnter();
  timer_.StopTimer();
  // Continue from the same opacity: step of the fade-out scaled back to the fade-in length.
  if (timer_.out_scale != 0) timer_.step = static_cast<int>(timer_.step / timer_.out_scale);
  timer_.direction = 1;
  StartFade();
}

void FCButtonAnimation::OnMouseLeave() {
  FCButtonBase::OnMouseLeave();
  timer_.StopTimer();
  timer_.step = static_cast<int>(timer_.step * timer_.out_scale);
  timer_.direction = 0;
  StartFade();
}

void FCMouseTrackAnimationTimer::OnTimerNotify() {
  if (direction == 1) {
    if (++step >= max_step) StopTimer();
    step = qBound(0, step, qMax(0, max_step));
  } else {
    if (--step <= 0) StopTimer();
    step = qBound(0, step, qMax(0, OutMaxStep()));
  }
  if (button) button->update();
}

int FCButtonAnimation::TotalSteps() const {
  const int total = timer_.direction == 1 ? timer_.max_step : timer_.OutMaxStep();
  return total == 0 ? 1 : total;
}

void FCButtonAnimation::DrawButton(QPainter& painter, int left, int top, int right, int bottom) {
  const FCSkinImage* states =
      GetCheck() != 0 && !checked_states_[0].IsEmpty() ? checked_states_ : states_;
  if (ShowsPressed()) {
    states[2].DrawTo(painter, left, top, right, bottom, ActiveDrawFilter());
    return;
  }
  states[0].DrawTo(painter, left, top, right, bottom, ActiveDrawFilter());
  FCCS_Animation fade(timer_.step, TotalSteps(), ActiveDrawFilter());
  states[1].DrawTo(painter, left, top, right, bottom, &fade);
}
