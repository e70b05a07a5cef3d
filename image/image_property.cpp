#include "image/image_property.h"

#include <QtEndian>

QByteArray FCImagePropertyItem::Packed() const {
  QByteArray block(10, '\0');
  auto* p = reinterpret_cast<uchar*>(block.data());
  qToLittleEndian<uint32_t>(tag, p);
  qToLittleEndian<uint16_t>(type, p + 4);
  qToLittleEndian<uint32_t>(static_cast<uint32_t>(value.size()), p + 6);
  return block + value;
}

bool FCImagePropertyItem::FromPacked(const QByteArray& block, FCImagePropertyItem& item) {
  if (block.size() < 10) return false;
  const auto* p = reinterpret_cast<const uchar*>(block.constData());
  const uint32_t length = qFromLittleEndian<uint32_t>(p + 6);
  if (uint64_t(length) != uint64_t(block.size() - 10)) return false;
  item.tag = qFromLittleEndian<uint32_t>(p);
  item.type = qFromLittleEndian<uint16_t>(p + 4);
  item.value = block.mid(10);
  return true;
}
