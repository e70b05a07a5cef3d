#pragma once
// FCAttribute_Position: where a control sits in its parent panel and how it follows a resize
// of that panel.

class FCAttribute_Position {
public:
  virtual ~FCAttribute_Position() = default;

  /// Applies a resize of the parent from (oldWidth, oldHeight) to (newWidth, newHeight):
  /// first the size (resize mode 0 grows with the parent), then x and y by position mode:
  /// 0 keeps the distance to the right/bottom edge, 2 centres, 3 puts the edge at the centre
  /// plus to_center, any other value keeps the distance to the left/top edge.
  void OnParentResize(int oldWidth, int oldHeight, int newWidth, int newHeight);

  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  int position_x_mode = 1;
  int position_y_mode = 1;
  int resize_x_mode = 1;
  int resize_y_mode = 1;
  int to_center_x = 0;
  int to_center_y = 0;
};
