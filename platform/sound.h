#pragma once
// The process-wide sound entry point. Everything in a program that plays a system sound calls
// through PlaySoundW; the engine swaps in a silent stub for as long as its host dialog lives.
#include <cstdint>

namespace platform {

/// Sound name (alias or file; null stops sounds), module (unused here), flags.
using PlaySoundFn = int (*)(const char16_t* sound, void* module, std::uint32_t flags);

/// The entry point every caller uses; initially the real player.
extern PlaySoundFn PlaySoundW;

/// The real player: plays a sound file through the desktop's player when one is installed.
int RealPlaySound(const char16_t* sound, void* module, std::uint32_t flags);

} // namespace platform
