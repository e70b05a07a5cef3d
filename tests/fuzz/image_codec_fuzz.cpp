// Skin pictures and other image files on the image library's path: a load gives frames of
// pixels within the codec's limits, or false and no frame at all.
#include "image/image_codec_magick.h"
#include "image/image_property.h"
#include "image/obj_image.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static FCImageCodec_Magick codec;
  FCAutoPtrList<FCObjImage> frames;
  FCImageProperty property;
  const bool loaded = codec.LoadMemory(data, std::int64_t(size), frames, property);
  FUZZ_CHECK(loaded == (frames.Count() > 0));
  for (int i = 0; i < frames.Count(); ++i) {
    const FCObjImage* frame = frames[i];
    FUZZ_CHECK(frame && frame->IsValidImage());
    FUZZ_CHECK(frame->Width() <= FCImageCodec_Magick::kMaxSide &&
               frame->Height() <= FCImageCodec_Magick::kMaxSide);
  }
  return 0;
}
