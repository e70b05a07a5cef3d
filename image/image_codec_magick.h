#pragma once
// FCImageCodec_Magick: BMP, JPEG, GIF, TIFF and PNG (and loading ICO) on GraphicsMagick.
//
// Image files come from skin folders that users edit and from the web, so the codec treats
// every file as hostile: the file is decoded only with the coder its leading bytes name (one
// of the six formats above; anything else fails), GraphicsMagick runs under resource limits
// (size, pixels, memory; no disk cache), and any decoding error yields false and no frames.
// Rows are transferred one at a time straight between GraphicsMagick and the image rows.
#include "common/auto_init.h"
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

  /// The coder name ("PNG", "JPEG", ...) the leading bytes name, or null.
  static const char* SniffCoder(const void* data, int64_t size);

private:
  FCAutoInitGDIPlus magick_; // GraphicsMagick stays started while a codec lives
};
