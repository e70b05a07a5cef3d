#include "image/image_effect.h"

#include "image/fade_filter.h"
#include "image/obj_image.h"

bool FCImageEffect::CanProcess(const FCObjImage& img) {
  return img.IsValidImage() && img.ColorBits() >= 24;
}

bool FCEffectPremultipleAlpha::CanProcess(const FCObjImage& img) {
  return img.IsValidImage() && img.ColorBits() == 32;
}

void FCFadeFilter::FilterImage(FCObjImage& img) {
  if (inner_) inner_->FilterImage(img);
  if (!img.MakeBgra32() || !img.IsValidImage()) return;
  const int64_t step = step_;
  for (int row = 0; row < img.Height(); ++row) {
    uint8_t* pixel = img.GetBits(row);
    for (int col = 0; col < img.Width(); ++col, pixel += 4)
    {
      // A step outside 0..count (a caller's mistake) must not wrap the byte around.
      const int64_t a = pixel[3] * step / stepCount_;
      pixel[3] = static_cast<uint8_t>(a < 0 ? 0 : (a > 255 ? 255 : a));
    }
  }
}
