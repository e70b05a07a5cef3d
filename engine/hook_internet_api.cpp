#include "engine/hook_internet_api.h"

#include "platform/sound.h"

namespace {

platform::PlaySoundFn realPlaySound = nullptr;

int SilentPlaySound(const char16_t*, void*, std::uint32_t) { return 1; }

} // namespace

CHookInternetAPI::CHookInternetAPI() {
  realPlaySound = platform::PlaySoundW;
  platform::PlaySoundW = &SilentPlaySound;
}

CHookInternetAPI::~CHookInternetAPI() {
  if (realPlaySound) platform::PlaySoundW = realPlaySound;
  realPlaySound = nullptr;
}
