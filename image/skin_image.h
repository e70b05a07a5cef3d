#pragma once
// FCSkinImage: a skin picture ready to draw. Pictures of 24 bits or less are held as a
// QPixmap (converted once, so drawing them is a plain scaled copy); pictures with alpha are
// held as an owned 32-bit FCObjImage with straight alpha. Drawing never changes the stored
// picture: alpha and filters work on a copy.
#include "image/obj_image.h"

#include <QPixmap>
#include <QString>
#include <memory>

class FCDrawFilter;
class QPainter;

class FCSkinImage {
public:
  FCSkinImage() = default;
  virtual ~FCSkinImage() = default;
  FCSkinImage(const FCSkinImage&) = delete;
  FCSkinImage& operator=(const FCSkinImage&) = delete;

  /// Replaces the content by `img` (an empty image leaves this empty).
  void SetFromImage(const FCObjImage& img);
  /// Loads `fileName` relative to `folder` (which ends with "/") and takes its first frame.
  /// A file that does not load leaves this empty.
  bool LoadFromFile(const QString& folder, const QString& fileName);
  void Clear();

  bool IsEmpty() const { return !pixmap_ && !image_; }
  /// Natural size; 0 when empty.
  int Width() const;
  int Height() const;
  /// The held 32-bit picture (null unless the picture has alpha).
  const FCObjImage* AlphaImage() const { return image_.get(); }
  const QPixmap* Pixmap() const { return pixmap_.get(); }

  /// Draws the picture scaled (without smoothing) into (left, top)-(right, bottom), through
  /// `filter` when one is given.
  void DrawTo(QPainter& painter, int left, int top, int right, int bottom,
              FCDrawFilter* filter = nullptr) const;

  /// The path of a skin picture: `fileName` joined to `folder`; empty when the result would
  /// exceed 260 characters (the limit of skin paths).
  static QString JoinSkinPath(const QString& folder, const QString& fileName);

private:
  std::unique_ptr<QPixmap> pixmap_;
  std::unique_ptr<FCObjImage> image_;
};
