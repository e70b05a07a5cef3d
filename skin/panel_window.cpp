#include "skin/panel_window.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>

namespace panel_window {

bool ReadDescription(const QString& path, Description& out) {
  QFile file(path);
  // Descriptions are small; a huge file is not one.
  if (!file.open(QIODevice::ReadOnly) || file.size() > (16 << 20)) return false;
  if (!out.document.setContent(&file)) return false;
  out.root = out.document.documentElement();
  if (out.root.isNull()) return false;
  out.panel = skin_xml::FirstChild(out.root, "panel");
  if (out.panel.isNull()) return false;
  out.folder = QFileInfo(path).absolutePath() + QLatin1Char('/');
  return true;
}

QRegion MaskRegion(const FCAttribute_Fill& mask, const QSize& size) {
  if (size.isEmpty()) return QRegion();
  QImage image(size, QImage::Format_RGB32);
  if (image.isNull()) return QRegion(QRect(QPoint(0, 0), size));
  image.fill(Qt::black);
  {
    QPainter painter(&image);
    mask.Draw(painter, nullptr, image.rect());
  }
  // The kept runs of each row (blue not 0), in row order: the bands QRegion::setRects wants.
  QList<QRect> kept;
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    int x = 0;
    while (x < image.width()) {
      const bool keep = qBlue(line[x]) != 0;
      int end = x;
      while (end < image.width() && (qBlue(line[end]) != 0) == keep) ++end;
      if (keep) kept.append(QRect(x, y, end - x, 1));
      x = end;
    }
  }
  QRegion region;
  region.setRects(kept.constData(), static_cast<int>(kept.size()));
  return region;
}

Qt::Edges EdgesOf(int hitTest) {
  switch (hitTest) {
  case HTLEFT: return Qt::LeftEdge;
  case HTRIGHT: return Qt::RightEdge;
  case HTTOP: return Qt::TopEdge;
  case HTBOTTOM: return Qt::BottomEdge;
  case HTTOPLEFT: return Qt::TopEdge | Qt::LeftEdge;
  case HTTOPRIGHT: return Qt::TopEdge | Qt::RightEdge;
  case HTBOTTOMLEFT: return Qt::BottomEdge | Qt::LeftEdge;
  case HTBOTTOMRIGHT: return Qt::BottomEdge | Qt::RightEdge;
  default: return {};
  }
}

int BorderHitTest(const QSize& windowSize, const QPoint& pos) {
  const QRect window(QPoint(0, 0), windowSize);
  if (!window.contains(pos)) return 0;
  const int w = windowSize.width(), h = windowSize.height();
  if (QRect(0, 0, 10, 10).contains(pos)) return HTTOPLEFT;
  if (QRect(w - 10, 0, 10, 10).contains(pos)) return HTTOPRIGHT;
  if (QRect(0, h - 10, 10, 10).contains(pos)) return HTBOTTOMLEFT;
  if (QRect(w - 10, h - 10, 10, 10).contains(pos)) return HTBOTTOMRIGHT;
  const QRect inner = window.adjusted(4, 4, -4, -4);
  if (!inner.contains(pos)) {
    if (pos.x() < inner.left()) return HTLEFT;
    if (pos.y() < inner.top()) return HTTOP;
    if (pos.x() > inner.right()) return HTRIGHT;
    return HTBOTTOM;
  }
  return HTCAPTION;
}

} // namespace panel_window
