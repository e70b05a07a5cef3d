#pragma once
// MagickCall: owns the C structures of one GraphicsMagick call: its exception, its image info
// and the images the call made, all released when it goes.
//
// Include it after GraphicsMagick's C interface. The image library reaches that interface
// inside namespace MagickLib (its ImageType would meet ours), the page-image guard directly;
// so the struct names whichever types the includer sees, and lives in an unnamed namespace:
// each file that includes it has its own.
#include <cstdio>

namespace {

struct MagickCall {
  /// `coder` ("PNG", "JPEG", ...) makes GraphicsMagick use that coder and no other, whatever
  /// the data looks like; `firstFrameOnly` reads only the first frame of a many-frame file.
  explicit MagickCall(const char* coder, bool firstFrameOnly = false) {
    GetExceptionInfo(&exception);
    info = CloneImageInfo(nullptr);
    if (!info) return;
    // "CODER:" in the file name forces the coder.
    std::snprintf(info->filename, sizeof(info->filename), "%s:", coder);
    std::snprintf(info->magick, sizeof(info->magick), "%s", coder);
    if (firstFrameOnly) {
      info->subimage = 0;
      info->subrange = 1;
    }
  }
  ~MagickCall() {
    if (images) DestroyImageList(images);
    if (info) DestroyImageInfo(info);
    DestroyExceptionInfo(&exception);
  }
  MagickCall(const MagickCall&) = delete;
  MagickCall& operator=(const MagickCall&) = delete;

  /// The call failed: it made no image, or reported an error.
  bool Failed() const { return !images || exception.severity >= ErrorException; }

  ExceptionInfo exception;
  ImageInfo* info = nullptr;
  Image* images = nullptr;
};

} // namespace
