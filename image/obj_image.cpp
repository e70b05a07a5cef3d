#include "image/obj_image.h"

#include "image/image_codec.h"
#include "image/image_codec_factory.h"
#include "image/image_effect.h"
#include "image/image_property.h"

#include <QPainter>
#include <cstring>
#include <new>

namespace {

void FillGreyRamp(std::array<FCRgbQuad, 256>& palette) {
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<uint8_t>(i);
    palette[i] = FCRgbQuad{v, v, v, 255};
  }
}

} // namespace

FCObjImage::FCObjImage(const FCObjImage& other) : FCObjGraph() { *this = other; }

FCObjImage& FCObjImage::operator=(const FCObjImage& other) {
  if (this == &other || !other.IsValidImage()) return *this;
  if (!Create(other.width_, other.height_, other.bpp_)) return *this;
  std::memcpy(bits_.get(), other.bits_.get(), size_t(pitch_) * height_);
  palette_ = other.palette_;
  x = other.x;
  y = other.y;
  return *this;
}

bool FCObjImage::Create(int width, int height, int bpp) {
  Destroy();
  if (width <= 0 || height <= 0 || (bpp != 8 && bpp != 24 && bpp != 32)) return false;
  const int64_t pitch = (int64_t(bpp) * width + 31) / 32 * 4;
  if (pitch > kMaxImageBytes || pitch * height > kMaxImageBytes) return false;
  const size_t bytes = size_t(pitch) * height;
  bits_.reset(new (std::nothrow) uint8_t[bytes]);
  if (!bits_) return false;
  std::memset(bits_.get(), 0, bytes);
  width_ = width;
  height_ = height;
  bpp_ = bpp;
  pitch_ = static_cast<int>(pitch);
  rows_.resize(height);
  for (int row = 0; row < height; ++row)
    rows_[row] = bits_.get() + size_t(height - 1 - row) * pitch_;
  if (bpp == 8) FillGreyRamp(palette_);
  return true;
}

void FCObjImage::Destroy() {
  bits_.reset();
  rows_.clear();
  width_ = height_ = bpp_ = pitch_ = 0;
}

uint8_t* FCObjImage::GetBits(int row) const {
  return IsValidImage() && row >= 0 && row < height_ ? rows_[row] : nullptr;
}

uint8_t* FCObjImage::GetBits(int col, int row) const {
  if (col < 0 || col >= width_) return nullptr;
  uint8_t* line = GetBits(row);
  return line ? line + size_t(col) * (bpp_ / 8) : nullptr;
}

bool FCObjImage::MakeBgra32() {
  if (!IsValidImage() || bpp_ == 32) return true;
  FCObjImage converted;
  if (!converted.Create(width_, height_, 32)) return false;
  for (int row = 0; row < height_; ++row) {
    const uint8_t* src = GetBits(row);
    uint8_t* dst = converted.GetBits(row);
    for (int col = 0; col < width_; ++col, dst += 4) {
      if (bpp_ == 8) {
        const FCRgbQuad& c = palette_[*src++];
        dst[0] = c.blue;
        dst[1] = c.green;
        dst[2] = c.red;
      } else {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
        src += 3;
      }
      dst[3] = 255;
    }
  }
  converted.x = x;
  converted.y = y;
  // Take over the converted memory without copying it again.
  width_ = converted.width_;
  height_ = converted.height_;
  bpp_ = 32;
  pitch_ = converted.pitch_;
  bits_ = std::move(converted.bits_);
  rows_ = std::move(converted.rows_);
  return true;
}

bool FCObjImage::CopyRegion(FCObjImage& target, int left, int top, int right, int bottom) const {
  if (!IsValidImage() || &target == this) return false;
  if (left < 0 || top < 0 || right > width_ || bottom > height_) return false;
  if (!target.Create(right - left, bottom - top, bpp_)) return false;
  const size_t offset = size_t(left) * (bpp_ / 8);
  const size_t span = size_t(right - left) * (bpp_ / 8);
  for (int row = top; row < bottom; ++row)
    std::memcpy(target.GetBits(row - top), GetBits(row) + offset, span);
  if (bpp_ == 8) target.palette_ = palette_;
  return true;
}

bool FCObjImage::GetColorTable(FCRgbQuad* table256) const {
  if (!IsValidImage() || bpp_ != 8 || !table256) return false;
  std::memcpy(table256, palette_.data(), sizeof(palette_));
  return true;
}

bool FCObjImage::SetColorTable(const FCRgbQuad* table256) {
  if (!IsValidImage() || bpp_ != 8 || !table256) return false;
  std::memcpy(palette_.data(), table256, sizeof(palette_));
  return true;
}

bool FCObjImage::FromBitmap(const QImage& image) {
  Destroy();
  if (image.isNull()) return false;
  const QImage::Format f = image.format();
  const bool is32 = f == QImage::Format_ARGB32 || f == QImage::Format_ARGB32_Premultiplied ||
                    f == QImage::Format_RGB32;
  if (is32) {
    if (!Create(image.width(), image.height(), 32)) return false;
    for (int row = 0; row < height_; ++row)
      std::memcpy(GetBits(row), image.constScanLine(row), size_t(width_) * 4);
    return true;
  }
  const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
  if (bgr.isNull() || !Create(image.width(), image.height(), 24)) return false;
  for (int row = 0; row < height_; ++row)
    std::memcpy(GetBits(row), bgr.constScanLine(row), size_t(width_) * 3);
  return true;
}

bool FCObjImage::LoadFromFile(const QString& path) {
  Destroy();
  FCImageCodecFactory* factory = GetCodecFactory();
  std::unique_ptr<FCImageCodec> codec(factory->CreateCodec(factory->ImageTypeFromPath(path)));
  if (!codec) return false;
  FCAutoPtrList<FCObjImage> frames;
  FCImageProperty property;
  const bool ok = codec->LoadFile(path, frames, property);
  if (frames.Count() > 0) *this = *frames[0];
  return ok;
}

QImage FCObjImage::MemoryView(QImage::Format format32) const {
  QImage::Format format = bpp_ == 32 ? format32 : bpp_ == 24 ? QImage::Format_BGR888
                                                             : QImage::Format_Indexed8;
  // The view starts at the bottom row, so it shows the picture upside down.
  QImage view(bits_.get(), width_, height_, pitch_, format);
  if (bpp_ == 8) {
    QList<QRgb> colors(256);
    for (int i = 0; i < 256; ++i)
      colors[i] = qRgb(palette_[i].red, palette_[i].green, palette_[i].blue);
    view.setColorTable(colors);
  }
  return view;
}

void FCObjImage::DrawTo(QPainter& painter, int left, int top, int right, int bottom) const {
  if (!IsValidImage() || right <= left || bottom <= top) return;
  const QImage view = MemoryView(QImage::Format_ARGB32_Premultiplied);
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  // Flip vertically so the bottom-up rows land the right way up.
  painter.translate(left, bottom);
  painter.scale(1, -1);
  painter.drawImage(QRect(0, 0, right - left, bottom - top), view);
  painter.restore();
}

void FCObjImage::ApplyEffect(FCImageEffect& effect) {
  if (!effect.CanProcess(*this)) return;
  effect.BeginProcess(*this);
  switch (effect.ProcessMode()) {
  case FCImageEffect::PROCESS_TYPE_WHOLE:
    effect.ProcessImage(*this, nullptr);
    break;
  case FCImageEffect::PROCESS_TYPE_PIXEL: {
    const int step = bpp_ / 8;
    for (int row = 0; row < height_; ++row) {
      uint8_t* pixel = GetBits(row);
      for (int col = 0; col < width_; ++col, pixel += step)
        effect.ProcessOnePixel(*this, col, row, pixel);
    }
    break;
  }
  default:
    break;
  }
}

QImage FCObjImage::ToQImage() const {
  if (!IsValidImage()) return {};
  return MemoryView(QImage::Format_ARGB32)
      .mirrored(false, true)
      .convertToFormat(bpp_ == 32 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}
