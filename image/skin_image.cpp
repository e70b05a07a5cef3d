#include "image/skin_image.h"

#include "image/draw_filter.h"
#include "image/image_effect.h"

#include <QPainter>

void FCSkinImage::Clear() {
  pixmap_.reset();
  image_.reset();
}

void FCSkinImage::SetFromImage(const FCObjImage& img) {
  Clear();
  if (!img.IsValidImage()) return;
  if (img.ColorBits() > 24) {
    image_ = std::make_unique<FCObjImage>(img);
    if (!image_->IsValidImage()) image_.reset();
    return;
  }
  QImage target(img.Width(), img.Height(), QImage::Format_RGB32);
  if (target.isNull()) return;
  {
    QPainter painter(&target);
    img.DrawTo(painter, 0, 0, img.Width(), img.Height());
  }
  pixmap_ = std::make_unique<QPixmap>(QPixmap::fromImage(target));
  if (pixmap_->isNull()) pixmap_.reset();
}

QString FCSkinImage::JoinSkinPath(const QString& folder, const QString& fileName) {
  QString path = folder;
  if (!path.isEmpty() && !path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
  path += fileName;
  return path.size() > 260 ? QString() : path;
}

bool FCSkinImage::LoadFromFile(const QString& folder, const QString& fileName) {
  Clear();
  const QString path = JoinSkinPath(folder, fileName);
  if (fileName.isEmpty() || path.isEmpty()) return false;
  FCObjImage img;
  img.LoadFromFile(path);
  SetFromImage(img);
  return !IsEmpty();
}

int FCSkinImage::Width() const {
  return pixmap_ ? pixmap_->width() : image_ ? image_->Width() : 0;
}

int FCSkinImage::Height() const {
  return pixmap_ ? pixmap_->height() : image_ ? image_->Height() : 0;
}

void FCSkinImage::DrawTo(QPainter& painter, int left, int top, int right, int bottom,
                         FCDrawFilter* filter) const {
  // An empty or inverted target draws nothing (a stretched middle piece can end up so).
  if (IsEmpty() || right <= left || bottom <= top) return;
  if (!filter && pixmap_) {
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawPixmap(QRect(left, top, right - left, bottom - top), *pixmap_);
    painter.restore();
    return;
  }
  FCObjImage copy;
  if (image_) copy = *image_;
  else copy.FromBitmap(pixmap_->toImage());
  if (!copy.IsValidImage()) return;
  if (filter) filter->FilterImage(copy);
  FCEffectPremultipleAlpha premultiply;
  copy.ApplyEffect(premultiply);
  copy.DrawTo(painter, left, top, right, bottom);
}
