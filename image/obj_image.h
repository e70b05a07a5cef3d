#pragma once
// FCObjImage: an 8, 24 or 32 bits-per-pixel picture in one block of memory.
//
// Memory layout (kept because every effect and codec addresses pixels through it):
// - rows are bottom-up: the top row lies last in memory, so row y starts at
//   bits + (height - 1 - y) * pitch, with pitch = (bpp * width + 31) / 32 * 4 (rows padded to
//   4 bytes); GetBits(y) reads the row table built by Create;
// - pixels are blue, green, red (and alpha for 32 bits) in that byte order;
// - a 32-bit image holds straight alpha until an effect premultiplies it for drawing;
// - an 8-bit image has a 256-entry palette, a grey ramp after Create.
// An image is empty when it holds no pixel memory; most operations do nothing then.
#include "image/obj_graph.h"
#include "image/rgb_quad.h"

#include <QImage>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class QPainter;
class FCImageEffect;

class FCObjImage : public FCObjGraph {
public:
  /// Largest pixel block Create accepts; larger requests fail like a failed allocation.
  static constexpr int64_t kMaxImageBytes = int64_t(1) << 30;

  FCObjImage() = default;
  FCObjImage(const FCObjImage& other);
  FCObjImage& operator=(const FCObjImage& other);
  ~FCObjImage() override = default;

  /// Frees any previous content, then makes a zero-filled image. Fails (false, image left
  /// empty) unless width > 0, height > 0, bpp is 8, 24 or 32 and the memory can be had.
  bool Create(int width, int height, int bpp);
  /// Frees the pixels; the image becomes empty (the position is kept).
  void Destroy();

  bool IsValidImage() const { return bits_ != nullptr; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int ColorBits() const { return bpp_; }
  /// Bytes per row, padded to 4 bytes; 0 when empty.
  int GetPitch() const { return pitch_; }
  /// Start of the pixel memory (the bottom row); null when empty.
  uint8_t* GetMemStart() const { return bits_.get(); }
  /// First byte of row y (0 = top), or null outside the image.
  uint8_t* GetBits(int y) const;
  /// Address of pixel (x, y), or null outside the image.
  uint8_t* GetBits(int x, int y) const;

  /// Converts an 8- or 24-bit image in place to 32 bits with alpha 255 (8 bits through the
  /// palette). A 32-bit or empty image is left alone. False only when memory ran out.
  bool MakeBgra32();
  /// Copies the rectangle [left, right) x [top, bottom) into `target` at this depth (and the
  /// palette for 8 bits). Fails when the rectangle leaves the image or is empty.
  bool CopyRegion(FCObjImage& target, int left, int top, int right, int bottom) const;

  /// The 256-entry palette; only 8-bit images have one (others: false, nothing copied).
  bool GetColorTable(FCRgbQuad* table256) const;
  bool SetColorTable(const FCRgbQuad* table256);

  /// Takes a Qt image: 32-bit formats are copied byte for byte as 32 bits (straight or
  /// premultiplied, as the source holds them), everything else becomes 24 bits.
  /// Returns whether the image is non-empty afterwards.
  bool FromBitmap(const QImage& image);
  /// Loads the first frame of a file through the codec its extension names.
  bool LoadFromFile(const QString& path);

  /// Draws the whole image scaled (without smoothing) into (left, top)-(right, bottom).
  /// 32-bit pixels must already be premultiplied; they are blended source-over.
  void DrawTo(QPainter& painter, int left, int top, int right, int bottom) const;
  /// Runs an effect over the image when the effect accepts it.
  void ApplyEffect(FCImageEffect& effect);

  /// A top-down copy as a Qt image (ARGB32 straight for 32 bits, RGB32 otherwise).
  QImage ToQImage() const;

private:
  /// A Qt image sharing this image's memory; it is upside down (bottom row first).
  QImage MemoryView(QImage::Format format32) const;

  int width_ = 0;
  int height_ = 0;
  int bpp_ = 0;
  int pitch_ = 0;
  std::unique_ptr<uint8_t[]> bits_;
  std::vector<uint8_t*> rows_;
  std::array<FCRgbQuad, 256> palette_{};
};
