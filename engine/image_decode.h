#pragma once
// Checking that downloaded bytes are a picture, safely. Files from the web are untrusted: the
// format is decided by the file's leading bytes alone, only the decoder of that format is
// run, and it runs under resource limits, so unknown data, script-like formats and
// decompression bombs are refused instead of decoded.
//
// GraphicsMagick must have been started (FCAutoInitGDIPlus) before these are called.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace engine {

enum class ImageFormat {
  Unknown, ///< leading bytes name no accepted format
  Bmp,
  Jpeg,
  Gif,
  Png,
  Tiff,
  WebP, ///< only when this GraphicsMagick can read it
  Avif, ///< only when this GraphicsMagick can read it
};

/// The format that the file's first bytes name; Unknown for anything else.
ImageFormat ImageFormatOfBytes(const QByteArray& leadingBytes);

/// The saved file's extension for a decoded format: ".bmp", ".jpg", ".gif", ".png", ".tif",
/// ".webp", ".avif"; empty for Unknown.
QString ImageExtensionOf(ImageFormat format);

/// Whether this machine's GraphicsMagick has a reader for `format`.
bool CanDecode(ImageFormat format);

struct DecodedImage {
  std::int32_t width = 0;
  std::int32_t height = 0;
  ImageFormat format = ImageFormat::Unknown;
};

/// Largest picture accepted, in pixels per side and in all.
constexpr std::int64_t kMaxImageSide = 30000;
constexpr std::int64_t kMaxImagePixels = 40'000'000;

/// Decodes the first frame of `path` with the coder its leading bytes name. Null when the
/// bytes name no accepted format, the picture is too large, or decoding fails. The file is
/// closed again when this returns.
std::optional<DecodedImage> DecodeImageFile(const QString& path);

} // namespace engine
