#include "skin/attribute_position.h"

namespace {

int NewPosition(int mode, int pos, int delta, int size, int newParentSize, int toCenter) {
  switch (mode) {
  case 0: return pos + delta;
  case 2: return (newParentSize - size) / 2; // C++ division truncates toward zero
  case 3: return newParentSize / 2 + toCenter;
  default: return pos;
  }
}

} // namespace

void FCAttribute_Position::OnParentResize(int oldWidth, int oldHeight, int newWidth,
                                          int newHeight) {
  const int dx = newWidth - oldWidth;
  const int dy = newHeight - oldHeight;
  if (resize_x_mode == 0) width += dx;
  if (resize_y_mode == 0) height += dy;
  x = NewPosition(position_x_mode, x, dx, width, newWidth, to_center_x);
  y = NewPosition(position_y_mode, y, dy, height, newHeight, to_center_y);
}
