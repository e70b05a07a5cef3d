// skin_art: draws every picture of the default skin (dist/skin/default/) with QPainter.
//
//   skin_art <output folder>
//
// The look: a light, calm window with a blue title band, flat toolbar icons that light up on
// hover, round state badges in the task list and a slim blue progress bar. Every picture is
// plain geometry, so the skin can be redrawn at will; the PNG files are committed beside the
// panel description that names them.
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <functional>
#include <list>

#include <Magick++.h>

namespace {

QString out_folder;

const QColor kAccent(47, 109, 181);
const QColor kAccentDark(36, 88, 150);
const QColor kInk(68, 84, 106);
const QColor kWindow(244, 246, 249);
const QColor kBorder(169, 181, 197);

bool Save(const QImage& image, const QString& name) {
  const QString path = out_folder + "/" + name;
  if (!image.save(path, "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

QImage Canvas(int w, int h, const QColor& fill = Qt::transparent) {
  QImage image(w, h, QImage::Format_ARGB32);
  image.fill(fill);
  return image;
}

void Smooth(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
}

QPen Stroke(const QColor& colour, double width = 2.0) {
  return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// --- window frame, mask, bands ------------------------------------------------------------------

void DrawFrame() {
  // Nine-grid of 8-pixel pieces: a rounded 1-pixel border around the window colour.
  QImage frame = Canvas(24, 24, kBorder);
  QPainter p(&frame);
  Smooth(p);
  p.setPen(Qt::NoPen);
  p.setBrush(kWindow);
  p.drawRoundedRect(QRectF(1, 1, 22, 22), 7, 7);
  p.end();
  Save(frame, "frame.png");

  // The window shape: white inside a rounded rectangle, black (cut away) outside.
  QImage mask = Canvas(24, 24, Qt::black);
  QPainter m(&mask);
  m.setRenderHint(QPainter::Antialiasing, false);
  m.setPen(Qt::NoPen);
  m.setBrush(Qt::white);
  QPainterPath path;
  path.addRoundedRect(QRectF(0, 0, 24, 24), 8, 8);
  m.drawPath(path);
  m.end();
  Save(mask, "mask.png");
}

void DrawHeader() {
  // Three-slice band of the title: 8-pixel pieces, 44 pixels high.
  QImage band = Canvas(24, 44);
  QPainter p(&band);
  QLinearGradient g(0, 0, 0, 44);
  g.setColorAt(0, QColor(60, 124, 196));
  g.setColorAt(1, QColor(44, 99, 165));
  p.fillRect(band.rect(), g);
  p.fillRect(QRect(0, 43, 24, 1), QColor(34, 80, 136));
  p.end();
  Save(band, "header.png");
}

void DrawToolbar() {
  QImage band = Canvas(24, 56);
  QPainter p(&band);
  QLinearGradient g(0, 0, 0, 56);
  g.setColorAt(0, QColor(255, 255, 255));
  g.setColorAt(1, QColor(239, 242, 246));
  p.fillRect(band.rect(), g);
  p.fillRect(QRect(0, 55, 24, 1), QColor(219, 225, 233));
  p.end();
  Save(band, "toolbar.png");
}

void DrawStatusBar() {
  // Three-slice, 16-pixel pieces: a hairline on top; the right piece carries the size grip.
  QImage band = Canvas(48, 34, kWindow);
  QPainter p(&band);
  Smooth(p);
  p.fillRect(QRect(0, 0, 48, 1), QColor(221, 226, 233));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(176, 187, 201));
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col <= row; ++col)
      p.drawEllipse(QPointF(48 - 4 - col * 4, 34 - 4 - (2 - row) * 4), 1.1, 1.1);
  p.end();
  Save(band, "statusbar.png");
}

void DrawListFrame() {
  QImage frame = Canvas(9, 9, Qt::white);
  QPainter p(&frame);
  p.setPen(QColor(200, 209, 221));
  p.drawRect(0, 0, 8, 8);
  p.end();
  Save(frame, "list_frame.png");
}

// --- buttons ------------------------------------------------------------------------------------

using Icon = std::function<void(QPainter&, const QRectF&, const QColor&)>;

// Three states side by side: normal, hover, pressed.
void DrawToolButton(const QString& name, const Icon& icon) {
  const int w = 44, h = 40;
  QImage image = Canvas(w * 3, h);
  QPainter p(&image);
  Smooth(p);
  const QColor faces[3] = {Qt::transparent, QColor(226, 235, 247), QColor(203, 221, 242)};
  const QColor inks[3] = {kInk, kAccent, kAccentDark};
  for (int s = 0; s < 3; ++s) {
    const QRectF cell(s * w, 0, w, h);
    if (s > 0) {
      p.setPen(s == 2 ? QPen(QColor(168, 196, 230), 1) : Qt::NoPen);
      p.setBrush(faces[s]);
      p.drawRoundedRect(cell.adjusted(2.5, 2.5, -2.5, -2.5), 6, 6);
    }
    const QRectF glyph(cell.center().x() - 10, cell.center().y() - 10, 20, 20);
    icon(p, glyph.translated(0, s == 2 ? 1 : 0), inks[s]);
  }
  p.end();
  Save(image, name);
}

void DrawCaptionButton(const QString& name, const Icon& icon, const QColor& hover) {
  const int w = 34, h = 28;
  QImage image = Canvas(w * 3, h);
  QPainter p(&image);
  Smooth(p);
  for (int s = 0; s < 3; ++s) {
    const QRectF cell(s * w, 0, w, h);
    if (s > 0) {
      QColor face = hover;
      if (s == 2) face = face.darker(120);
      p.setPen(Qt::NoPen);
      p.setBrush(face);
      p.drawRoundedRect(cell.adjusted(2, 2, -2, -2), 5, 5);
    }
    const QRectF glyph(cell.center().x() - 7, cell.center().y() - 7, 14, 14);
    icon(p, glyph, Qt::white);
  }
  p.end();
  Save(image, name);
}

void IconPlus(QPainter& p, const QRectF& r, const QColor& c) {
  p.setPen(Stroke(c, 2.4));
  p.drawLine(QPointF(r.center().x(), r.top() + 2), QPointF(r.center().x(), r.bottom() - 2));
  p.drawLine(QPointF(r.left() + 2, r.center().y()), QPointF(r.right() - 2, r.center().y()));
}

void IconPlay(QPainter& p, const QRectF& r, const QColor& c) {
  QPainterPath path;
  path.moveTo(r.left() + 5, r.top() + 2);
  path.lineTo(r.right() - 2, r.center().y());
  path.lineTo(r.left() + 5, r.bottom() - 2);
  path.closeSubpath();
  p.setPen(Stroke(c, 1.5));
  p.setBrush(c);
  p.drawPath(path);
}

void IconStop(QPainter& p, const QRectF& r, const QColor& c) {
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawRoundedRect(QRectF(r.left() + 4, r.top() + 3, 4.5, r.height() - 6), 1.5, 1.5);
  p.drawRoundedRect(QRectF(r.right() - 8.5, r.top() + 3, 4.5, r.height() - 6), 1.5, 1.5);
}

void IconTrash(QPainter& p, const QRectF& r, const QColor& c) {
  p.setPen(Stroke(c, 1.8));
  p.setBrush(Qt::NoBrush);
  p.drawLine(QPointF(r.left() + 2, r.top() + 5), QPointF(r.right() - 2, r.top() + 5));
  p.drawLine(QPointF(r.center().x() - 3, r.top() + 2), QPointF(r.center().x() + 3, r.top() + 2));
  QPainterPath can;
  can.moveTo(r.left() + 4, r.top() + 5);
  can.lineTo(r.left() + 5.5, r.bottom() - 1);
  can.lineTo(r.right() - 5.5, r.bottom() - 1);
  can.lineTo(r.right() - 4, r.top() + 5);
  p.drawPath(can);
  p.drawLine(QPointF(r.center().x() - 2.5, r.top() + 9), QPointF(r.center().x() - 2.2, r.bottom() - 4));
  p.drawLine(QPointF(r.center().x() + 2.5, r.top() + 9), QPointF(r.center().x() + 2.2, r.bottom() - 4));
}

void IconSearch(QPainter& p, const QRectF& r, const QColor& c) {
  p.setPen(Stroke(c, 2.2));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QRectF(r.left() + 2, r.top() + 2, 11, 11));
  p.drawLine(QPointF(r.left() + 11.5, r.top() + 11.5), QPointF(r.right() - 2, r.bottom() - 2));
}

void IconGear(QPainter& p, const QRectF& r, const QColor& c) {
  p.save();
  p.translate(r.center());
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  for (int i = 0; i < 8; ++i) {
    p.drawRoundedRect(QRectF(-2, -9, 4, 5), 1, 1);
    p.rotate(45);
  }
  p.setPen(Stroke(c, 2.6));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(0, 0), 5.2, 5.2);
  p.restore();
}

void IconList(QPainter& p, const QRectF& r, const QColor& c) {
  for (int i = 0; i < 3; ++i) {
    const double y = r.top() + 4 + i * 6;
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(r.left() + 3.5, y), 1.6, 1.6);
    p.setPen(Stroke(c, 2.0));
    p.drawLine(QPointF(r.left() + 8, y), QPointF(r.right() - 2, y));
  }
}

void IconMenu(QPainter& p, const QRectF& r, const QColor& c) {
  p.setPen(Stroke(c, 1.8));
  for (int i = 0; i < 3; ++i) {
    const double y = r.top() + 2.5 + i * 4.5;
    p.drawLine(QPointF(r.left() + 1, y), QPointF(r.right() - 1, y));
  }
}

void IconMinimise(QPainter& p, const QRectF& r, const QColor& c) {
  p.setPen(Stroke(c, 1.6));
  p.drawLine(QPointF(r.left() + 2, r.center().y() + 1), QPointF(r.right() - 2, r.center().y() + 1));
}

void IconMaximise(QPainter& p, const QRectF& r, const QColor& c) {
  p.setPen(Stroke(c, 1.5));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(r.adjusted(2.5, 2.5, -2.5, -2.5), 1.5, 1.5);
}

// Two overlapping windows: what the maximise button shows while the window is maximised.
void IconRestore(QPainter& p, const QRectF& r, const QColor& c) {
  p.setPen(Stroke(c, 1.4));
  p.setBrush(Qt::NoBrush);
  const QRectF back = r.adjusted(4.5, 2.5, -2.5, -4.5);
  p.drawLine(back.topLeft(), back.topRight());
  p.drawLine(back.topRight(), back.bottomRight());
  p.drawRoundedRect(r.adjusted(2.5, 4.5, -4.5, -2.5), 1.2, 1.2);
}

void IconClose(QPainter& p, const QRectF& r, const QColor& c) {
  p.setPen(Stroke(c, 1.7));
  p.drawLine(r.topLeft() + QPointF(2.5, 2.5), r.bottomRight() - QPointF(2.5, 2.5));
  p.drawLine(QPointF(r.right() - 2.5, r.top() + 2.5), QPointF(r.left() + 2.5, r.bottom() - 2.5));
}

void DrawCheckBox() {
  const int s = 16;
  QImage box = Canvas(s * 3, s);
  QPainter p(&box);
  Smooth(p);
  const QColor borders[3] = {QColor(154, 168, 186), kAccent, kAccentDark};
  const QColor faces[3] = {Qt::white, QColor(240, 245, 252), QColor(220, 232, 247)};
  for (int i = 0; i < 3; ++i) {
    p.setPen(QPen(borders[i], 1.2));
    p.setBrush(faces[i]);
    p.drawRoundedRect(QRectF(i * s + 1.5, 1.5, s - 3, s - 3), 3, 3);
  }
  p.end();
  Save(box, "check_box.png");

  QImage mark = Canvas(s, s);
  QPainter m(&mark);
  Smooth(m);
  m.setPen(Qt::NoPen);
  m.setBrush(kAccent);
  m.drawRoundedRect(QRectF(1.5, 1.5, s - 3, s - 3), 3, 3);
  m.setPen(Stroke(Qt::white, 2.0));
  QPainterPath tick;
  tick.moveTo(4.5, 8.2);
  tick.lineTo(7, 10.8);
  tick.lineTo(11.6, 5.4);
  m.setBrush(Qt::NoBrush);
  m.drawPath(tick);
  m.end();
  Save(mark, "check_mark.png");
}

// --- task list ----------------------------------------------------------------------------------

void DrawBadge(const QString& name, const QColor& colour, const Icon& glyph) {
  QImage image = Canvas(18, 18);
  QPainter p(&image);
  Smooth(p);
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawEllipse(QRectF(1, 1, 16, 16));
  glyph(p, QRectF(1, 1, 16, 16), Qt::white);
  p.end();
  Save(image, name);
}

void DrawListPictures() {
  DrawBadge("state_running.png", QColor(47, 109, 181), [](QPainter& p, const QRectF& r, const QColor& c) {
    QPainterPath arrow;
    p.setPen(Stroke(c, 1.8));
    p.drawLine(QPointF(r.center().x(), r.top() + 3.5), QPointF(r.center().x(), r.bottom() - 4.5));
    arrow.moveTo(r.center().x() - 3.5, r.center().y() + 0.5);
    arrow.lineTo(r.center().x(), r.bottom() - 4);
    arrow.lineTo(r.center().x() + 3.5, r.center().y() + 0.5);
    p.setBrush(Qt::NoBrush);
    p.drawPath(arrow);
  });
  DrawBadge("state_stop.png", QColor(140, 151, 166), [](QPainter& p, const QRectF& r, const QColor& c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRect(QRectF(r.center().x() - 3.5, r.top() + 4.5, 2.5, 7));
    p.drawRect(QRectF(r.center().x() + 1, r.top() + 4.5, 2.5, 7));
  });
  DrawBadge("state_wait.png", QColor(222, 156, 32), [](QPainter& p, const QRectF& r, const QColor& c) {
    p.setPen(Stroke(c, 1.6));
    p.drawLine(r.center(), QPointF(r.center().x(), r.top() + 3.5));
    p.drawLine(r.center(), QPointF(r.center().x() + 3.5, r.center().y() + 1.5));
  });
  DrawBadge("state_ok.png", QColor(46, 158, 91), [](QPainter& p, const QRectF& r, const QColor& c) {
    QPainterPath tick;
    tick.moveTo(r.left() + 4, r.center().y());
    tick.lineTo(r.left() + 7, r.center().y() + 3);
    tick.lineTo(r.right() - 3.5, r.top() + 5);
    p.setPen(Stroke(c, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
  });
  DrawBadge("state_error.png", QColor(214, 69, 69), [](QPainter& p, const QRectF& r, const QColor& c) {
    p.setPen(Stroke(c, 2.2));
    p.drawLine(QPointF(r.center().x(), r.top() + 3.5), QPointF(r.center().x(), r.center().y() + 1));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(r.center().x(), r.bottom() - 3.8), 1.3, 1.3);
  });

  // The help mark of the dialogs' tip buttons ("tip").
  DrawBadge("tip.png", QColor(47, 109, 181), [](QPainter& p, const QRectF& r, const QColor& c) {
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(12);
    p.setFont(font);
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter, QStringLiteral("?"));
  });

  // As high as a row of the default skin (a name and its folder below it).
  QImage select = Canvas(4, 40, QColor(221, 233, 248));
  QPainter s(&select);
  s.fillRect(QRect(0, 39, 4, 1), QColor(196, 216, 240));
  s.end();
  Save(select, "row_selected.png");

  QImage left = Canvas(4, 11, QColor(232, 236, 242));
  Save(left, "progress_left.png");
  QImage down = Canvas(4, 11);
  QPainter d(&down);
  QLinearGradient g(0, 0, 0, 11);
  g.setColorAt(0, QColor(104, 163, 228));
  g.setColorAt(1, QColor(52, 114, 190));
  d.fillRect(down.rect(), g);
  d.end();
  Save(down, "progress_done.png");
}

// --- drop box and icon --------------------------------------------------------------------------

void DrawBook(QPainter& p, const QRectF& r, const QColor& paper, const QColor& line) {
  // An open book seen from above: two pages meeting at the spine.
  const double mid = r.center().x();
  QPainterPath left, right;
  left.moveTo(mid, r.top() + r.height() * 0.12);
  left.cubicTo(mid - r.width() * 0.18, r.top(), mid - r.width() * 0.38, r.top(), r.left(), r.top() + r.height() * 0.08);
  left.lineTo(r.left(), r.bottom() - r.height() * 0.08);
  left.cubicTo(mid - r.width() * 0.38, r.bottom() - r.height() * 0.16, mid - r.width() * 0.18, r.bottom() - r.height() * 0.16, mid, r.bottom());
  left.closeSubpath();
  QTransform mirror;
  mirror.translate(2 * mid, 0);
  mirror.scale(-1, 1);
  right = mirror.map(left);
  p.setPen(QPen(line, 1.5));
  p.setBrush(paper);
  p.drawPath(left);
  p.drawPath(right);
}

// One picture of the drop box: the arrow `drop` pixels lower than at rest.
QImage DropBoxFrame(double drop) {
  QImage image = Canvas(88, 88);
  QPainter p(&image);
  Smooth(p);
  QLinearGradient g(0, 0, 0, 88);
  g.setColorAt(0, QColor(72, 138, 210));
  g.setColorAt(1, QColor(40, 96, 164));
  p.setPen(QPen(QColor(255, 255, 255, 200), 2));
  p.setBrush(g);
  p.drawRoundedRect(QRectF(2, 2, 84, 84), 16, 16);
  DrawBook(p, QRectF(16, 44, 56, 30), QColor(255, 255, 255), QColor(200, 220, 245));
  QPen arrow = Stroke(Qt::white, 4.5);
  p.setPen(arrow);
  p.drawLine(QPointF(44, 10 + drop), QPointF(44, 34 + drop));
  QPainterPath head;
  head.moveTo(34, 25 + drop);
  head.lineTo(44, 35 + drop);
  head.lineTo(54, 25 + drop);
  p.setBrush(Qt::NoBrush);
  p.drawPath(head);
  p.end();
  return image;
}

// The drop box is an animated GIF: the window steps through its frames while a download runs,
// so the arrow sinks into the book and rises again.
void SaveAnimation(const QList<QImage>& frames, const QString& name) {
  std::list<Magick::Image> images;
  for (const QImage& frame : frames) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    frame.save(&buffer, "PNG");
    Magick::Image image(Magick::Blob(png.constData(), size_t(png.size())));
    image.animationDelay(50);   // hundredths of a second, as the window's timer ticks
    image.gifDisposeMethod(2);  // every frame is whole: clear before the next
    image.magick("GIF");
    images.push_back(image);
  }
  const QString path = out_folder + "/" + name;
  try {
    Magick::writeImages(images.begin(), images.end(), path.toStdString());
  } catch (const Magick::Exception& e) {
    std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), e.what());
    return;
  }
  std::printf("%s\n", qPrintable(path));
}

void DrawDropBox() {
  QList<QImage> frames;
  for (double drop : {0.0, 3.0, 6.0, 3.0}) frames << DropBoxFrame(drop);
  SaveAnimation(frames, "drop.gif");

  QLinearGradient g(0, 0, 0, 88);
  g.setColorAt(0, QColor(72, 138, 210));
  g.setColorAt(1, QColor(40, 96, 164));
  QImage icon = Canvas(64, 64);
  QPainter i(&icon);
  Smooth(i);
  i.setPen(Qt::NoPen);
  i.setBrush(g);
  i.drawRoundedRect(QRectF(2, 2, 60, 60), 13, 13);
  DrawBook(i, QRectF(11, 31, 42, 22), Qt::white, QColor(200, 220, 245));
  i.setPen(Stroke(Qt::white, 4));
  i.drawLine(QPointF(32, 10), QPointF(32, 27));
  QPainterPath ihead;
  ihead.moveTo(25, 21);
  ihead.lineTo(32, 28);
  ihead.lineTo(39, 21);
  i.setBrush(Qt::NoBrush);
  i.drawPath(ihead);
  i.end();
  Save(icon, "icon.png");
}

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  Magick::InitializeMagick(argv[0]);
  if (argc < 2) {
    std::fprintf(stderr, "usage: skin_art <output folder>\n");
    return 2;
  }
  out_folder = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out_folder);
  DrawFrame();
  DrawHeader();
  DrawToolbar();
  DrawStatusBar();
  DrawListFrame();
  DrawToolButton("button_add.png", IconPlus);
  DrawToolButton("button_start.png", IconPlay);
  DrawToolButton("button_stop.png", IconStop);
  DrawToolButton("button_delete.png", IconTrash);
  DrawToolButton("button_search.png", IconSearch);
  DrawToolButton("button_setting.png", IconGear);
  DrawToolButton("button_list.png", IconList);
  DrawCaptionButton("caption_menu.png", IconMenu, QColor(255, 255, 255, 46));
  DrawCaptionButton("caption_min.png", IconMinimise, QColor(255, 255, 255, 46));
  DrawCaptionButton("caption_max.png", IconMaximise, QColor(255, 255, 255, 46));
  DrawCaptionButton("caption_restore.png", IconRestore, QColor(255, 255, 255, 46));
  DrawCaptionButton("caption_close.png", IconClose, QColor(224, 72, 72));
  DrawCheckBox();
  DrawListPictures();
  DrawDropBox();
  return 0;
}
