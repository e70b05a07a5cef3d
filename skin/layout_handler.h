#pragma once
// Layouts of FCListWindow: they place the items (content coordinates) and set up the
// vertical scroll bar.
#include <vector>

class FCListItem_Base;
class FCListWindow;

class FCLayout_HandlerBase {
public:
  virtual ~FCLayout_HandlerBase() = default;
  virtual void Layout(FCListWindow& window, const std::vector<FCListItem_Base*>& items) = 0;
};

/// A grid of `items_per_line` columns and lines `line_height` pixels high. The item width is
/// the usable width (the client width for the scroll bar state after the layout) divided by
/// the items per line. The scroll bar appears when the content is taller than the client.
class FCLayout_FixLineCount : public FCLayout_HandlerBase {
public:
  /// Lines taller than this are cut to it: item rectangles and the content height stay far
  /// inside the int range even for a line height from a malformed skin.
  static constexpr int kMaxLineHeight = 4096;

  /// Values below 1 are taken as 1; a line height above kMaxLineHeight as kMaxLineHeight.
  FCLayout_FixLineCount(int itemsPerLine, int lineHeight);
  void Layout(FCListWindow& window, const std::vector<FCListItem_Base*>& items) override;

  int ItemsPerLine() const { return items_per_line_; }
  int LineHeight() const { return line_height_; }

private:
  int items_per_line_;
  int line_height_;
};
