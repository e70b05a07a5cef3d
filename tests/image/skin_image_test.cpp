// Skin pictures: which form a picture is held in, drawing, and that drawing leaves it alone.
#include "image/fade_filter.h"
#include "image/skin_image.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

FCObjImage Solid(int bpp, uint8_t r, uint8_t a = 255) {
  FCObjImage img;
  img.Create(4, 2, bpp);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) {
      uint8_t* p = img.GetBits(x, y);
      p[0] = 0;
      p[1] = 0;
      p[2] = r;
      if (bpp == 32) p[3] = a;
    }
  return img;
}

QImage Canvas() {
  QImage canvas(8, 8, QImage::Format_ARGB32_Premultiplied);
  canvas.fill(Qt::black);
  return canvas;
}

TEST(SkinImage, OpaquePicturesBecomePixmapsAndAlphaPicturesStayImages) {
  FCSkinImage skin;
  skin.SetFromImage(Solid(24, 200));
  EXPECT_NE(skin.Pixmap(), nullptr);
  EXPECT_EQ(skin.AlphaImage(), nullptr);
  EXPECT_EQ(skin.Width(), 4);
  skin.SetFromImage(Solid(32, 200, 100));
  EXPECT_EQ(skin.Pixmap(), nullptr);
  ASSERT_NE(skin.AlphaImage(), nullptr);
  skin.SetFromImage(FCObjImage());
  EXPECT_TRUE(skin.IsEmpty());
  EXPECT_EQ(skin.Height(), 0);
}

TEST(SkinImage, DrawingBlendsAndNeverChangesTheStoredPicture) {
  FCSkinImage skin;
  skin.SetFromImage(Solid(32, 255, 128));
  QImage canvas = Canvas();
  {
    QPainter painter(&canvas);
    skin.DrawTo(painter, 0, 0, 8, 8);
    skin.DrawTo(painter, 0, 0, 0, 0); // empty target: nothing
  }
  EXPECT_NEAR(qRed(canvas.pixel(7, 7)), 128, 1);
  EXPECT_EQ(skin.AlphaImage()->GetBits(0, 0)[2], 255); // still straight alpha
  EXPECT_EQ(skin.AlphaImage()->GetBits(0, 0)[3], 128);
}

TEST(SkinImage, FilterWorksOnACopyForBothForms) {
  for (int bpp : {24, 32}) {
    FCSkinImage skin;
    skin.SetFromImage(Solid(bpp, 255));
    QImage canvas = Canvas();
    FCFadeFilter fade(0, 10, nullptr); // fully transparent
    {
      QPainter painter(&canvas);
      skin.DrawTo(painter, 0, 0, 8, 8, &fade);
    }
    EXPECT_EQ(canvas.pixel(3, 3), qRgb(0, 0, 0)) << bpp;
    QImage plain = Canvas();
    {
      QPainter painter(&plain);
      skin.DrawTo(painter, 0, 0, 8, 8);
    }
    EXPECT_EQ(plain.pixel(3, 3), qRgb(255, 0, 0)) << bpp;
  }
}

TEST(SkinImage, PathsLongerThanTheLimitAreRefused) {
  EXPECT_EQ(FCSkinImage::JoinSkinPath("/skin/", "a.png"), "/skin/a.png");
  EXPECT_EQ(FCSkinImage::JoinSkinPath("/skin", "a.png"), "/skin/a.png");
  EXPECT_TRUE(FCSkinImage::JoinSkinPath("/skin/", QString(300, 'a')).isEmpty());
  FCSkinImage skin;
  EXPECT_FALSE(skin.LoadFromFile("/nonexistent/", "none.png"));
  EXPECT_TRUE(skin.IsEmpty());
}

} // namespace
