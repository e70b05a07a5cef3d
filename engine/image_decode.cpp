#include "engine/image_decode.h"

#include "engine/image_fetch.h"

namespace engine {

const common::ImagePolicy& PageImagePolicy() {
  using common::ImageFormat;
  static const common::ImagePolicy policy{
      {ImageFormat::Jpeg, ImageFormat::Png, ImageFormat::Gif, ImageFormat::Bmp,
       ImageFormat::Tiff, ImageFormat::WebP, ImageFormat::Avif},
      kMaxImageSide, kMaxImagePixels, kMaxImageBytes, true};
  return policy;
}

std::optional<DecodedImage> DecodeImageFile(const QString& path) {
  const common::GuardedImage image = common::DecodeImageFile(path, PageImagePolicy());
  if (!image) return std::nullopt;
  return DecodedImage{image.Width(), image.Height(), image.Format()};
}

} // namespace engine
