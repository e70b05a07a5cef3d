#pragma once
// FCImageCodecFactory: chooses a codec by image type. GetCodecFactory() returns the one
// process-wide factory (the GraphicsMagick one), created on first use, deleted at exit.
#include "image/image_type.h"

#include <QString>

class FCImageCodec;

class FCImageCodecFactory {
public:
  virtual ~FCImageCodecFactory() = default;
  /// The type named by the extension after the last "." of `path`; IMG_UNKNOW without one.
  virtual int ImageTypeFromPath(const QString& path);
  /// A new codec for `type` (the caller owns it), or null when there is none.
  virtual FCImageCodec* CreateCodec(int type) = 0;
};

/// Codecs on GraphicsMagick for BMP, JPEG, GIF, TIFF, PNG and ICO (ICO load only).
class FCImageCodecFactory_Magick : public FCImageCodecFactory {
public:
  FCImageCodec* CreateCodec(int type) override;
};

FCImageCodecFactory* GetCodecFactory();
