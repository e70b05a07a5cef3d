#pragma once
// FCImageProperty: what a codec reads besides the pixels, and what it writes with them.
#include <QByteArray>
#include <QList>
#include <cstdint>

/// One raw property item: an EXIF-style tag, its value type and the value bytes (multi-byte
/// values in little-endian order). Types: 1 byte, 2 ASCII, 3 short, 4 long, 5 rational,
/// 7 undefined, 9 signed long, 10 signed rational.
struct FCImagePropertyItem {
  uint32_t tag = 0;
  uint16_t type = 0;
  QByteArray value;

  /// The packed form: tag (32-bit), type (16-bit), length (32-bit), then the value bytes,
  /// all little-endian.
  QByteArray Packed() const;
  /// Reverses Packed; false for a block that is too short or whose length does not match.
  static bool FromPacked(const QByteArray& block, FCImagePropertyItem& item);
};

/// Well-known tags.
enum : uint32_t {
  PROPERTY_TAG_EQUIP_MAKE = 271,      ///< camera maker (ASCII)
  PROPERTY_TAG_EQUIP_MODEL = 272,     ///< camera model (ASCII)
  PROPERTY_TAG_DATE_TIME_ORIGINAL = 36867, ///< capture date and time (ASCII)
  PROPERTY_TAG_FRAME_DELAY = 0x5100,  ///< GIF frame delays (long, 1/100 s each)
  PROPERTY_TAG_LOOP_COUNT = 0x5101,   ///< GIF loop count (short)
};

class FCImageProperty {
public:
  virtual ~FCImageProperty() = default;

  /// Saving JPEG: the quality (-1 means 90). Saving an 8-bit GIF: the transparent palette
  /// index (-1 means none).
  int save_param = -1;
  /// Frame delays in milliseconds (GIF frames).
  QList<int> frame_delays;
  QByteArray equip_make;      ///< tag 271, without terminating zero
  QByteArray equip_model;     ///< tag 272
  QByteArray date_time_original; ///< tag 36867
  /// Every other item read from the file, and items to write as they are.
  QList<FCImagePropertyItem> other_items;
};
