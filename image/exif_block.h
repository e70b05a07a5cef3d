#pragma once
// Reading and writing the EXIF block (a little TIFF structure) that carries the property items
// of JPEG files. The reader is written for hostile input: every offset and count is checked.
#include "image/image_property.h"

#include <QByteArray>

namespace exif {

/// Adds make, model, capture date and every other item of `block` (with or without the
/// leading "Exif\0\0") to `property`. Pointer tags are not reported. False when the block is
/// not a TIFF structure.
bool Parse(const QByteArray& block, FCImageProperty& property);

/// The block for make, model, date and the raw items of `property`, starting with
/// "Exif\0\0"; empty when there is nothing to write. Items whose tag does not fit 16 bits or
/// whose length is not a whole number of values are left out.
QByteArray Build(const FCImageProperty& property);

} // namespace exif
