#pragma once
// The one way pictures from outside are decoded: page images from the web (engine) and skin
// pictures that users edit and share (image library). Such files are untrusted, so:
// - the format is decided by the file's leading bytes alone, never by its name or type;
// - only the GraphicsMagick coder of that format runs, and only for formats the caller accepts;
// - the header is pinged first, and a picture that declares more than the caller's limits is
//   refused before any pixel memory is asked for;
// - GraphicsMagick runs under process-wide resource limits (bounded memory, map and input,
//   no disk cache), so a decompression bomb fails instead of filling memory or the disk.
//
// GraphicsMagick must have been started (ImageLibraryInit) before DecodeImage is called.
// Decoding is thread-safe: each call works on its own structures.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace common {

enum class ImageFormat {
  Unknown, ///< the leading bytes name no format the guard knows
  Bmp,
  Jpeg,
  Gif,
  Png,
  Tiff,
  Ico,  ///< weak signature (four bytes), so only callers that need it accept it
  WebP, ///< readable only when this GraphicsMagick has the coder (CanDecodeImage)
  Avif, ///< readable only when this GraphicsMagick has the coder (CanDecodeImage)
};

/// The format that the first bytes of a file name; Unknown for anything else.
ImageFormat ImageFormatOfBytes(const void* data, std::int64_t size);
inline ImageFormat ImageFormatOfBytes(const QByteArray& leadingBytes) {
  return ImageFormatOfBytes(leadingBytes.constData(), leadingBytes.size());
}

/// GraphicsMagick's coder name ("PNG", "JPEG", ...); null for Unknown.
const char* ImageCoderName(ImageFormat format);

/// A saved file's extension: ".bmp", ".jpg", ".gif", ".png", ".tif", ".ico", ".webp",
/// ".avif"; empty for Unknown.
QString ImageExtensionOf(ImageFormat format);

/// Whether this machine's GraphicsMagick has a reader for `format`.
bool CanDecodeImage(ImageFormat format);

/// GraphicsMagick's own limits, set once per process before the first decode. They are the
/// ceiling of every policy: a policy may only be stricter.
constexpr std::int64_t kImageCeilingSide = 30000;
constexpr std::int64_t kImageCeilingPixels = 40'000'000;
constexpr std::int64_t kImageCeilingMemory = std::int64_t(512) << 20;
constexpr std::int64_t kImageCeilingRead = std::int64_t(512) << 20;

/// What one caller accepts.
struct ImagePolicy {
  std::vector<ImageFormat> formats; ///< formats decoded; any other is refused unread
  std::int64_t maxSide = kImageCeilingSide;     ///< widest and tallest frame
  std::int64_t maxPixels = kImageCeilingPixels; ///< most pixels of one frame
  std::int64_t maxBytes = 0;                    ///< largest input accepted
  bool firstFrameOnly = true; ///< a thousand-frame GIF is not expanded when true
};

/// Frames decoded under the guard. Owns GraphicsMagick's image list; move-only.
class GuardedImage {
public:
  GuardedImage() = default;
  ~GuardedImage();
  GuardedImage(GuardedImage&& other) noexcept;
  GuardedImage& operator=(GuardedImage&& other) noexcept;
  GuardedImage(const GuardedImage&) = delete;
  GuardedImage& operator=(const GuardedImage&) = delete;

  bool IsNull() const { return images_ == nullptr; }
  explicit operator bool() const { return !IsNull(); }
  ImageFormat Format() const { return format_; }
  /// Size of the first frame.
  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }

  /// The frames as GraphicsMagick's C `Image*` list, for code that copies pixels or reads
  /// profiles; owned by this object and valid while it lives. Every frame is within the policy.
  void* MagickImages() const { return images_; }

private:
  friend GuardedImage DecodeImage(const void*, std::int64_t, const ImagePolicy&);
  void* images_ = nullptr;
  ImageFormat format_ = ImageFormat::Unknown;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
};

/// Decodes `data` with the coder its leading bytes name. Null when the format is not in the
/// policy or not readable here, the input is empty or too long, any frame (declared or decoded)
/// is beyond the policy's limits, or the coder reports an error (warnings, as from a slightly
/// damaged but readable picture, are accepted).
GuardedImage DecodeImage(const void* data, std::int64_t size, const ImagePolicy& policy);
inline GuardedImage DecodeImage(const QByteArray& bytes, const ImagePolicy& policy) {
  return DecodeImage(bytes.constData(), bytes.size(), policy);
}

/// Reads `path` (a regular file of at most policy.maxBytes) and decodes it as DecodeImage does.
GuardedImage DecodeImageFile(const QString& path, const ImagePolicy& policy);

} // namespace common
