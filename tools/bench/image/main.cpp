// Loads a 1920 x 1080 PNG with alpha and draws it premultiplied into a widget-sized image, as a
// skin background is drawn; prints milliseconds per step (median of several runs).
#include "image/image_effect.h"
#include "image/obj_image.h"
#include "image/skin_image.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double MedianMs(int runs, const std::function<void()>& step) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer timer;
    timer.start();
    step();
    times.push_back(timer.nsecsElapsed() / 1e6);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

QImage TestPicture() {
  QImage picture(1920, 1080, QImage::Format_ARGB32);
  for (int y = 0; y < picture.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = 0; x < picture.width(); ++x)
      line[x] = qRgba(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF, (x + y) & 0xFF);
  }
  return picture;
}

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QTemporaryDir dir;
  const QString path = dir.filePath("background.png");
  if (!TestPicture().save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return 1;
  }
  const int runs = 7;
  FCObjImage loaded;
  const double loadMs = MedianMs(runs, [&] { loaded.LoadFromFile(path); });
  if (!loaded.IsValidImage() || loaded.ColorBits() != 32) {
    std::fprintf(stderr, "load failed\n");
    return 1;
  }
  FCSkinImage skin;
  skin.SetFromImage(loaded);
  QImage widget(1024, 640, QImage::Format_ARGB32_Premultiplied);
  const double drawMs = MedianMs(runs, [&] {
    widget.fill(Qt::white);
    QPainter painter(&widget);
    skin.DrawTo(painter, 0, 0, widget.width(), widget.height());
  });
  FCObjImage copy = loaded;
  const double premultiplyMs = MedianMs(runs, [&] {
    copy = loaded;
    FCEffectPremultipleAlpha effect;
    copy.ApplyEffect(effect);
  });
  std::printf("load 1920x1080 PNG with alpha:           %8.2f ms\n", loadMs);
  std::printf("copy + premultiply 1920x1080:           %8.2f ms\n", premultiplyMs);
  std::printf("draw premultiplied into 1024x640 image: %8.2f ms (copy, premultiply, scale)\n",
              drawMs);
  return 0;
}
