// The image object: memory layout, creation limits, conversion, regions and effects.
#include "image/fade_filter.h"
#include "image/image_effect.h"
#include "image/obj_image.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

void SetPixel(FCObjImage& img, int x, int y, uint8_t b, uint8_t g, uint8_t r, uint8_t a = 255) {
  uint8_t* p = img.GetBits(x, y);
  p[0] = b;
  p[1] = g;
  p[2] = r;
  if (img.ColorBits() == 32) p[3] = a;
}

TEST(ObjImage, CreateRefusesBadSizesAndDepthsAndStaysEmpty) {
  FCObjImage img;
  ASSERT_TRUE(img.Create(4, 4, 32));
  EXPECT_FALSE(img.Create(0, 10, 32));
  EXPECT_FALSE(img.IsValidImage());
  EXPECT_EQ(img.Width(), 0);
  EXPECT_FALSE(img.Create(10, 10, 16));
  EXPECT_FALSE(img.IsValidImage());
  EXPECT_FALSE(img.Create(10, -1, 24));
  // A request beyond the size limit fails like a failed allocation instead of aborting.
  EXPECT_FALSE(img.Create(1 << 20, 1 << 20, 32));
  EXPECT_EQ(img.GetMemStart(), nullptr);
}

TEST(ObjImage, RowsAreBottomUpWithPaddedPitch) {
  FCObjImage img;
  ASSERT_TRUE(img.Create(5, 3, 24));
  EXPECT_EQ(img.GetPitch(), 16); // 15 bytes padded to 16
  EXPECT_EQ(img.GetBits(0), img.GetMemStart() + 2 * 16);
  EXPECT_EQ(img.GetBits(2), img.GetMemStart());
  EXPECT_EQ(img.GetBits(3), nullptr);
  EXPECT_EQ(img.GetBits(-1), nullptr);
  EXPECT_EQ(img.GetBits(4, 1), img.GetBits(1) + 12);
  EXPECT_EQ(img.GetBits(5, 1), nullptr);
  FCObjImage grey;
  ASSERT_TRUE(grey.Create(3, 1, 8));
  EXPECT_EQ(grey.GetPitch(), 4);
  FCRgbQuad pal[256];
  ASSERT_TRUE(grey.GetColorTable(pal));
  EXPECT_EQ(pal[0].red, 0);
  EXPECT_EQ(pal[200].blue, 200);
  EXPECT_EQ(pal[200].green, 200);
  EXPECT_EQ(pal[200].reserved, 255);
  EXPECT_FALSE(img.GetColorTable(pal)); // only 8-bit images have a palette
}

TEST(ObjImage, CopyTakesPixelsPaletteAndPositionButNotFromEmptyOrSelf) {
  FCObjImage a;
  ASSERT_TRUE(a.Create(2, 2, 8));
  a.x = 7;
  a.y = 9;
  FCRgbQuad pal[256] = {};
  pal[3] = {10, 20, 30, 255};
  a.SetColorTable(pal);
  *a.GetBits(1, 1) = 3;
  FCObjImage b;
  b = a;
  EXPECT_EQ(b.ColorBits(), 8);
  EXPECT_EQ(*b.GetBits(1, 1), 3);
  EXPECT_EQ(b.x, 7);
  EXPECT_EQ(b.y, 9);
  FCRgbQuad got[256];
  b.GetColorTable(got);
  EXPECT_EQ(got[3].green, 20);
  FCObjImage empty;
  b = empty;
  EXPECT_TRUE(b.IsValidImage());
  b = b;
  EXPECT_EQ(*b.GetBits(1, 1), 3);
}

TEST(ObjImage, MakeBgra32ConvertsThroughThePaletteWithOpaqueAlpha) {
  FCObjImage img;
  ASSERT_TRUE(img.Create(2, 1, 8));
  FCRgbQuad pal[256] = {};
  pal[1] = {11, 22, 33, 0};
  img.SetColorTable(pal);
  *img.GetBits(1, 0) = 1;
  ASSERT_TRUE(img.MakeBgra32());
  ASSERT_EQ(img.ColorBits(), 32);
  const uint8_t* p = img.GetBits(1, 0);
  EXPECT_EQ(p[0], 11);
  EXPECT_EQ(p[1], 22);
  EXPECT_EQ(p[2], 33);
  EXPECT_EQ(p[3], 255);
  FCObjImage rgb;
  ASSERT_TRUE(rgb.Create(3, 2, 24));
  SetPixel(rgb, 2, 1, 1, 2, 3);
  ASSERT_TRUE(rgb.MakeBgra32());
  EXPECT_EQ(rgb.GetBits(2, 1)[2], 3);
  EXPECT_EQ(rgb.GetBits(2, 1)[3], 255);
}

TEST(ObjImage, CopyRegionChecksBoundsAndCopiesRows) {
  FCObjImage img;
  ASSERT_TRUE(img.Create(6, 4, 24));
  SetPixel(img, 3, 2, 50, 60, 70);
  FCObjImage part;
  EXPECT_FALSE(img.CopyRegion(part, 0, 0, 7, 4));
  EXPECT_FALSE(img.CopyRegion(part, -1, 0, 3, 4));
  EXPECT_FALSE(img.CopyRegion(part, 0, 0, 3, 5));
  EXPECT_FALSE(img.CopyRegion(part, 2, 2, 2, 3)); // empty
  EXPECT_FALSE(part.IsValidImage());
  ASSERT_TRUE(img.CopyRegion(part, 3, 1, 6, 4));
  EXPECT_EQ(part.Width(), 3);
  EXPECT_EQ(part.Height(), 3);
  EXPECT_EQ(part.GetBits(0, 1)[2], 70);
}

TEST(ObjImage, FromBitmapKeeps32BitBytesAndTurnsOthersInto24Bits) {
  QImage argb(2, 2, QImage::Format_ARGB32);
  argb.fill(qRgba(200, 100, 50, 128));
  FCObjImage img;
  ASSERT_TRUE(img.FromBitmap(argb));
  EXPECT_EQ(img.ColorBits(), 32);
  EXPECT_EQ(img.GetBits(0, 0)[3], 128);
  EXPECT_EQ(img.GetBits(0, 0)[2], 200);
  QImage rgb(3, 2, QImage::Format_RGB888);
  rgb.fill(Qt::white);
  rgb.setPixel(0, 0, qRgb(1, 2, 3));
  ASSERT_TRUE(img.FromBitmap(rgb));
  EXPECT_EQ(img.ColorBits(), 24);
  EXPECT_EQ(img.GetBits(0, 0)[0], 3); // blue first
  EXPECT_FALSE(img.FromBitmap(QImage()));
  EXPECT_FALSE(img.IsValidImage());
}

TEST(ObjImage, PremultiplyTruncatesAndKeepsAlpha) {
  FCObjImage img;
  ASSERT_TRUE(img.Create(3, 1, 32));
  SetPixel(img, 0, 0, 100, 255, 255, 128);
  SetPixel(img, 1, 0, 100, 255, 255, 0);
  SetPixel(img, 2, 0, 100, 201, 255, 255);
  FCEffectPremultipleAlpha effect;
  img.ApplyEffect(effect);
  const uint8_t* p = img.GetBits(0);
  EXPECT_EQ(p[2], 128);
  EXPECT_EQ(p[0], 50); // 100 * 128 / 255 = 50.19
  EXPECT_EQ(p[3], 128);
  EXPECT_EQ(p[4], 0);
  EXPECT_EQ(p[5], 0);
  EXPECT_EQ(p[6], 0);
  EXPECT_EQ(p[8], 100);
  EXPECT_EQ(p[9], 201);
  EXPECT_EQ(p[11], 255);
  FCObjImage rgb;
  ASSERT_TRUE(rgb.Create(1, 1, 24));
  SetPixel(rgb, 0, 0, 9, 9, 9);
  EXPECT_FALSE(effect.CanProcess(rgb));
}

class RecordingEffect : public FCImageEffect {
public:
  explicit RecordingEffect(int mode) : mode_(mode) {}
  int ProcessMode() override { return mode_; }
  void BeginProcess(FCObjImage&) override { ++begins; }
  void ProcessOnePixel(FCObjImage& img, int x, int y, uint8_t* pixel) override {
    order.push_back({x, y});
    EXPECT_EQ(pixel, img.GetBits(x, y));
  }
  void ProcessImage(FCObjImage&, FCProgressObserver* progress) override {
    ++wholes;
    EXPECT_EQ(progress, nullptr);
  }
  int mode_;
  int begins = 0;
  int wholes = 0;
  std::vector<std::pair<int, int>> order;
};

TEST(ObjImage, ApplyEffectWalksRowsFromTopAndHonoursMode) {
  FCObjImage img;
  ASSERT_TRUE(img.Create(2, 2, 24));
  RecordingEffect pixels(1);
  img.ApplyEffect(pixels);
  EXPECT_EQ(pixels.begins, 1);
  ASSERT_EQ(pixels.order.size(), 4u);
  EXPECT_EQ(pixels.order[1], std::make_pair(1, 0));
  EXPECT_EQ(pixels.order[2], std::make_pair(0, 1));
  RecordingEffect whole(0), other(7);
  img.ApplyEffect(whole);
  img.ApplyEffect(other);
  EXPECT_EQ(whole.wholes, 1);
  EXPECT_TRUE(other.order.empty());
  FCObjImage grey;
  ASSERT_TRUE(grey.Create(2, 2, 8));
  RecordingEffect refused(1);
  grey.ApplyEffect(refused); // the base refuses 8 bits
  EXPECT_EQ(refused.begins, 0);
}

class MarkFilter : public FCDrawFilter {
public:
  void FilterImage(FCObjImage& img) override { ++calls; }
  int calls = 0;
};

TEST(ObjImage, FadeFilterScalesAlphaAfterTheInnerFilter) {
  FCObjImage img;
  ASSERT_TRUE(img.Create(2, 1, 24)); // converted to 32 bits with alpha 255 first
  MarkFilter inner;
  FCFadeFilter half(3, 6, &inner);
  half.FilterImage(img);
  EXPECT_EQ(inner.calls, 1);
  ASSERT_EQ(img.ColorBits(), 32);
  EXPECT_EQ(img.GetBits(0, 0)[3], 127);
  FCFadeFilter zeroCount(5, 0, nullptr); // count 0 is taken as 1
  FCObjImage one;
  ASSERT_TRUE(one.Create(1, 1, 32));
  one.GetBits(0, 0)[3] = 40;
  zeroCount.FilterImage(one);
  EXPECT_EQ(one.GetBits(0, 0)[3], 200);
}

TEST(ObjImage, DrawToPutsTheTopRowAtTheTopAndScalesWithoutSmoothing) {
  FCObjImage img;
  ASSERT_TRUE(img.Create(2, 2, 24));
  SetPixel(img, 0, 0, 0, 0, 255); // top-left red
  SetPixel(img, 1, 1, 255, 0, 0); // bottom-right blue
  QImage target(8, 8, QImage::Format_ARGB32_Premultiplied);
  target.fill(Qt::white);
  {
    QPainter painter(&target);
    img.DrawTo(painter, 2, 2, 6, 6);
  }
  EXPECT_EQ(target.pixel(2, 2), qRgb(255, 0, 0));
  EXPECT_EQ(target.pixel(3, 3), qRgb(255, 0, 0));
  EXPECT_EQ(target.pixel(5, 5), qRgb(0, 0, 255));
  EXPECT_EQ(target.pixel(4, 3), qRgb(0, 0, 0));
  EXPECT_EQ(target.pixel(1, 1), qRgb(255, 255, 255));
  EXPECT_EQ(target.pixel(6, 6), qRgb(255, 255, 255));
}

TEST(ObjImage, DrawToBlendsPremultiplied32Bits) {
  FCObjImage img;
  ASSERT_TRUE(img.Create(1, 1, 32));
  SetPixel(img, 0, 0, 0, 0, 255, 128);
  FCEffectPremultipleAlpha premultiply;
  img.ApplyEffect(premultiply);
  QImage target(1, 1, QImage::Format_ARGB32_Premultiplied);
  target.fill(Qt::black);
  {
    QPainter painter(&target);
    img.DrawTo(painter, 0, 0, 1, 1);
  }
  EXPECT_NEAR(qRed(target.pixel(0, 0)), 128, 1);
}

} // namespace
