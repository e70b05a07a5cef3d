// Page images as a web server may send them, on the engine's path: only the formats of the
// page policy decode, and what decodes lies within its limits.
#include "common/library_init.h"
#include "engine/image_decode.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static ImageLibraryInit magick;
  const common::GuardedImage image = common::DecodeImage(data, std::int64_t(size),
                                                         engine::PageImagePolicy());
  if (image) {
    FUZZ_CHECK(image.Width() > 0 && image.Height() > 0);
    FUZZ_CHECK(image.Width() <= engine::kMaxImageSide && image.Height() <= engine::kMaxImageSide);
    FUZZ_CHECK(!common::ImageExtensionOf(image.Format()).isEmpty());
    FUZZ_CHECK(image.Format() != common::ImageFormat::Ico);
  }
  return 0;
}
