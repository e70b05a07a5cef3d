#include "common/library_init.h"

#include <curl/curl.h>
#include <magick/api.h>

#include <mutex>

namespace {
std::mutex gate;
int curlUsers = 0;
int magickUsers = 0;
} // namespace

CurlGlobal::CurlGlobal() {
  std::lock_guard lock(gate);
  if (curlUsers == 0 && curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) return;
  ++curlUsers;
  ok_ = true;
}

CurlGlobal::~CurlGlobal() {
  std::lock_guard lock(gate);
  if (ok_ && --curlUsers == 0) curl_global_cleanup();
}

ImageLibraryInit::ImageLibraryInit() {
  std::lock_guard lock(gate);
  // Without its own signal handlers: GraphicsMagick would otherwise end the process at once on
  // SIGTERM or SIGINT, before the program's own exit steps could run.
  if (magickUsers++ == 0) {
    ExceptionInfo exception;
    GetExceptionInfo(&exception);
    InitializeMagickEx(nullptr, MAGICK_OPT_NO_SIGNAL_HANDER, &exception);
    DestroyExceptionInfo(&exception);
  }
}

ImageLibraryInit::~ImageLibraryInit() {
  std::lock_guard lock(gate);
  // GraphicsMagick cannot be started again once destroyed in the same process, so it is left
  // running until exit; only the count is kept.
  --magickUsers;
}
