#pragma once
// FCAttribute_Fill: the background of a panel, button or window mask, read from the
// `filltype` and `fillvalue` attributes of a description element.
//
// Fill types: 0 none (a panel then shows its parent), 1 solid colour "r g b", 2 one picture
// stretched, 3 and 4 gradients "r g b r g b" left-to-right and top-to-bottom, 5 and 6
// three-slice pictures (horizontal, vertical), 7 nine-grid picture. Pictures are cut into
// pieces once, at load; pixels beyond three whole pieces are dropped.
#include "common/auto_ptr_list.h"
#include "image/skin_image.h"

#include <QDomElement>
#include <QRect>
#include <QString>
#include <cstdint>

class FCDrawFilter;
class QPainter;

class FCAttribute_Fill {
public:
  enum FillType {
    FILL_NONE = 0,
    FILL_SOLID = 1,
    FILL_IMAGE = 2,
    FILL_GRADIENT_H = 3,
    FILL_GRADIENT_V = 4,
    FILL_THREE_H = 5,
    FILL_THREE_V = 6,
    FILL_NINE_GRID = 7,
  };

  virtual ~FCAttribute_Fill() = default;

  /// Resets to solid black, then reads the element. Picture files are relative to `folder`.
  void Load(const QDomElement& element, const QString& folder);
  /// Draws into the rectangle (left, top)-(right, bottom); colours and pictures pass through
  /// `filter` when one is given. A piece count that does not fit the type draws nothing.
  void Draw(QPainter& painter, FCDrawFilter* filter, int left, int top, int right,
            int bottom) const;
  void Draw(QPainter& painter, FCDrawFilter* filter, const QRect& rect) const {
    Draw(painter, filter, rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1);
  }

  /// Colours are 0x00BBGGRR (red in the low byte).
  static uint32_t MakeColor(int r, int g, int b) {
    return uint32_t(r & 0xFF) | uint32_t(g & 0xFF) << 8 | uint32_t(b & 0xFF) << 16;
  }

  int fill_type = FILL_SOLID;
  uint32_t color = 0;
  uint32_t gradient_start = 0;
  uint32_t gradient_end = 0xFFFFFF;
  FCAutoPtrList<FCSkinImage> pieces; ///< row-major

private:
  void CutPieces(const QString& path, int type);
  void DrawPiece(QPainter& painter, int index, FCDrawFilter* filter, int l, int t, int r,
                 int b) const;
};
