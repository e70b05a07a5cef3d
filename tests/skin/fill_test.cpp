// Fills drawn into pictures and checked by pixel: every type, piece cutting and placement,
// and descriptions with missing or malformed values.
#include "skin/attribute_fill.h"
#include "skin_test_util.h"
#include "test_support.h"

#include <QDomDocument>
#include <QPainter>
#include <gtest/gtest.h>

using skin_test::At;
using testing_support::Sandbox;

namespace {

QDomElement Element(QDomDocument& doc, const QString& xml) {
  doc.setContent(xml);
  return doc.documentElement();
}

QImage Draw(const FCAttribute_Fill& fill, QSize size, QRect rect = {}) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::magenta);
  QPainter painter(&image);
  fill.Draw(painter, nullptr, rect.isNull() ? image.rect() : rect);
  return image;
}

TEST(Fill, MissingTypeIsSolidBlackAndSolidTakesRgb) {
  QDomDocument doc;
  FCAttribute_Fill fill;
  fill.Load(Element(doc, "<panel fillvalue='10 20 30'/>"), "/");
  EXPECT_EQ(fill.fill_type, 1);
  EXPECT_EQ(At(Draw(fill, {4, 4}), 2, 2), qRgb(0, 0, 0));
  fill.Load(Element(doc, "<panel filltype='1' fillvalue='10 20 30'/>"), "/");
  EXPECT_EQ(fill.color, 0x1E140Au); // red in the low byte
  EXPECT_EQ(At(Draw(fill, {4, 4}), 3, 3), qRgb(10, 20, 30));
  // Bad numbers keep the default instead of failing the load.
  fill.Load(Element(doc, "<panel filltype='1' fillvalue='10 x 30'/>"), "/");
  EXPECT_EQ(fill.color, 0u);
  fill.Load(Element(doc, "<panel filltype='abc'/>"), "/");
  EXPECT_EQ(fill.fill_type, 1);
}

TEST(Fill, GradientsRunFromStartToEndInTheirDirection) {
  QDomDocument doc;
  FCAttribute_Fill fill;
  fill.Load(Element(doc, "<p filltype='3' fillvalue='255 0 0 0 0 255'/>"), "/");
  QImage h = Draw(fill, {100, 10});
  EXPECT_GT(qRed(h.pixel(0, 5)), 245);
  EXPECT_LT(qBlue(h.pixel(0, 5)), 10);
  EXPECT_GT(qBlue(h.pixel(99, 5)), 245);
  EXPECT_EQ(h.pixel(50, 0), h.pixel(50, 9)); // constant down a column
  fill.Load(Element(doc, "<p filltype='4'/>"), "/"); // default: black to white
  QImage v = Draw(fill, {10, 100});
  EXPECT_LT(qRed(v.pixel(5, 0)), 10);
  EXPECT_GT(qRed(v.pixel(5, 99)), 245);
  EXPECT_EQ(v.pixel(0, 50), v.pixel(9, 50));
}

TEST(Fill, TypeNoneAndUnknownTypesDrawNothing) {
  QDomDocument doc;
  FCAttribute_Fill fill;
  for (const char* type : {"0", "8", "-1"}) {
    fill.Load(Element(doc, QString("<p filltype='%1' fillvalue='1 2 3'/>").arg(type)), "/");
    EXPECT_EQ(At(Draw(fill, {4, 4}), 1, 1), qRgb(255, 0, 255)) << type;
  }
}

TEST(Fill, ImageIsStretchedAndAMissingFileKeepsOneEmptyPiece) {
  Sandbox box;
  skin_test::WriteBlocks(box.path(), "two.png", 2, 1, {1, 1}, {Qt::red, Qt::blue});
  QDomDocument doc;
  FCAttribute_Fill fill;
  fill.Load(Element(doc, "<p filltype='2' fillvalue='two.png'/>"), box.path() + "/");
  ASSERT_EQ(fill.pieces.Count(), 1);
  QImage image = Draw(fill, {10, 4});
  EXPECT_EQ(At(image, 4, 2), qRgb(255, 0, 0));
  EXPECT_EQ(At(image, 5, 2), qRgb(0, 0, 255));
  fill.Load(Element(doc, "<p filltype='2' fillvalue='missing.png'/>"), box.path() + "/");
  ASSERT_EQ(fill.pieces.Count(), 1);
  EXPECT_TRUE(fill.pieces[0]->IsEmpty());
  EXPECT_EQ(At(Draw(fill, {4, 4}), 1, 1), qRgb(255, 0, 255));
}

TEST(Fill, ThreeSliceKeepsEndsAtNaturalSizeAndStretchesTheMiddle) {
  Sandbox box;
  // 3 pieces of 4 x 2, plus 2 spare columns that are dropped.
  QImage source(14, 2, QImage::Format_RGB32);
  source.fill(Qt::white);
  QPainter p(&source);
  p.fillRect(0, 0, 4, 2, Qt::red);
  p.fillRect(4, 0, 4, 2, Qt::green);
  p.fillRect(8, 0, 4, 2, Qt::blue);
  p.end();
  source.save(box.file("h.png"));
  QDomDocument doc;
  FCAttribute_Fill fill;
  fill.Load(Element(doc, "<p filltype='5' fillvalue='h.png'/>"), box.path() + "/");
  ASSERT_EQ(fill.pieces.Count(), 3);
  EXPECT_EQ(fill.pieces[0]->Width(), 4);
  QImage image = Draw(fill, {30, 6});
  EXPECT_EQ(At(image, 3, 5), qRgb(255, 0, 0));
  EXPECT_EQ(At(image, 4, 0), qRgb(0, 255, 0));
  EXPECT_EQ(At(image, 25, 3), qRgb(0, 255, 0));
  EXPECT_EQ(At(image, 26, 3), qRgb(0, 0, 255));

  skin_test::WriteBlocks(box.path(), "v.png", 1, 3, {2, 3}, {Qt::red, Qt::green, Qt::blue});
  fill.Load(Element(doc, "<p filltype='6' fillvalue='v.png'/>"), box.path() + "/");
  ASSERT_EQ(fill.pieces.Count(), 3);
  image = Draw(fill, {5, 20});
  EXPECT_EQ(At(image, 4, 2), qRgb(255, 0, 0));
  EXPECT_EQ(At(image, 0, 3), qRgb(0, 255, 0));
  EXPECT_EQ(At(image, 0, 16), qRgb(0, 255, 0));
  EXPECT_EQ(At(image, 0, 17), qRgb(0, 0, 255));
}

TEST(Fill, NineGridPlacesCornersEdgesAndCentre) {
  Sandbox box;
  QList<QColor> colours;
  for (int k = 0; k < 9; ++k) colours << QColor(10 + k * 20, 0, 255 - k * 20);
  skin_test::WriteBlocks(box.path(), "nine.png", 3, 3, {3, 2}, colours);
  QDomDocument doc;
  FCAttribute_Fill fill;
  fill.Load(Element(doc, "<p filltype='7' fillvalue='nine.png'/>"), box.path() + "/");
  ASSERT_EQ(fill.pieces.Count(), 9);
  // Drawn at an offset rectangle (5,5)-(35,25): columns [5,8) [8,32) [32,35),
  // rows [5,7) [7,23) [23,25).
  QImage image = Draw(fill, {40, 30}, QRect(5, 5, 30, 20));
  const int xs[3] = {5, 20, 34};
  const int ys[3] = {6, 15, 24};
  for (int k = 0; k < 9; ++k)
    EXPECT_EQ(At(image, xs[k % 3], ys[k / 3]), colours[k].rgb()) << "piece " << k;
  EXPECT_EQ(At(image, 4, 4), qRgb(255, 0, 255)); // outside the rectangle
  EXPECT_EQ(At(image, 35, 25), qRgb(255, 0, 255));
}

TEST(Fill, PiecesNeedAPictureLargeEnoughToCut) {
  Sandbox box;
  skin_test::WriteSolid(box.path(), "tiny.png", {2, 2}, Qt::red); // 2/3 = 0: no pieces
  QDomDocument doc;
  FCAttribute_Fill fill;
  fill.Load(Element(doc, "<p filltype='7' fillvalue='tiny.png'/>"), box.path() + "/");
  EXPECT_EQ(fill.pieces.Count(), 0);
  EXPECT_EQ(At(Draw(fill, {4, 4}), 1, 1), qRgb(255, 0, 255));
  fill.Load(Element(doc, "<p filltype='5' fillvalue='../../../etc/passwd'/>"), box.path() + "/");
  EXPECT_EQ(fill.pieces.Count(), 0);
}

} // namespace
