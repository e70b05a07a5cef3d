#pragma once
// FCListWindow: a scrollable child window of owner-drawn items (FCListItem_Base), placed by
// a pluggable layout. It owns its items (in display order), its layout and its tooltip
// control.
//
// Scrolling follows fixed rules: a line is 5 pixels, a page (and a wheel notch) is the height
// of item 0; the scroll range is 0 .. content height - 1 with the client height as page, and
// the position is kept within 0 .. range maximum - page + 1. Only a vertical bar exists; the
// horizontal offset is always 0.
//
// Painting renders into an off-screen picture of the client size and copies only the paint
// rectangle; only items that meet it are drawn, and items wholly outside the client area get
// OnItemHidden.
//
// Mouse presses are always taken by the list (never passed on to the window beneath). A press
// hides the tip, and no tip shows while a button is held (a drag, a menu).
#include "common/auto_ptr_list.h"
#include "skin/layout_handler.h"
#include "skin/list_item_base.h"
#include "skin/tool_tip.h"
#include "skin/track_mouse_hover.h"

#include <QWidget>
#include <memory>

class QScrollBar;

class FCListWindow : public QWidget, public FCTrackMouseHover {
  Q_OBJECT
public:
  /// Scroll request codes.
  enum ScrollCode {
    SB_LINEUP = 0,
    SB_LINEDOWN = 1,
    SB_PAGEUP = 2,
    SB_PAGEDOWN = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
  };
  struct ScrollInfo {
    int min = 0;
    int max = 0;
    int page = 0;
    int pos = 0;
  };
  static constexpr int kLineStep = 5;

  explicit FCListWindow(QWidget* parent = nullptr);
  ~FCListWindow() override;

  /// Places all items through the layout, updates the tooltips and repaints.
  void Relayout();
  void UpdateTooltips();
  /// Takes ownership; sets the item's owner. Call Relayout afterwards.
  void AddItem(FCListItem_Base* item);
  void RemoveItem(int index);
  int IndexOfItem(const FCListItem_Base* item) const;
  int ItemCount() const { return items_.Count(); }
  FCListItem_Base* Item(int index) const { return items_[index]; }
  const FCAutoPtrList<FCListItem_Base>& Items() const { return items_; }
  /// Takes ownership of the layout (replacing any previous one).
  void SetLayout(FCLayout_HandlerBase* layout);

  /// The area items are drawn in: the window without the vertical bar.
  QRect ClientRect() const;
  bool HasVScroll() const { return vscroll_shown_; }
  /// Shows or hides the bar; the position returns to 0.
  void ShowVScroll(bool show);
  void SetVScrollRange(int min, int max, int page);
  ScrollInfo VScrollInfo() const { return vinfo_; }
  int VScrollPos() const { return vscroll_shown_ ? vinfo_.pos : 0; }
  int HScrollPos() const { return 0; }
  /// The system scroll bar width.
  int ScrollBarExtent() const;
  /// Handles a scroll request for the vertical bar; `trackPos` is used by the thumb codes.
  void OnVScroll(int code, int trackPos = 0);
  /// Hover test at a client point (what a mouse move does).
  void HoverTest(const QPoint& clientPos);
  const FCToolTip* ToolTip() const { return tooltip_.get(); }

  void OnMouseEnter() override;
  void OnMouseLeave() override;

protected:
  /// Paints the list (background, then the items meeting `paintRect`).
  virtual void DrawList(QPainter& painter, const QRect& paintRect);
  /// Default: white.
  virtual void DrawListBackground(QPainter& painter, int left, int top, int right, int bottom);

  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

private:
  void PlaceScrollBar();
  void SetScrollPos(int pos);

  std::unique_ptr<FCLayout_HandlerBase> layout_;
  std::unique_ptr<FCToolTip> tooltip_;
  FCAutoPtrList<FCListItem_Base> items_;
  QScrollBar* vbar_ = nullptr;
  bool vscroll_shown_ = false;
  ScrollInfo vinfo_;
  bool syncing_bar_ = false;
};
