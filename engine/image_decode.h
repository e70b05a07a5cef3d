#pragma once
// Page images are pictures from the web: they are decoded only through the image guard
// (common/image_guard.h), under the engine's policy below.
//
// GraphicsMagick must have been started (ImageLibraryInit) before these are called.
#include "common/image_guard.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace engine {

/// Largest picture accepted, in pixels per side and in all: the guard's ceiling.
constexpr std::int64_t kMaxImageSide = common::kImageCeilingSide;
constexpr std::int64_t kMaxImagePixels = common::kImageCeilingPixels;

/// Page image formats: JPEG, PNG, GIF, BMP, TIFF, and WebP and AVIF where GraphicsMagick reads
/// them; the first frame only, at most the largest download.
const common::ImagePolicy& PageImagePolicy();

struct DecodedImage {
  std::int32_t width = 0;
  std::int32_t height = 0;
  common::ImageFormat format = common::ImageFormat::Unknown;
};

/// Decodes the first frame of `path` under PageImagePolicy. Null when the bytes name no
/// accepted format, the picture is too large, or decoding fails.
std::optional<DecodedImage> DecodeImageFile(const QString& path);

} // namespace engine
