// Codecs: types from names, which formats load and save, frames, properties, round trips and
// hostile files.
#include "common/library_init.h"
#include "image/image_codec.h"
#include "image/image_codec_factory.h"
#include "image/obj_image.h"
#include "test_support.h"

#include <Magick++.h>
#include <QDataStream>
#include <QFile>
#include <zlib.h>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <list>
#include <memory>

using testing_support::ReadBytes;
using testing_support::Sandbox;
using testing_support::WriteBytes;

namespace {

// The tests also use GraphicsMagick directly (to make and inspect files), so it is started
// for the whole process, as the application object does.
const ImageLibraryInit magickStarted;

std::unique_ptr<FCImageCodec> CodecFor(const QString& path) {
  FCImageCodecFactory* f = GetCodecFactory();
  return std::unique_ptr<FCImageCodec>(f->CreateCodec(f->ImageTypeFromPath(path)));
}

/// A picture with distinct pixels everywhere, so any misplaced row or channel shows.
FCObjImage Pattern(int w, int h, int bpp) {
  FCObjImage img;
  img.Create(w, h, bpp);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = img.GetBits(x, y);
      if (bpp == 8) {
        *p = static_cast<uint8_t>((x * 7 + y * 13) % 256);
        continue;
      }
      p[0] = static_cast<uint8_t>(x * 9);
      p[1] = static_cast<uint8_t>(y * 11);
      p[2] = static_cast<uint8_t>(x * y);
      if (bpp == 32) p[3] = static_cast<uint8_t>(255 - (x + y) * 4);
    }
  return img;
}

bool Save(const QString& path, const FCObjImage& img, const FCImageProperty& prop = {}) {
  auto codec = CodecFor(path);
  if (!codec) return false;
  FCAutoPtrList<FCObjImage> frames;
  frames.Add(new FCObjImage(img));
  return codec->SaveFile(path, frames, prop);
}

bool Load(const QString& path, FCAutoPtrList<FCObjImage>& frames, FCImageProperty& prop) {
  auto codec = CodecFor(path);
  return codec && codec->LoadFile(path, frames, prop);
}

/// Largest difference of any channel after both are made 32 bits (alpha compared too).
int MaxDifference(FCObjImage a, FCObjImage b, bool withAlpha) {
  a.MakeBgra32();
  b.MakeBgra32();
  if (a.Width() != b.Width() || a.Height() != b.Height()) return 1000;
  int worst = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      for (int c = 0; c < (withAlpha ? 4 : 3); ++c)
        worst = std::max(worst, std::abs(a.GetBits(x, y)[c] - b.GetBits(x, y)[c]));
  return worst;
}

TEST(ImageType, ComesFromTheLastExtensionLoweredAsAscii) {
  FCImageCodecFactory* f = GetCodecFactory();
  EXPECT_EQ(f->ImageTypeFromPath("Photo.JPEG"), IMG_JPG);
  EXPECT_EQ(f->ImageTypeFromPath("/a.b/photo.jpeg"), IMG_JPG);
  EXPECT_EQ(f->ImageTypeFromPath("x.JfIf"), IMG_JPG);
  EXPECT_EQ(f->ImageTypeFromPath("archive.tar.gz"), IMG_UNKNOW);
  EXPECT_EQ(f->ImageTypeFromPath("noext"), IMG_UNKNOW);
  EXPECT_EQ(f->ImageTypeFromPath("trailing."), IMG_UNKNOW);
  EXPECT_EQ(f->ImageTypeFromPath("a.TIF"), IMG_TIF);
  EXPECT_EQ(f->ImageTypeFromPath("a.vqv"), IMG_VQV);
  EXPECT_EQ(f->ImageTypeFromPath("a.xpm"), IMG_XPM);
  // Only A-Z are lowered: a dotless capital I with a dot above is not "i".
  EXPECT_EQ(f->ImageTypeFromPath(QString::fromUtf8("a.\xC4\xB0" "co")), IMG_UNKNOW);
}

TEST(ImageCodec, TypesWithoutCodecFailAndLeaveTheImageEmpty) {
  Sandbox box;
  const FCObjImage img = Pattern(4, 4, 24);
  ASSERT_TRUE(Save(box.file("real.png"), img));
  for (const char* name : {"copy.psd", "copy.vqv", "copy.pcx", "copy.tga", "copy"}) {
    QFile::copy(box.file("real.png"), box.file(name));
    FCObjImage loaded = Pattern(2, 2, 24);
    EXPECT_FALSE(loaded.LoadFromFile(box.file(name))) << name;
    EXPECT_FALSE(loaded.IsValidImage()) << name;
  }
  EXPECT_EQ(GetCodecFactory()->CreateCodec(12), nullptr);
  EXPECT_EQ(GetCodecFactory()->CreateCodec(-1), nullptr);
}

TEST(ImageCodec, IcoLoadsButDoesNotSave) {
  Sandbox box;
  EXPECT_FALSE(Save(box.file("icon.ico"), Pattern(16, 16, 32)));
  EXPECT_FALSE(QFile::exists(box.file("icon.ico")));
  // A 2 x 2 icon of 32 bits: directory, bitmap header (height doubled), pixels, AND mask.
  QByteArray ico;
  auto u16 = [&](int v) { ico.append(char(v & 0xFF)).append(char(v >> 8)); };
  auto u32 = [&](int v) { u16(v & 0xFFFF); u16(v >> 16); };
  u16(0); u16(1); u16(1);
  ico.append(char(2)).append(char(2)).append(char(0)).append(char(0));
  u16(1); u16(32); u32(40 + 16 + 8); u32(22);
  u32(40); u32(2); u32(4); u16(1); u16(32); u32(0); u32(0); u32(0); u32(0); u32(0); u32(0);
  for (int i = 0; i < 4; ++i) ico.append(QByteArray::fromHex("0000ffff")); // red, opaque
  ico.append(QByteArray(8, '\0'));
  ASSERT_TRUE(WriteBytes(box.file("icon.ico"), ico));
  FCObjImage loaded;
  ASSERT_TRUE(loaded.LoadFromFile(box.file("icon.ico")));
  EXPECT_EQ(loaded.Width(), 2);
  EXPECT_EQ(loaded.GetBits(1, 1)[2], 255);
}

TEST(ImageCodec, JpegQualityDefaultsTo90AndHonoursTheSaveParameter) {
  Sandbox box;
  const FCObjImage img = Pattern(64, 64, 24);
  FCImageProperty prop;
  ASSERT_TRUE(Save(box.file("default.jpg"), img, prop));
  prop.save_param = 75;
  ASSERT_TRUE(Save(box.file("q75.jpg"), img, prop));
  Magick::Image a(box.file("default.jpg").toStdString());
  Magick::Image b(box.file("q75.jpg").toStdString());
  EXPECT_EQ(a.attribute("JPEG-Quality"), "90");
  EXPECT_EQ(b.attribute("JPEG-Quality"), "75");
}

TEST(ImageCodec, AnimatedGifLoadsEveryFrameWithDelaysInMilliseconds) {
  Sandbox box;
  std::list<Magick::Image> frames;
  const char* colours[] = {"red", "green", "blue", "yellow", "white"};
  for (int i = 0; i < 5; ++i) {
    Magick::Image frame(Magick::Geometry(6, 4), Magick::Color(colours[i]));
    frame.animationDelay(i + 3); // hundredths of a second
    frames.push_back(frame);
  }
  // A last frame that only changes a 2 x 2 patch at (3, 1), drawn over the white one.
  Magick::Image patch(Magick::Geometry(2, 2), Magick::Color("black"));
  patch.page(Magick::Geometry(6, 4, 3, 1));
  patch.gifDisposeMethod(1);
  patch.animationDelay(8);
  frames.push_back(patch);
  Magick::Blob blob;
  frames.front().magick("GIF");
  Magick::writeImages(frames.begin(), frames.end(), &blob);
  ASSERT_TRUE(WriteBytes(box.file("anim.gif"),
                         QByteArray(static_cast<const char*>(blob.data()), blob.length())));
  FCAutoPtrList<FCObjImage> loaded;
  FCImageProperty prop;
  ASSERT_TRUE(Load(box.file("anim.gif"), loaded, prop));
  ASSERT_EQ(loaded.Count(), 6);
  ASSERT_EQ(prop.frame_delays.size(), 6);
  EXPECT_EQ(prop.frame_delays[0], 30);
  EXPECT_EQ(prop.frame_delays[4], 70);
  EXPECT_EQ(loaded[2]->GetBits(0, 0)[0], 255); // blue frame
  EXPECT_EQ(loaded[2]->GetBits(0, 0)[2], 0);
  // Every frame is the whole picture as it shows at its turn, not the stored patch.
  ASSERT_EQ(loaded[5]->Width(), 6);
  ASSERT_EQ(loaded[5]->Height(), 4);
  EXPECT_EQ(loaded[5]->GetBits(0, 0)[1], 255) << "white from the frame before";
  EXPECT_EQ(loaded[5]->GetBits(4, 2)[1], 0) << "the black patch";
  EXPECT_EQ(prop.frame_delays[5], 80);
  // LoadFromFile keeps the first frame.
  FCObjImage first;
  ASSERT_TRUE(first.LoadFromFile(box.file("anim.gif")));
  EXPECT_EQ(first.GetBits(5, 3)[2], 255);
}

TEST(ImageCodec, LosslessFormatsRoundTripExactly) {
  Sandbox box;
  struct Case {
    const char* name;
    int bpp;
    bool alpha;
  } cases[] = {{"a.png", 32, true}, {"b.png", 24, false}, {"c.tif", 32, true},
               {"d.tiff", 24, false}, {"e.bmp", 24, false}, {"f.gif", 8, false}};
  for (const Case& c : cases) {
    const FCObjImage img = Pattern(37, 23, c.bpp); // odd width: padded rows
    ASSERT_TRUE(Save(box.file(c.name), img)) << c.name;
    FCObjImage back;
    ASSERT_TRUE(back.LoadFromFile(box.file(c.name))) << c.name;
    EXPECT_EQ(back.ColorBits(), c.alpha ? 32 : 24) << c.name;
    EXPECT_EQ(MaxDifference(img, back, c.alpha), 0) << c.name;
  }
}

TEST(ImageCodec, JpegRoundTripStaysClose) {
  Sandbox box;
  FCObjImage img;
  ASSERT_TRUE(img.Create(40, 30, 24));
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      uint8_t* p = img.GetBits(x, y);
      p[0] = 40;
      p[1] = static_cast<uint8_t>(x * 4);
      p[2] = y < 15 ? 200 : 60;
    }
  FCImageProperty prop;
  prop.save_param = 100;
  ASSERT_TRUE(Save(box.file("x.jpeg"), img, prop));
  FCObjImage back;
  ASSERT_TRUE(back.LoadFromFile(box.file("x.jpeg")));
  EXPECT_LE(MaxDifference(img, back, false), 12);
}

TEST(ImageCodec, GifTransparentIndexBecomesAlpha) {
  Sandbox box;
  FCObjImage img = Pattern(8, 8, 8);
  *img.GetBits(0, 0) = 77;
  FCImageProperty prop;
  prop.save_param = 77;
  ASSERT_TRUE(Save(box.file("t.gif"), img, prop));
  FCObjImage back;
  ASSERT_TRUE(back.LoadFromFile(box.file("t.gif")));
  ASSERT_EQ(back.ColorBits(), 32);
  EXPECT_EQ(back.GetBits(0, 0)[3], 0);
  EXPECT_EQ(back.GetBits(1, 0)[3], 255);
}

TEST(ImageCodec, PropertyItemsSurviveAJpegRoundTrip) {
  Sandbox box;
  FCImageProperty prop;
  prop.equip_make = "Maker";
  prop.equip_model = "Model 7";
  prop.date_time_original = "2026:12:08 01:02:03";
  QByteArray orientation(2, '\0');
  orientation[0] = 6;
  prop.other_items.append(FCImagePropertyItem{274, 3, orientation});
  prop.other_items.append(FCImagePropertyItem{0x10000, 2, "too wide a tag"});
  ASSERT_TRUE(Save(box.file("p.jpg"), Pattern(16, 16, 24), prop));
  FCAutoPtrList<FCObjImage> frames;
  FCImageProperty back;
  ASSERT_TRUE(Load(box.file("p.jpg"), frames, back));
  EXPECT_EQ(back.equip_make, "Maker");
  EXPECT_EQ(back.equip_model, "Model 7");
  EXPECT_EQ(back.date_time_original, "2026:12:08 01:02:03");
  ASSERT_EQ(back.other_items.size(), 1);
  EXPECT_EQ(back.other_items[0].tag, 274u);
  EXPECT_EQ(back.other_items[0].value, orientation);
  FCImagePropertyItem unpacked;
  ASSERT_TRUE(FCImagePropertyItem::FromPacked(back.other_items[0].Packed(), unpacked));
  EXPECT_EQ(unpacked.type, 3);
  EXPECT_FALSE(FCImagePropertyItem::FromPacked(QByteArray(9, '\0'), unpacked));
}

TEST(ImageCodec, SavingNeedsAFrameWithPixels) {
  Sandbox box;
  auto codec = CodecFor("x.png");
  FCAutoPtrList<FCObjImage> frames;
  EXPECT_FALSE(codec->SaveFile(box.file("x.png"), frames, {}));
  frames.Add(new FCObjImage);
  EXPECT_FALSE(codec->SaveFile(box.file("x.png"), frames, {}));
  FCAutoPtrList<FCObjImage> none;
  FCImageProperty prop;
  EXPECT_FALSE(codec->LoadMemory(nullptr, 10, none, prop));
  EXPECT_FALSE(codec->LoadMemory("x", 0, none, prop));
}

TEST(ImageCodec, HostileFilesFailCleanly) {
  Sandbox box;
  ASSERT_TRUE(Save(box.file("whole.png"), Pattern(200, 120, 32)));
  const QByteArray png = ReadBytes(box.file("whole.png"));
  ASSERT_GT(png.size(), 200);
  QByteArray random(4096, '\0');
  QRandomGenerator gen(42);
  for (char& c : random) c = static_cast<char>(gen.generate());
  QByteArray pngHeaderOnly = png.left(33); // signature and IHDR, no data
  // A PNG header that claims a picture of 100000 x 100000 pixels.
  QByteArray huge = pngHeaderOnly;
  huge[16] = 0; huge[17] = 1; huge[18] = char(0x86); huge[19] = char(0xA0);
  huge[20] = 0; huge[21] = 1; huge[22] = char(0x86); huge[23] = char(0xA0);
  const struct {
    const char* name;
    QByteArray bytes;
  } cases[] = {{"truncated.png", png.left(png.size() / 2)},
               {"random.png", random},
               {"random.jpg", random},
               {"random.gif", QByteArray("GIF89a") + random},
               {"header.png", pngHeaderOnly},
               {"huge.png", huge},
               {"empty.png", QByteArray()},
               {"wrongsig.bmp", QByteArray("BM") + random}};
  for (const auto& c : cases) {
    ASSERT_TRUE(WriteBytes(box.file(c.name), c.bytes));
    FCAutoPtrList<FCObjImage> frames;
    FCImageProperty prop;
    EXPECT_FALSE(Load(box.file(c.name), frames, prop)) << c.name;
    EXPECT_EQ(frames.Count(), 0) << c.name;
    FCObjImage img;
    EXPECT_FALSE(img.LoadFromFile(box.file(c.name))) << c.name;
    EXPECT_FALSE(img.IsValidImage()) << c.name;
  }
  FCObjImage img;
  EXPECT_FALSE(img.LoadFromFile(box.file("missing.png")));
  EXPECT_FALSE(img.LoadFromFile(box.path() + "/dir.png/"));
}

/// A valid grey PNG of `width` x `height` black pixels: tiny on disk, huge when decoded.
QByteArray BlackPng(int width, int height) {
  auto chunk = [](const QByteArray& type, const QByteArray& data) {
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s << quint32(data.size());
    out += type + data;
    QDataStream t(&out, QIODevice::Append);
    t << quint32(crc32(0, reinterpret_cast<const Bytef*>((type + data).constData()),
                       static_cast<uInt>(type.size() + data.size())));
    return out;
  };
  QByteArray header;
  QDataStream h(&header, QIODevice::WriteOnly);
  h << quint32(width) << quint32(height) << quint8(8) << quint8(0) << quint8(0) << quint8(0)
    << quint8(0);
  const QByteArray raw(qsizetype(width + 1) * height, '\0');
  const QByteArray data = qCompress(raw, 9).mid(4); // a zlib stream without Qt's length
  return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", data) +
         chunk("IEND", {});
}

TEST(ImageCodec, PicturesBeyondThePixelLimitFailBeforeDecoding) {
  Sandbox box;
  ASSERT_TRUE(WriteBytes(box.file("wide.png"), BlackPng(16000, 20)));
  ASSERT_TRUE(WriteBytes(box.file("bomb.png"), BlackPng(6000, 6000))); // 36 M pixels
  ASSERT_TRUE(WriteBytes(box.file("toowide.png"), BlackPng(20000, 2)));
  FCObjImage img;
  EXPECT_TRUE(img.LoadFromFile(box.file("wide.png")));
  EXPECT_EQ(img.Width(), 16000);
  EXPECT_FALSE(img.LoadFromFile(box.file("bomb.png")));
  EXPECT_FALSE(img.IsValidImage());
  EXPECT_FALSE(img.LoadFromFile(box.file("toowide.png")));
}

TEST(ImageCodec, ContentDecidesTheCoderNotTheName) {
  Sandbox box;
  ASSERT_TRUE(Save(box.file("real.png"), Pattern(5, 5, 24)));
  QFile::copy(box.file("real.png"), box.file("named.jpg"));
  FCObjImage img;
  EXPECT_TRUE(img.LoadFromFile(box.file("named.jpg")));
  // A coder-prefixed text (which GraphicsMagick would otherwise read as a command) is refused.
  ASSERT_TRUE(WriteBytes(box.file("script.png"), "push graphic-context\nviewbox 0 0 1 1\n"));
  EXPECT_FALSE(img.LoadFromFile(box.file("script.png")));
}

} // namespace
