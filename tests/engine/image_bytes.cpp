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

void AppendLittleEndian(QByteArray& out, quint32 value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.append(char((value >> (8 * i)) & 0xFF));
}

void AppendChunk(QByteArray& out, const char* type, const QByteArray& data) {
  AppendBigEndian(out, quint32(data.size()));
  const QByteArray typed = QByteArray(type, 4) + data;
  out.append(typed);
  AppendBigEndian(out, Crc32(typed));
}

} // namespace

QByteArray MakeImageBytes(int width, int height, const char* format, int seed, int left, int top) {
  std::vector<unsigned char> pixels(std::size_t(width) * height * 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      unsigned char* p = &pixels[(std::size_t(y) * width + x) * 3];
      const unsigned mix = unsigned(seed); // any seed, also a hash: wraps instead of overflowing
      const unsigned column = unsigned(x + left), row = unsigned(y + top);
      p[0] = (unsigned char)(column + mix * 37u);
      p[1] = (unsigned char)(row + mix * 11u);
      p[2] = (unsigned char)(mix * 73u + (column ^ row));
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

QByteArray PixelsOf(const QByteArray& bytes, int* width, int* height) {
  ExceptionInfo exception;
  GetExceptionInfo(&exception);
  ImageInfo* info = CloneImageInfo(nullptr);
  Image* image = BlobToImage(info, bytes.constData(), size_t(bytes.size()), &exception);
  DestroyImageInfo(info);
  QByteArray pixels;
  if (image) {
    pixels.resize(qsizetype(image->columns) * qsizetype(image->rows) * 4);
    if (!DispatchImage(image, 0, 0, image->columns, image->rows, "RGBA", CharPixel, pixels.data(), &exception))
      pixels.clear();
    if (width) *width = int(image->columns);
    if (height) *height = int(image->rows);
    DestroyImage(image);
  }
  DestroyExceptionInfo(&exception);
  return pixels;
}

QByteArray MakeIconBytes() {
  // One 2 x 2 entry of 32 bits: directory, then the bitmap (twice the height: colours and mask).
  QByteArray bitmap;
  for (quint32 v : {40u, 2u, 4u}) AppendLittleEndian(bitmap, v, 4);
  AppendLittleEndian(bitmap, 1, 2);
  AppendLittleEndian(bitmap, 32, 2);
  for (quint32 v : {0u, 16u, 0u, 0u, 0u, 0u}) AppendLittleEndian(bitmap, v, 4);
  bitmap += QByteArray(16, '\x7F') + QByteArray(8, '\0');
  QByteArray icon("\0\0\1\0\1\0\2\2\0\0\1\0\x20\0", 14);
  AppendLittleEndian(icon, quint32(bitmap.size()), 4);
  AppendLittleEndian(icon, 22, 4);
  return icon + bitmap;
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
