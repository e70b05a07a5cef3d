#pragma once
// FCButtonBase: the owner-drawn skin button. Every paint renders into an off-screen picture of
// the button's size (background from its fill, or from the parent panel for fill type 0;
// then the face drawn by DrawButton with the default control font) and copies it in one go.
// It tracks hovering, shows a tooltip while the mouse is over it, and keeps a check state
// that only its owner changes (SetCheck): a click is reported to the parent as a command
// (FCCommandEvent with the button's control identifier and BN_CLICKED) and changes nothing.
#include "common/auto_ptr_list.h"
#include "skin/attribute_draw_filter.h"
#include "skin/attribute_fill.h"
#include "skin/tool_tip.h"
#include "skin/track_mouse_hover.h"

#include <QAbstractButton>
#include <QCursor>
#include <QDomElement>
#include <memory>
#include <optional>

class FCButtonBase : public QAbstractButton,
                     public FCTrackMouseHover,
                     public FCAttribute_DrawFilter {
  Q_OBJECT
public:
  explicit FCButtonBase(QWidget* parent = nullptr);
  ~FCButtonBase() override;

  /// Reads `tooltip` (a "lang:SECTION/KEY" reference or the text itself; "\n" as two
  /// characters is a line break), the background fill and
  /// `draw_filter`. Every image button's Load calls it first.
  void LoadButtonAttributes(const QDomElement& element, const QString& folder);

  int GetCheck() const { return check_; }
  /// Stores the state and repaints.
  void SetCheck(int state);

  void SetTooltipText(const QString& text) { tooltip_text_ = text; }
  QString TooltipText() const { return tooltip_text_; }
  void SetTooltipStyle(int style) { tooltip_style_ = style; }
  void SetTooltipDelay(int ms) { tooltip_delay_ = ms; }
  /// The cursor shown over the button; none keeps the parent's.
  void SetButtonCursor(const std::optional<QCursor>& cursor);
  /// The tooltip control while the mouse is over the button (for tests), else null.
  const FCToolTip* ToolTip() const { return tooltip_.get(); }
  const FCAttribute_Fill* Background() const { return background_.get(); }

  /// Renders the whole button (background and face) as it would be painted.
  QImage RenderButton();

  void OnMouseEnter() override;
  void OnMouseLeave() override;

protected:
  /// Draws the face over the rectangle; the painter already holds the background and the
  /// default control font. The base draws nothing.
  virtual void DrawButton(QPainter& painter, int left, int top, int right, int bottom) {}
  /// True when the pressed face is to be shown: pushed or checked.
  bool ShowsPressed() const { return isDown() || check_ != 0; }

  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void nextCheckState() override {}

private:
  void Render(QPainter& painter);

  int tooltip_style_ = FCToolTip::TTS_ALWAYSTIP;
  int check_ = 0;
  QString tooltip_text_;
  int tooltip_delay_ = 250;
  std::optional<QCursor> cursor_;
  std::unique_ptr<FCAttribute_Fill> background_;
  std::unique_ptr<FCToolTip> tooltip_;
};

/// Loads `fileName` (relative to `folder`) and cuts it into three equal states side by side
/// (normal, hover, pressed). A picture whose width is not a multiple of 3 gives no states.
void CutStateImage(const QString& folder, const QString& fileName, FCSkinImage* states3);

/// The state piece to draw: pressed when pushed or checked, else hover while hovering, else
/// normal.
const FCSkinImage& ChooseState(const FCSkinImage* states3, bool pressed, bool hovering);
