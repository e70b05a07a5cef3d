#pragma once
// FCImageEffect: a per-pixel or whole-image operation run by FCObjImage::ApplyEffect.
//
// ApplyEffect asks CanProcess first, then calls BeginProcess once and, by ProcessMode,
// either ProcessImage (0) or ProcessOnePixel for every pixel (1), rows from the top.
#include <cstdint>

class FCObjImage;

/// Receives progress of a whole-image effect (0..100). Nothing in the system reports any yet.
class FCProgressObserver {
public:
  virtual ~FCProgressObserver() = default;
  virtual bool UpdateProgress(int percent) { return true; }
};

class FCImageEffect {
public:
  enum ProcessModeValue {
    PROCESS_TYPE_WHOLE = 0, ///< ProcessImage is called once
    PROCESS_TYPE_PIXEL = 1, ///< ProcessOnePixel is called for every pixel
  };

  virtual ~FCImageEffect() = default;
  /// Default: a non-empty image of 24 or 32 bits.
  virtual bool CanProcess(const FCObjImage& img);
  virtual int ProcessMode() { return PROCESS_TYPE_PIXEL; }
  virtual void BeginProcess(FCObjImage& img) {}
  /// `pixel` is the address of pixel (x, y).
  virtual void ProcessOnePixel(FCObjImage& img, int x, int y, uint8_t* pixel) {}
  virtual void ProcessImage(FCObjImage& img, FCProgressObserver* progress) {}
};

/// Premultiplies blue, green and red by alpha: c * a / 255, truncated. 32-bit images only.
class FCEffectPremultipleAlpha : public FCImageEffect {
public:
  bool CanProcess(const FCObjImage& img) override;
  void ProcessOnePixel(FCObjImage& img, int x, int y, uint8_t* pixel) override {
    const unsigned a = pixel[3];
    pixel[0] = static_cast<uint8_t>(pixel[0] * a / 255);
    pixel[1] = static_cast<uint8_t>(pixel[1] * a / 255);
    pixel[2] = static_cast<uint8_t>(pixel[2] * a / 255);
  }
};
