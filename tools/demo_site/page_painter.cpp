#include "tools/demo_site/page_painter.h"

#include <QBuffer>
#include <QPainter>

#include <algorithm>

namespace demo_site {
namespace {

// Segments a..g of each digit, as bits 0..6.
constexpr int kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

void PaintDigit(QPainter& painter, const QRectF& cell, int digit) {
  const qreal w = cell.width(), h = cell.height(), t = w * 0.18;
  const qreal x = cell.left(), y = cell.top();
  const QRectF segments[7] = {
      {x + t, y, w - 2 * t, t},                  // a: top
      {x + w - t, y + t, t, h / 2 - 1.5 * t},    // b: upper right
      {x + w - t, y + h / 2 + t / 2, t, h / 2 - 1.5 * t}, // c: lower right
      {x + t, y + h - t, w - 2 * t, t},          // d: bottom
      {x, y + h / 2 + t / 2, t, h / 2 - 1.5 * t}, // e: lower left
      {x, y + t, t, h / 2 - 1.5 * t},            // f: upper left
      {x + t, y + h / 2 - t / 2, w - 2 * t, t},  // g: middle
  };
  for (int s = 0; s < 7; ++s)
    if (kSegments[digit] & (1 << s)) painter.drawRect(segments[s]);
}

} // namespace

void PaintNumber(QImage& image, const QRect& box, int number, QColor colour) {
  const QString digits = QString::number(number < 0 ? 0 : number);
  const int n = int(digits.size());
  // Cells of ratio 1:2 with a gap of a third of a cell, as large as the box allows.
  const qreal cellW = std::min(box.width() / (n + (n - 1) / 3.0), box.height() / 2.0);
  const qreal cellH = cellW * 2, gap = cellW / 3;
  const qreal totalW = n * cellW + (n - 1) * gap;
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  qreal x = box.center().x() - totalW / 2;
  const qreal y = box.center().y() - cellH / 2;
  for (QChar c : digits) {
    PaintDigit(painter, QRectF(x, y, cellW, cellH), c.digitValue());
    x += cellW + gap;
  }
}

QImage PaintComicPage(int chapter, int page, int pageCount) {
  QImage image(kPageSize, QImage::Format_RGB32);
  const int hue = (chapter * 137 + page * 360 / std::max(pageCount, 1)) % 360;
  const QColor paper = QColor::fromHsv(hue, 40, 250);
  const QColor ink = QColor::fromHsv(hue, 200, 90);
  image.fill(paper);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // Three rows of panels with a figure in each, as a printed page has.
    painter.setPen(QPen(ink, 6));
    const int margin = 30, rowH = (kPageSize.height() - 2 * margin - 120) / 3;
    for (int row = 0; row < 3; ++row) {
      const int top = margin + 120 + row * rowH;
      const int split = row == 1 ? kPageSize.width() / 2 : kPageSize.width() * (page % 3 + 2) / 6;
      const QRect left(margin, top + 10, split - margin - 10, rowH - 20);
      const QRect right(split + 10, top + 10, kPageSize.width() - split - margin - 10, rowH - 20);
      for (const QRect& panel : {left, right}) {
        painter.setBrush(QColor::fromHsv((hue + 30 * row) % 360, 60, 235));
        painter.drawRect(panel);
        painter.setBrush(QColor::fromHsv((hue + 180) % 360, 120, 200));
        const int r = std::min(panel.width(), panel.height()) / 5;
        painter.drawEllipse(panel.center() + QPoint(-r / 2, r / 3), r, r);
      }
    }
  }
  {
    QPainter painter(&image); // a white card under the big number keeps it readable
    painter.setPen(QPen(ink, 6));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRect(150, 380, 420, 260), 24, 24);
  }
  // "chapter page" small at the top, the page number big over the middle row.
  PaintNumber(image, QRect(30, 30, 260, 70), chapter * 1000 + page, ink);
  PaintNumber(image, QRect(180, 400, 360, 220), page, QColor(20, 20, 20));
  return image;
}

QImage PaintDecoration(QSize size, QColor colour, int number) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  {
    QPainter painter(&image);
    painter.setPen(QPen(colour.darker(160), 4));
    painter.drawRect(QRect(QPoint(2, 2), size - QSize(4, 4)));
  }
  PaintNumber(image, QRect(QPoint(0, 0), size).adjusted(8, 8, -8, -8), number, colour.darker(200));
  return image;
}

QByteArray Encode(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, format, 85)) return {};
  return bytes;
}

} // namespace demo_site
