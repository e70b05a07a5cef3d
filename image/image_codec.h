#pragma once
// FCImageCodec: reads and writes image files. `frames` receives one FCObjImage per frame
// (owned by the list); the base versions fail.
#include "common/auto_ptr_list.h"
#include "image/image_property.h"
#include "image/obj_image.h"

#include <QString>

class FCImageCodec {
public:
  virtual ~FCImageCodec() = default;
  virtual bool LoadFile(const QString& path, FCAutoPtrList<FCObjImage>& frames,
                        FCImageProperty& property) {
    return false;
  }
  virtual bool LoadMemory(const void* data, int64_t size, FCAutoPtrList<FCObjImage>& frames,
                          FCImageProperty& property) {
    return false;
  }
  /// Writes the first frame only.
  virtual bool SaveFile(const QString& path, const FCAutoPtrList<FCObjImage>& frames,
                        const FCImageProperty& property) {
    return false;
  }
};
