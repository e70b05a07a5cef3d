#pragma once
// FCDrawFilter: a hook through which skin drawing passes colours and pictures.
// FilterColor may change a colour (0x00BBGGRR) before it is painted; FilterImage changes a
// working copy of a picture just before it is drawn (never the stored picture).
#include <cstdint>

class FCObjImage;

class FCDrawFilter {
public:
  virtual ~FCDrawFilter() = default;
  virtual void FilterColor(uint32_t& color) {}
  virtual void FilterImage(FCObjImage& img) {}
};
