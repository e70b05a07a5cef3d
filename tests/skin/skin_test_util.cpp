#include "skin_test_util.h"

#include <QFile>
#include <QPainter>

namespace skin_test {

QString WriteBlocks(const QString& folder, const QString& name, int columns, int rows,
                    QSize block, const QList<QColor>& colours) {
  QImage image(columns * block.width(), rows * block.height(), QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  for (int i = 0; i < columns * rows && i < colours.size(); ++i)
    painter.fillRect(QRect((i % columns) * block.width(), (i / columns) * block.height(),
                           block.width(), block.height()),
                     colours[i]);
  painter.end();
  image.save(folder + "/" + name, "PNG");
  return name;
}

QString WriteSolid(const QString& folder, const QString& name, QSize size, QColor colour) {
  return WriteBlocks(folder, name, 1, 1, size, {colour});
}

QString WriteText(const QString& folder, const QString& name, const QString& text) {
  const QString path = folder + "/" + name;
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(text.toUtf8());
  return path;
}

QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) | 0xFF000000u; }

} // namespace skin_test
