#include "image/image_codec_factory.h"

#include "image/image_codec_magick.h"

#include <memory>

int FCImageCodecFactory::ImageTypeFromPath(const QString& path) {
  const int dot = path.lastIndexOf(QLatin1Char('.'));
  if (dot < 0) return IMG_UNKNOW;
  // Only ASCII A-Z are lowered, so no locale can turn another letter into a match.
  QString ext = path.mid(dot + 1);
  for (QChar& c : ext)
    if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) c = QChar(c.unicode() + 32);
  static const struct {
    const char* ext;
    ImageType type;
  } table[] = {{"bmp", IMG_BMP}, {"pcx", IMG_PCX}, {"jpg", IMG_JPG},  {"jpeg", IMG_JPG},
               {"jpe", IMG_JPG}, {"jfif", IMG_JPG}, {"gif", IMG_GIF}, {"tga", IMG_TGA},
               {"tif", IMG_TIF}, {"tiff", IMG_TIF}, {"png", IMG_PNG}, {"psd", IMG_PSD},
               {"ico", IMG_ICO}, {"xpm", IMG_XPM},  {"vqv", IMG_VQV}};
  for (const auto& entry : table)
    if (ext == QLatin1String(entry.ext)) return entry.type;
  return IMG_UNKNOW;
}

FCImageCodec* FCImageCodecFactory_Magick::CreateCodec(int type) {
  switch (type) {
  case IMG_BMP:
  case IMG_JPG:
  case IMG_GIF:
  case IMG_TIF:
  case IMG_PNG:
  case IMG_ICO:
    return new FCImageCodec_Magick;
  default:
    return nullptr;
  }
}

FCImageCodecFactory* GetCodecFactory() {
  static const std::unique_ptr<FCImageCodecFactory> factory(new FCImageCodecFactory_Magick);
  return factory.get();
}
