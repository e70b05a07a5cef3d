#pragma once
// Pictures of the demo comic site, drawn with QPainter on QImage only: no fonts, so no
// QGuiApplication is needed. Numbers are drawn as seven-segment digits.
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>

namespace demo_site {

/// Size of every comic page image: above the 301 × 401 a reader takes for a page image.
inline constexpr QSize kPageSize{720, 1020};

/// A comic page: coloured background by page, panel frames, and the page number in big
/// digits with "chapter-page" in small digits at the top.
QImage PaintComicPage(int chapter, int page, int pageCount);

/// A decoration (logo, banner, side advert) of the given size, with `number` in its middle.
QImage PaintDecoration(QSize size, QColor colour, int number);

/// Draws `number` in seven-segment digits, centred in `box`, into `image`.
void PaintNumber(QImage& image, const QRect& box, int number, QColor colour);

/// Encodes `image` as "PNG" or "JPEG"; empty on failure.
QByteArray Encode(const QImage& image, const char* format);

} // namespace demo_site
