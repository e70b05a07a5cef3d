// The image guard: the format comes from the leading bytes alone, and a caller's policy decides
// formats, input length and picture size before anything is decoded.
#include "common/library_init.h"
#include "common/image_guard.h"
#include "../engine/image_bytes.h"

#include <gtest/gtest.h>

using namespace common;
using testing_support::MakeImageBytes;
using testing_support::MakePngDeclaring;

namespace {

TEST(ImageGuard, FormatComesFromTheLeadingBytesOnly) {
  const struct {
    QByteArray bytes;
    ImageFormat format;
  } cases[] = {
      {QByteArray("\xFF\xD8\xFF\xE0", 4), ImageFormat::Jpeg},
      {QByteArray("\x89PNG\r\n\x1A\n", 8), ImageFormat::Png},
      {QByteArray("\x89PNG\r\n\x1A", 7), ImageFormat::Unknown}, // cut signature
      {"GIF87a", ImageFormat::Gif},
      {"GIF88a", ImageFormat::Unknown},
      {"BM" + QByteArray(24, '\0'), ImageFormat::Bmp},
      {"BM" + QByteArray(23, '\0'), ImageFormat::Unknown}, // shorter than any bitmap header
      {QByteArray("II*\0", 4), ImageFormat::Tiff},
      {QByteArray("MM\0*", 4), ImageFormat::Tiff},
      {QByteArray("\0\0\1\0\1\0", 6), ImageFormat::Ico},
      {QByteArray("RIFF\x10\0\0\0WEBPVP8 ", 16), ImageFormat::WebP},
      {QByteArray("RIFF\x10\0\0\0WAVEfmt ", 16), ImageFormat::Unknown},
      {QByteArray("\0\0\0\x1C" "ftypavif", 12), ImageFormat::Avif},
      {QByteArray("\0\0\0\x1C" "ftypisom", 12), ImageFormat::Unknown},
      // Formats GraphicsMagick would run as scripts or fetch from elsewhere.
      {"%!PS-Adobe-3.0", ImageFormat::Unknown},
      {"push graphic-context", ImageFormat::Unknown},
      {"<svg xmlns=\"http://www.w3.org/2000/svg\">", ImageFormat::Unknown},
      {"", ImageFormat::Unknown},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ImageFormatOfBytes(c.bytes), c.format) << c.bytes.toHex().toStdString();
  EXPECT_EQ(ImageFormatOfBytes(nullptr, 8), ImageFormat::Unknown);
  EXPECT_EQ(ImageExtensionOf(ImageFormat::Unknown), QString());
  EXPECT_EQ(ImageCoderName(ImageFormat::Unknown), nullptr);
}

TEST(ImageGuard, PolicyDecidesFormatsLengthAndSizeBeforeDecoding) {
  ImageLibraryInit magick;
  const QByteArray png = MakeImageBytes(200, 10, "PNG");
  const QByteArray gif = MakeImageBytes(20, 10, "GIF");
  ASSERT_FALSE(png.isEmpty());
  ASSERT_FALSE(gif.isEmpty());
  ImagePolicy policy{{ImageFormat::Png}, 200, 2000, png.size(), true};

  const GuardedImage decoded = DecodeImage(png, policy);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded.Width(), 200);
  EXPECT_EQ(decoded.Height(), 10);
  EXPECT_EQ(decoded.Format(), ImageFormat::Png);
  EXPECT_NE(decoded.MagickImages(), nullptr);

  EXPECT_FALSE(DecodeImage(gif, policy)) << "a readable format the caller did not accept";
  const GuardedImage icon = DecodeImage(testing_support::MakeIconBytes(),
                                        ImagePolicy{{ImageFormat::Ico}, 200, 2000, 1000, false});
  ASSERT_TRUE(icon) << "the icon the page policy is tested against is readable";
  EXPECT_EQ(icon.Width(), 2);
  EXPECT_FALSE(DecodeImage(png.left(png.size() / 2), policy)) << "cut short";
  EXPECT_FALSE(DecodeImage(png.constData(), 0, policy));
  EXPECT_FALSE(DecodeImage(MakePngDeclaring(100000, 100000), policy)) << "bomb";

  ImagePolicy narrower = policy;
  narrower.maxSide = 199;
  EXPECT_FALSE(DecodeImage(png, narrower));
  narrower = policy;
  narrower.maxPixels = 1999;
  EXPECT_FALSE(DecodeImage(png, narrower));
  narrower = policy;
  narrower.maxBytes = png.size() - 1;
  EXPECT_FALSE(DecodeImage(png, narrower));

  // Moving hands the frames over exactly once.
  GuardedImage first = DecodeImage(png, policy);
  GuardedImage second = std::move(first);
  EXPECT_TRUE(first.IsNull());
  EXPECT_EQ(second.Width(), 200);
}

} // namespace
