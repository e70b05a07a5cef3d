#pragma once
// FCListItem_Base: one owner-drawn item of an FCListWindow. Its rectangle is in content
// coordinates (before scrolling) and is set only by the list's layout; the hovered flag only
// by the list's hover test. The owner is set by whoever adds the item.
#include "skin/attribute_draw_filter.h"

#include <QRect>
#include <QString>

class FCListWindow;
class QPainter;

class FCListItem_Base : public FCAttribute_DrawFilter {
public:
  ~FCListItem_Base() override = default;

  virtual void OnItemMouseEnter() {}
  virtual void OnItemMouseLeave() {}
  /// Draws the item; the painter's origin is the item's top-left corner and the rectangle is
  /// (0, 0, width, height).
  virtual void DrawListItem(QPainter& painter, int left, int top, int right, int bottom) {}
  /// Called during a paint while the item lies wholly outside the client area.
  virtual void OnItemHidden() {}

  /// The rectangle (left, top, right, bottom) shifted by the owner's scroll positions; the
  /// unshifted rectangle without owner.
  QRect GetVisibleRect() const;
  QRect Rect() const { return QRect(left, top, right - left, bottom - top); }
  void SetRect(int l, int t, int r, int b) {
    left = l;
    top = t;
    right = r;
    bottom = b;
  }

  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  QString tooltip;
  FCListWindow* owner = nullptr;
  int selected = 0; ///< for derived lists; the list window never reads it
  int hovered = 0;
};
