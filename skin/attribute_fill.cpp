#include "skin/attribute_fill.h"

#include "image/draw_filter.h"
#include "skin/xml_attributes.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

QColor ToQColor(uint32_t c, FCDrawFilter* filter) {
  if (filter) filter->FilterColor(c);
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

} // namespace

void FCAttribute_Fill::Load(const QDomElement& element, const QString& folder) {
  fill_type = FILL_SOLID;
  color = 0;
  gradient_start = 0;
  gradient_end = 0xFFFFFF;
  pieces.DeleteAll();
  if (!skin_xml::ReadInt(element, "filltype", fill_type)) return;
  const QString value = skin_xml::ReadText(element, "fillvalue");
  switch (fill_type) {
  case FILL_SOLID: {
    int rgb[3];
    if (skin_xml::ReadInts(element, "fillvalue", rgb, 3) == 3)
      color = MakeColor(rgb[0], rgb[1], rgb[2]);
    break;
  }
  case FILL_IMAGE: {
    auto* piece = new FCSkinImage;
    if (!value.isEmpty()) piece->LoadFromFile(folder, value);
    pieces.Add(piece); // kept even when empty: it then draws nothing
    break;
  }
  case FILL_GRADIENT_H:
  case FILL_GRADIENT_V: {
    int rgb[6];
    if (!value.isEmpty() && skin_xml::ReadInts(element, "fillvalue", rgb, 6) == 6) {
      gradient_start = MakeColor(rgb[0], rgb[1], rgb[2]);
      gradient_end = MakeColor(rgb[3], rgb[4], rgb[5]);
    }
    break;
  }
  case FILL_THREE_H:
  case FILL_THREE_V:
  case FILL_NINE_GRID:
    CutPieces(skin_xml::JoinPath(folder, value), fill_type);
    break;
  default:
    break;
  }
}

void FCAttribute_Fill::CutPieces(const QString& path, int type) {
  FCObjImage image;
  if (path.isEmpty() || !image.LoadFromFile(path)) return;
  const int pieceW = type == FILL_THREE_V ? image.Width() : image.Width() / 3;
  const int pieceH = type == FILL_THREE_H ? image.Height() : image.Height() / 3;
  if (pieceW <= 0 || pieceH <= 0) return;
  const int count = type == FILL_NINE_GRID ? 9 : 3;
  const int perRow = type == FILL_THREE_V ? 1 : 3;
  for (int i = 0; i < count; ++i) {
    const int left = (i % perRow) * pieceW;
    const int top = (i / perRow) * pieceH;
    FCObjImage part;
    image.CopyRegion(part, left, top, left + pieceW, top + pieceH);
    auto* piece = new FCSkinImage;
    piece->SetFromImage(part);
    pieces.Add(piece);
  }
}

void FCAttribute_Fill::DrawPiece(QPainter& painter, int index, FCDrawFilter* filter, int l,
                                 int t, int r, int b) const {
  if (const FCSkinImage* piece = pieces[index]) piece->DrawTo(painter, l, t, r, b, filter);
}

void FCAttribute_Fill::Draw(QPainter& painter, FCDrawFilter* filter, int L, int T, int R,
                            int B) const {
  switch (fill_type) {
  case FILL_SOLID:
    painter.fillRect(QRect(L, T, R - L, B - T), ToQColor(color, filter));
    break;
  case FILL_IMAGE:
    if (pieces.Count() == 1) DrawPiece(painter, 0, filter, L, T, R, B);
    break;
  case FILL_GRADIENT_H:
  case FILL_GRADIENT_V: {
    QLinearGradient gradient(L, T, fill_type == FILL_GRADIENT_H ? R : L,
                             fill_type == FILL_GRADIENT_H ? T : B);
    gradient.setColorAt(0, ToQColor(gradient_start, filter));
    gradient.setColorAt(1, ToQColor(gradient_end, filter));
    painter.fillRect(QRect(L, T, R - L, B - T), gradient);
    break;
  }
  case FILL_THREE_H:
    if (pieces.Count() == 3) {
      const int w0 = pieces[0]->Width();
      DrawPiece(painter, 0, filter, L, T, L + w0, B);
      DrawPiece(painter, 1, filter, L + w0, T, R - w0, B);
      DrawPiece(painter, 2, filter, R - w0, T, R, B);
    }
    break;
  case FILL_THREE_V:
    if (pieces.Count() == 3) {
      const int h0 = pieces[0]->Height();
      DrawPiece(painter, 0, filter, L, T, R, T + h0);
      DrawPiece(painter, 1, filter, L, T + h0, R, B - h0);
      DrawPiece(painter, 2, filter, L, B - h0, R, B);
    }
    break;
  case FILL_NINE_GRID:
    if (pieces.Count() == 9) {
      const int w0 = pieces[0]->Width();
      const int h0 = pieces[0]->Height();
      const int cols[4] = {L, L + w0, R - w0, R};
      const int rows[4] = {T, T + h0, B - h0, B};
      for (int k = 0; k < 9; ++k)
        DrawPiece(painter, k, filter, cols[k % 3], rows[k / 3], cols[k % 3 + 1],
                  rows[k / 3 + 1]);
    }
    break;
  default:
    break;
  }
}
