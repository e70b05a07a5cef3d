#pragma once
// FCTrackMouseHover: the hover state of a window. The window feeds its events to
// HandleHoverEvent first: the first mouse move while not hovering sets the state
// and calls OnMouseEnter; leaving the window clears it and calls OnMouseLeave. The window is
// repainted on both changes.
class QEvent;
class QWidget;

class FCTrackMouseHover {
public:
  virtual ~FCTrackMouseHover() = default;
  virtual void OnMouseEnter() {}
  virtual void OnMouseLeave() {}

  bool IsHovering() const { return hovering_; }

protected:
  void HandleHoverEvent(QWidget* window, QEvent* e);

private:
  bool hovering_ = false;
};
