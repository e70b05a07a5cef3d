#include "engine/image_decode.h"

#include <QFile>

#include <magick/api.h>

#include <cstring>
#include <mutex>

namespace engine {
namespace {

constexpr int kSniffBytes = 32;

bool StartsWith(const QByteArray& bytes, const char* prefix, int length, int offset = 0) {
  return bytes.size() >= offset + length && std::memcmp(bytes.constData() + offset, prefix, length) == 0;
}

const char* CoderName(ImageFormat format) {
  switch (format) {
  case ImageFormat::Bmp: return "BMP";
  case ImageFormat::Jpeg: return "JPEG";
  case ImageFormat::Gif: return "GIF";
  case ImageFormat::Png: return "PNG";
  case ImageFormat::Tiff: return "TIFF";
  case ImageFormat::WebP: return "WEBP";
  case ImageFormat::Avif: return "AVIF";
  case ImageFormat::Unknown: break;
  }
  return nullptr;
}

// Limits apply process-wide to every GraphicsMagick read; set once. The pixel cache stays in
// memory (no disk), so a huge picture fails instead of filling the disk.
void ApplyResourceLimits() {
  static std::once_flag once;
  std::call_once(once, [] {
    SetMagickResourceLimit(WidthResource, kMaxImageSide);
    SetMagickResourceLimit(HeightResource, kMaxImageSide);
    SetMagickResourceLimit(PixelsResource, kMaxImagePixels);
    SetMagickResourceLimit(MemoryResource, 512LL * 1024 * 1024);
    SetMagickResourceLimit(MapResource, 512LL * 1024 * 1024);
    SetMagickResourceLimit(DiskResource, 0);
  });
}

bool WithinLimits(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
         width * height <= kMaxImagePixels;
}

// Reads (or only pings) the first frame with the named coder; returns width and height.
std::optional<std::pair<std::int64_t, std::int64_t>> RunCoder(const QString& path,
                                                              const char* coder, bool pingOnly) {
  ImageInfo* info = CloneImageInfo(nullptr);
  if (!info) return std::nullopt;
  // "CODER:path" makes GraphicsMagick use exactly that coder.
  const QByteArray name = QByteArray(coder) + ':' + QFile::encodeName(path);
  if (name.size() >= MaxTextExtent) {
    DestroyImageInfo(info);
    return std::nullopt;
  }
  std::strncpy(info->filename, name.constData(), MaxTextExtent - 1);
  info->subimage = 0;
  info->subrange = 1; // the first frame only: a thousand-frame GIF is not expanded
  ExceptionInfo exception;
  GetExceptionInfo(&exception);
  Image* image = pingOnly ? PingImage(info, &exception) : ReadImage(info, &exception);
  std::optional<std::pair<std::int64_t, std::int64_t>> size;
  // Warnings (a slightly damaged but readable picture) are accepted; errors are not.
  if (image && exception.severity < ErrorException)
    size = std::make_pair(std::int64_t(image->columns), std::int64_t(image->rows));
  if (image) DestroyImageList(image);
  DestroyExceptionInfo(&exception);
  DestroyImageInfo(info);
  return size;
}

} // namespace

ImageFormat ImageFormatOfBytes(const QByteArray& b) {
  if (StartsWith(b, "\xFF\xD8\xFF", 3)) return ImageFormat::Jpeg;
  if (StartsWith(b, "\x89PNG\r\n\x1A\n", 8)) return ImageFormat::Png;
  if (StartsWith(b, "GIF87a", 6) || StartsWith(b, "GIF89a", 6)) return ImageFormat::Gif;
  if (StartsWith(b, "BM", 2) && b.size() >= 26) return ImageFormat::Bmp;
  if (StartsWith(b, "II*\0", 4) || StartsWith(b, "MM\0*", 4)) return ImageFormat::Tiff;
  if (StartsWith(b, "RIFF", 4) && StartsWith(b, "WEBP", 4, 8)) return ImageFormat::WebP;
  if (StartsWith(b, "ftyp", 4, 4) && (StartsWith(b, "avif", 4, 8) || StartsWith(b, "avis", 4, 8)))
    return ImageFormat::Avif;
  return ImageFormat::Unknown;
}

QString ImageExtensionOf(ImageFormat format) {
  switch (format) {
  case ImageFormat::Bmp: return QStringLiteral(".bmp");
  case ImageFormat::Jpeg: return QStringLiteral(".jpg");
  case ImageFormat::Gif: return QStringLiteral(".gif");
  case ImageFormat::Png: return QStringLiteral(".png");
  case ImageFormat::Tiff: return QStringLiteral(".tif");
  case ImageFormat::WebP: return QStringLiteral(".webp");
  case ImageFormat::Avif: return QStringLiteral(".avif");
  case ImageFormat::Unknown: break;
  }
  return {};
}

bool CanDecode(ImageFormat format) {
  const char* coder = CoderName(format);
  if (!coder) return false;
  ExceptionInfo exception;
  GetExceptionInfo(&exception);
  const MagickInfo* magick = GetMagickInfo(coder, &exception);
  DestroyExceptionInfo(&exception);
  return magick && magick->decoder;
}

std::optional<DecodedImage> DecodeImageFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const ImageFormat format = ImageFormatOfBytes(file.read(kSniffBytes));
  file.close();
  if (format == ImageFormat::Unknown || !CanDecode(format)) return std::nullopt;

  ApplyResourceLimits();
  const char* coder = CoderName(format);
  // The header alone first: a picture that declares a huge size is refused before any
  // pixel memory is asked for.
  const auto declared = RunCoder(path, coder, true);
  if (!declared || !WithinLimits(declared->first, declared->second)) return std::nullopt;
  const auto decoded = RunCoder(path, coder, false);
  if (!decoded || !WithinLimits(decoded->first, decoded->second)) return std::nullopt;
  return DecodedImage{std::int32_t(decoded->first), std::int32_t(decoded->second), format};
}

} // namespace engine
