#include "image/image_codec_magick.h"

#include "image/exif_block.h"
#include "image/image_codec_factory.h"

#include <QSaveFile>
#include <cstdio>
#include <memory>

// The C interface inside namespace MagickLib, so its ImageType does not meet ours.
#include <Magick++/Include.h>

using namespace MagickLib;

#include "common/magick_call.h"

namespace {

/// What skin pictures and other image files may be: the guard's policy for this codec.
const common::ImagePolicy& LoadPolicy() {
  using common::ImageFormat;
  static const common::ImagePolicy policy{
      {ImageFormat::Png, ImageFormat::Jpeg, ImageFormat::Gif, ImageFormat::Bmp,
       ImageFormat::Tiff, ImageFormat::Ico},
      FCImageCodec_Magick::kMaxSide, FCImageCodec_Magick::kMaxPixels,
      FCImageCodec_Magick::kMaxFileBytes, false};
  return policy;
}

/// Copies one decoded frame into a new image, one row per transfer. Null when it is empty
/// or too large.
FCObjImage* ConvertFrame(Image* frame, int64_t& budget) {
  const auto width = static_cast<int64_t>(frame->columns);
  const auto height = static_cast<int64_t>(frame->rows);
  if (width <= 0 || height <= 0 || width > FCImageCodec_Magick::kMaxSide ||
      height > FCImageCodec_Magick::kMaxSide)
    return nullptr;
  if (frame->colorspace == CMYKColorspace)
    TransformColorspace(frame, RGBColorspace);
  const bool alpha = frame->matte != 0;
  const int bpp = alpha ? 32 : 24;
  budget -= (bpp / 8) * width * height;
  if (budget < 0) return nullptr;
  auto* image = new FCObjImage;
  if (!image->Create(static_cast<int>(width), static_cast<int>(height), bpp)) {
    delete image;
    return nullptr;
  }
  ExceptionInfo exception;
  GetExceptionInfo(&exception);
  for (int row = 0; row < image->Height(); ++row) {
    // A failing row ends the copy; the rows below stay zero and the frame is kept.
    if (!DispatchImage(frame, 0, row, frame->columns, 1, alpha ? "BGRA" : "BGR",
                                  CharPixel, image->GetBits(row), &exception))
      break;
  }
  DestroyExceptionInfo(&exception);
  return image;
}

/// A GIF stores each frame after the first as the part that changes, at an offset and with a
/// disposal rule; shown alone such a frame is a fragment. Returns the frames as whole pictures
/// of the logical screen, each as it looks at its turn (a new list the caller destroys), or
/// null when they would not fit the frame budget or cannot be made.
Image* CoalesceFrames(const Image* images) {
  int64_t count = 0;
  for (const Image* frame = images; frame; frame = frame->next) ++count;
  const int64_t width = images->page.width ? images->page.width : images->columns;
  const int64_t height = images->page.height ? images->page.height : images->rows;
  if (width > FCImageCodec_Magick::kMaxSide || height > FCImageCodec_Magick::kMaxSide ||
      width * height * 4 * count > FCImageCodec_Magick::kMaxFramesBytes)
    return nullptr;
  ExceptionInfo exception;
  GetExceptionInfo(&exception);
  Image* whole = CoalesceImages(images, &exception);
  if (whole && exception.severity >= ErrorException) {
    DestroyImageList(whole);
    whole = nullptr;
  }
  DestroyExceptionInfo(&exception);
  return whole;
}

void ReadProperties(Image* first, bool gif, FCImageProperty& property) {
  if (gif) {
    for (Image* frame = first; frame; frame = frame->next)
      property.frame_delays.append(static_cast<int>(frame->delay) * 10);
    QByteArray loops(2, '\0');
    const auto iterations = static_cast<uint16_t>(first->iterations);
    loops[0] = static_cast<char>(iterations & 0xFF);
    loops[1] = static_cast<char>(iterations >> 8);
    property.other_items.append(FCImagePropertyItem{PROPERTY_TAG_LOOP_COUNT, 3, loops});
  }
  size_t length = 0;
  const unsigned char* block = GetImageProfile(first, "EXIF", &length);
  if (block && length > 0 && length < (size_t(1) << 24))
    exif::Parse(QByteArray(reinterpret_cast<const char*>(block), static_cast<int>(length)),
                property);
}

const char* EncoderFor(int type) {
  switch (type) {
  case IMG_BMP: return "BMP";
  case IMG_JPG: return "JPEG";
  case IMG_GIF: return "GIF";
  case IMG_TIF: return "TIFF";
  case IMG_PNG: return "PNG";
  default: return nullptr;
  }
}

Quantum Q(uint8_t v) { return ScaleCharToQuantum(v); }

/// Fills `image` (already sized) from `source`, one row per transfer.
bool FillPixels(Image* image, const FCObjImage& source, int transparentIndex) {
  const int bpp = source.ColorBits();
  FCRgbQuad palette[256];
  if (bpp == 8) {
    source.GetColorTable(palette);
    if (!AllocateImageColormap(image, 256)) return false;
    for (int i = 0; i < 256; ++i) {
      image->colormap[i].blue = Q(palette[i].blue);
      image->colormap[i].green = Q(palette[i].green);
      image->colormap[i].red = Q(palette[i].red);
      image->colormap[i].opacity = i == transparentIndex ? TransparentOpacity : OpaqueOpacity;
    }
    image->matte = transparentIndex >= 0 && transparentIndex < 256;
  } else {
    image->matte = bpp == 32;
  }
  for (int row = 0; row < source.Height(); ++row) {
    PixelPacket* out = SetImagePixels(image, 0, row, image->columns, 1);
    if (!out) return false;
    IndexPacket* indexes = bpp == 8 ? AccessMutableIndexes(image) : nullptr;
    const uint8_t* in = source.GetBits(row);
    for (int col = 0; col < source.Width(); ++col, ++out) {
      if (bpp == 8) {
        if (indexes) indexes[col] = in[col];
        *out = image->colormap[in[col]];
        continue;
      }
      const uint8_t* p = in + col * (bpp / 8);
      out->blue = Q(p[0]);
      out->green = Q(p[1]);
      out->red = Q(p[2]);
      out->opacity = bpp == 32 ? static_cast<Quantum>(MaxRGB - Q(p[3])) : OpaqueOpacity;
    }
    if (!SyncImagePixels(image)) return false;
  }
  return true;
}

bool WriteAll(const QString& path, const void* data, size_t length) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(static_cast<const char*>(data), static_cast<qint64>(length)) !=
      static_cast<qint64>(length))
    return false;
  return file.commit();
}

} // namespace

FCImageCodec_Magick::FCImageCodec_Magick() = default;

bool FCImageCodec_Magick::LoadFile(const QString& path, FCAutoPtrList<FCObjImage>& frames,
                                   FCImageProperty& property) {
  return Convert(common::DecodeImageFile(path, LoadPolicy()), frames, property);
}

bool FCImageCodec_Magick::LoadMemory(const void* data, int64_t size,
                                     FCAutoPtrList<FCObjImage>& frames,
                                     FCImageProperty& property) {
  return Convert(common::DecodeImage(data, size, LoadPolicy()), frames, property);
}

bool FCImageCodec_Magick::Convert(const common::GuardedImage& decodedImage,
                                  FCAutoPtrList<FCObjImage>& frames, FCImageProperty& property) {
  auto* stored = static_cast<Image*>(decodedImage.MagickImages());
  if (!stored) return false;
  const bool gif = decodedImage.Format() == common::ImageFormat::Gif;
  const auto destroy = [](Image* list) { DestroyImageList(list); };
  std::unique_ptr<Image, decltype(destroy)> whole(nullptr, destroy);
  if (gif && stored->next) {
    whole.reset(CoalesceFrames(stored));
    if (!whole) return false;
  }
  Image* images = whole ? whole.get() : stored;
  // Decode everything into a list of our own first, so a failure adds no frame at all.
  FCAutoPtrList<FCObjImage> decoded;
  int64_t budget = kMaxFramesBytes;
  for (Image* frame = images; frame; frame = frame->next) {
    FCObjImage* image = ConvertFrame(frame, budget);
    if (budget < 0) return false;
    decoded.Add(image);
  }
  if (decoded.Count() == 0) return false;
  while (decoded.Count() > 0) frames.Add(decoded.Detach(0));
  ReadProperties(images, gif, property);
  return true;
}

bool FCImageCodec_Magick::SaveFile(const QString& path, const FCAutoPtrList<FCObjImage>& frames,
                                   const FCImageProperty& property) {
  const FCObjImage* source = frames[0];
  if (!source || !source->IsValidImage()) return false;
  const int type = GetCodecFactory()->ImageTypeFromPath(path);
  const char* coder = EncoderFor(type);
  if (!coder) return false;

  MagickCall call(coder);
  if (!call.info) return false;
  if (type == IMG_JPG)
    call.info->quality = property.save_param == -1 ? 90 : property.save_param;
  call.images = AllocateImage(call.info);
  if (!call.images) return false;
  Image* image = call.images;
  image->columns = static_cast<unsigned long>(source->Width());
  image->rows = static_cast<unsigned long>(source->Height());
  std::snprintf(image->magick, sizeof(image->magick), "%s", coder);
  const int transparent = type == IMG_GIF ? property.save_param : -1;
  if (!FillPixels(image, *source, transparent)) return false;

  const QByteArray exifBlock = exif::Build(property);
  if (!exifBlock.isEmpty())
    SetImageProfile(image, "EXIF",
                               reinterpret_cast<const unsigned char*>(exifBlock.constData()),
                               static_cast<size_t>(exifBlock.size()));

  size_t length = 0;
  void* blob = ImageToBlob(call.info, image, &length, &call.exception);
  if (!blob) return false;
  const bool ok = !call.Failed() && length > 0 && WriteAll(path, blob, length);
  MagickFree(blob);
  return ok;
}
