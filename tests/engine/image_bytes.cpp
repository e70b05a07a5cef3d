#include "image_bytes.h"

#include <magick/api.h>

#include <cstring>
#include <vector>

namespace testing_support {
namespace {

quint32 Crc32(const QByteArray& bytes) {
  quint32 crc = 0xFFFFFFFFu;
  for (const char c : bytes) {
    crc ^= quint8(c);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void AppendBigEndian(QByteArray& out, quint32 value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.append(char((value >> shift) & 0xFF));
}

void AppendChunk(QByteArray& out, const char* type, const QByteArray& data) {
  AppendBigEndian(out, quint32(data.size()));
  const QByteArray typed = QByteArray(type, 4) + data;
  out.append(typed);
  AppendBigEndian(out, Crc32(typed));
}

} // namespace

QByteArray MakeImageBytes(int width, int height, const char* format, int seed) {
  std::vector<unsigned char> pixels(std::size_t(width) * height * 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      unsigned char* p = &pixels[(std::size_t(y) * width + x) * 3];
      p[0] = (unsigned char)(x + seed * 37);
      p[1] = (unsigned char)(y + seed * 11);
      p[2] = (unsigned char)(seed * 73 + (x ^ y));
    }
  ExceptionInfo exception;
  GetExceptionInfo(&exception);
  QByteArray result;
  Image* image = ConstituteImage(width, height, "RGB", CharPixel, pixels.data(), &exception);
  if (image) {
    ImageInfo* info = CloneImageInfo(nullptr);
    std::strncpy(info->magick, format, MaxTextExtent - 1);
    std::strncpy(image->magick, format, MaxTextExtent - 1);
    size_t length = 0;
    void* blob = ImageToBlob(info, image, &length, &exception);
    if (blob) {
      result = QByteArray(static_cast<const char*>(blob), qsizetype(length));
      MagickFree(blob);
    }
    DestroyImageInfo(info);
    DestroyImage(image);
  }
  DestroyExceptionInfo(&exception);
  return result;
}

QByteArray MakePngDeclaring(quint32 width, quint32 height) {
  QByteArray png("\x89PNG\r\n\x1A\n", 8);
  QByteArray header;
  AppendBigEndian(header, width);
  AppendBigEndian(header, height);
  header.append("\x08\x02\x00\x00\x00", 5); // 8-bit RGB, deflate, no filter, no interlace
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "IDAT", QByteArray("\x78\x9C\x03\x00\x00\x00\x00\x01", 8));
  AppendChunk(png, "IEND", QByteArray());
  return png;
}

} // namespace testing_support
