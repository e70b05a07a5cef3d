#pragma once
// FCImageCodec_Magick: BMP, JPEG, GIF, TIFF and PNG (and loading ICO) on GraphicsMagick.
//
// Image files come from skin folders that users edit and from the web, so the codec treats
// every file as hostile and loads only through the image guard (common/image_guard.h): the
// coder the leading bytes name (one of the six formats above; anything else fails), the
// limits below checked from the header before decoding, and any decoding error yields false
// and no frames. Rows are transferred one at a time straight between GraphicsMagick and the
// image rows.
#include "common/library_init.h"
#include "common/image_guard.h"
#include "image/image_codec.h"

class FCImageCodec_Magick : public FCImageCodec {
public:
  /// Largest file LoadFile reads.
  static constexpr int64_t kMaxFileBytes = int64_t(256) << 20;
  /// Largest width or height of a decoded picture.
  static constexpr int kMaxSide = 16384;
  /// Most pixels of one decoded picture (a small file may claim a huge picture).
  static constexpr int64_t kMaxPixels = int64_t(32) << 20;
  /// Largest total of pixel bytes of all frames of one file.
  static constexpr int64_t kMaxFramesBytes = int64_t(512) << 20;

  FCImageCodec_Magick();

  bool LoadFile(const QString& path, FCAutoPtrList<FCObjImage>& frames,
                FCImageProperty& property) override;
  bool LoadMemory(const void* data, int64_t size, FCAutoPtrList<FCObjImage>& frames,
                  FCImageProperty& property) override;
  bool SaveFile(const QString& path, const FCAutoPtrList<FCObjImage>& frames,
                const FCImageProperty& property) override;

private:
  /// Copies the guard's frames into `frames`; false (and no frame added) when any is unusable.
  static bool Convert(const common::GuardedImage& decodedImage, FCAutoPtrList<FCObjImage>& frames,
                      FCImageProperty& property);

  ImageLibraryInit magick_; // GraphicsMagick stays started while a codec lives
};
