#pragma once
// FCRgbQuad: one palette entry of an 8-bit image, stored blue, green, red, reserved.
#include <cstdint>

struct FCRgbQuad {
  uint8_t blue = 0;
  uint8_t green = 0;
  uint8_t red = 0;
  uint8_t reserved = 0;
};
static_assert(sizeof(FCRgbQuad) == 4);
