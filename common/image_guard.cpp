#include "common/image_guard.h"

#include <QFile>
#include <QFileInfo>

#include <magick/api.h>

#include "common/magick_call.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace common {
namespace {

bool StartsWith(const unsigned char* bytes, std::int64_t size, const char* prefix, int length,
                int offset = 0) {
  return size >= offset + length && std::memcmp(bytes + offset, prefix, length) == 0;
}

// Limits apply process-wide to every GraphicsMagick read; set once. The pixel cache stays in
// memory (no disk), so a huge picture fails instead of filling the disk.
void ApplyResourceLimits() {
  static std::once_flag once;
  std::call_once(once, [] {
    SetMagickResourceLimit(WidthResource, kImageCeilingSide);
    SetMagickResourceLimit(HeightResource, kImageCeilingSide);
    SetMagickResourceLimit(PixelsResource, kImageCeilingPixels);
    SetMagickResourceLimit(MemoryResource, kImageCeilingMemory);
    SetMagickResourceLimit(MapResource, kImageCeilingMemory);
    SetMagickResourceLimit(DiskResource, 0);
    SetMagickResourceLimit(ReadResource, kImageCeilingRead);
  });
}

bool FramesWithinLimits(const Image* frames, const ImagePolicy& policy) {
  if (!frames) return false;
  for (const Image* frame = frames; frame; frame = frame->next) {
    const auto width = static_cast<std::int64_t>(frame->columns);
    const auto height = static_cast<std::int64_t>(frame->rows);
    if (width <= 0 || height <= 0 || width > policy.maxSide || height > policy.maxSide ||
        width * height > policy.maxPixels)
      return false;
  }
  return true;
}

} // namespace

ImageFormat ImageFormatOfBytes(const void* data, std::int64_t size) {
  if (!data || size <= 0) return ImageFormat::Unknown;
  const auto* b = static_cast<const unsigned char*>(data);
  if (StartsWith(b, size, "\xFF\xD8\xFF", 3)) return ImageFormat::Jpeg;
  if (StartsWith(b, size, "\x89PNG\r\n\x1A\n", 8)) return ImageFormat::Png;
  if (StartsWith(b, size, "GIF87a", 6) || StartsWith(b, size, "GIF89a", 6))
    return ImageFormat::Gif;
  // A file header and the smallest information header take 26 bytes.
  if (StartsWith(b, size, "BM", 2) && size >= 26) return ImageFormat::Bmp;
  if (StartsWith(b, size, "II*\0", 4) || StartsWith(b, size, "MM\0*", 4))
    return ImageFormat::Tiff;
  if (StartsWith(b, size, "RIFF", 4) && StartsWith(b, size, "WEBP", 4, 8))
    return ImageFormat::WebP;
  if (StartsWith(b, size, "ftyp", 4, 4) &&
      (StartsWith(b, size, "avif", 4, 8) || StartsWith(b, size, "avis", 4, 8)))
    return ImageFormat::Avif;
  if (StartsWith(b, size, "\0\0\1\0", 4)) return ImageFormat::Ico;
  return ImageFormat::Unknown;
}

const char* ImageCoderName(ImageFormat format) {
  switch (format) {
  case ImageFormat::Bmp: return "BMP";
  case ImageFormat::Jpeg: return "JPEG";
  case ImageFormat::Gif: return "GIF";
  case ImageFormat::Png: return "PNG";
  case ImageFormat::Tiff: return "TIFF";
  case ImageFormat::Ico: return "ICO";
  case ImageFormat::WebP: return "WEBP";
  case ImageFormat::Avif: return "AVIF";
  case ImageFormat::Unknown: break;
  }
  return nullptr;
}

QString ImageExtensionOf(ImageFormat format) {
  switch (format) {
  case ImageFormat::Bmp: return QStringLiteral(".bmp");
  case ImageFormat::Jpeg: return QStringLiteral(".jpg");
  case ImageFormat::Gif: return QStringLiteral(".gif");
  case ImageFormat::Png: return QStringLiteral(".png");
  case ImageFormat::Tiff: return QStringLiteral(".tif");
  case ImageFormat::Ico: return QStringLiteral(".ico");
  case ImageFormat::WebP: return QStringLiteral(".webp");
  case ImageFormat::Avif: return QStringLiteral(".avif");
  case ImageFormat::Unknown: break;
  }
  return {};
}

bool CanDecodeImage(ImageFormat format) {
  const char* coder = ImageCoderName(format);
  if (!coder) return false;
  ExceptionInfo exception;
  GetExceptionInfo(&exception);
  const MagickInfo* magick = GetMagickInfo(coder, &exception);
  DestroyExceptionInfo(&exception);
  return magick && magick->decoder;
}

GuardedImage::~GuardedImage() {
  if (images_) DestroyImageList(static_cast<Image*>(images_));
}

GuardedImage::GuardedImage(GuardedImage&& other) noexcept { *this = std::move(other); }

GuardedImage& GuardedImage::operator=(GuardedImage&& other) noexcept {
  if (this != &other) {
    if (images_) DestroyImageList(static_cast<Image*>(images_));
    images_ = std::exchange(other.images_, nullptr);
    format_ = std::exchange(other.format_, ImageFormat::Unknown);
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
  }
  return *this;
}

GuardedImage DecodeImage(const void* data, std::int64_t size, const ImagePolicy& policy) {
  GuardedImage result;
  if (!data || size < 1 || size > policy.maxBytes) return result;
  const ImageFormat format = ImageFormatOfBytes(data, size);
  if (std::find(policy.formats.begin(), policy.formats.end(), format) == policy.formats.end() ||
      !CanDecodeImage(format))
    return result;
  ApplyResourceLimits();
  const char* coder = ImageCoderName(format);

  // The header alone first: a picture that declares a huge size is refused before any pixel
  // memory is asked for.
  {
    MagickCall ping(coder, policy.firstFrameOnly);
    if (!ping.info) return result;
    ping.images = PingBlob(ping.info, data, static_cast<size_t>(size), &ping.exception);
    if (ping.Failed() || !FramesWithinLimits(ping.images, policy)) return result;
  }
  MagickCall read(coder, policy.firstFrameOnly);
  if (!read.info) return result;
  read.images = BlobToImage(read.info, data, static_cast<size_t>(size), &read.exception);
  if (read.Failed() || !FramesWithinLimits(read.images, policy)) return result;

  result.format_ = format;
  result.width_ = static_cast<std::int32_t>(read.images->columns);
  result.height_ = static_cast<std::int32_t>(read.images->rows);
  result.images_ = std::exchange(read.images, nullptr);
  return result;
}

GuardedImage DecodeImageFile(const QString& path, const ImagePolicy& policy) {
  const QFileInfo info(path);
  if (!info.isFile() || info.size() < 1 || info.size() > policy.maxBytes) return {};
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  // Asks for the measured size only (a read of the whole limit would reserve it at once); one
  // byte more shows a file that grew since it was measured, which DecodeImage then refuses
  // when it passes the limit.
  const QByteArray bytes = file.read(std::min<qint64>(info.size(), policy.maxBytes) + 1);
  return DecodeImage(bytes, policy);
}

} // namespace common
