#include "image/exif_block.h"

#include <QtEndian>
#include <algorithm>
#include <map>
#include <set>

namespace exif {
namespace {

constexpr uint16_t kExifIfdPointer = 0x8769;
constexpr uint16_t kGpsIfdPointer = 0x8825;
constexpr uint16_t kInteropIfdPointer = 0xA005;
constexpr int kMaxEntriesPerIfd = 1000;
constexpr uint32_t kMaxValueBytes = 1 << 16;

/// Bytes per value of a TIFF type, 0 for types we do not carry.
int TypeSize(uint16_t type) {
  switch (type) {
  case 1: case 2: case 6: case 7: return 1;
  case 3: case 8: return 2;
  case 4: case 9: case 11: return 4;
  case 5: case 10: case 12: return 8;
  default: return 0;
  }
}

/// Bytes of one component that need swapping (rationals are two longs).
int ComponentSize(uint16_t type) {
  const int size = TypeSize(type);
  return size == 8 && type != 12 ? 4 : size;
}

class Reader {
public:
  Reader(const QByteArray& tiff, bool bigEndian) : tiff_(tiff), big_(bigEndian) {}

  bool U16(uint32_t at, uint16_t& out) const {
    if (uint64_t(at) + 2 > uint64_t(tiff_.size())) return false;
    const auto* p = reinterpret_cast<const uchar*>(tiff_.constData()) + at;
    out = big_ ? qFromBigEndian<uint16_t>(p) : qFromLittleEndian<uint16_t>(p);
    return true;
  }
  bool U32(uint32_t at, uint32_t& out) const {
    if (uint64_t(at) + 4 > uint64_t(tiff_.size())) return false;
    const auto* p = reinterpret_cast<const uchar*>(tiff_.constData()) + at;
    out = big_ ? qFromBigEndian<uint32_t>(p) : qFromLittleEndian<uint32_t>(p);
    return true;
  }

  /// Reads one IFD; follows the Exif sub-IFD once. `seen` stops loops.
  void ReadIfd(uint32_t offset, FCImageProperty& property, std::set<uint32_t>& seen) {
    if (!seen.insert(offset).second) return;
    uint16_t count = 0;
    if (!U16(offset, count)) return;
    for (int i = 0; i < std::min<int>(count, kMaxEntriesPerIfd); ++i) {
      const uint32_t entry = offset + 2 + 12 * i;
      uint16_t tag = 0, type = 0;
      uint32_t n = 0;
      if (!U16(entry, tag) || !U16(entry + 2, type) || !U32(entry + 4, n)) return;
      if (tag == kExifIfdPointer) {
        uint32_t sub = 0;
        if (U32(entry + 8, sub)) ReadIfd(sub, property, seen);
        continue;
      }
      if (tag == kGpsIfdPointer || tag == kInteropIfdPointer) continue;
      ReadEntry(entry, tag, type, n, property);
    }
  }

private:
  void ReadEntry(uint32_t entry, uint16_t tag, uint16_t type, uint32_t n,
                 FCImageProperty& property) const {
    const int size = TypeSize(type);
    if (size == 0 || n == 0 || uint64_t(n) * size > kMaxValueBytes) return;
    const uint32_t bytes = n * size;
    uint32_t at = entry + 8;
    if (bytes > 4 && !U32(entry + 8, at)) return;
    if (uint64_t(at) + bytes > uint64_t(tiff_.size())) return;
    QByteArray value = tiff_.mid(at, bytes);
    if (big_) SwapToLittle(value, type);
    if (type == 2 && (tag == 271 || tag == 272 || tag == 36867)) {
      while (!value.isEmpty() && value.back() == '\0') value.chop(1);
      (tag == 271 ? property.equip_make
                  : tag == 272 ? property.equip_model : property.date_time_original) = value;
      return;
    }
    property.other_items.append(FCImagePropertyItem{tag, type, value});
  }

  static void SwapToLittle(QByteArray& value, uint16_t type) {
    const int c = ComponentSize(type);
    if (c < 2) return;
    for (int i = 0; i + c <= value.size(); i += c) std::reverse(value.begin() + i, value.begin() + i + c);
  }

  const QByteArray& tiff_;
  bool big_;
};

struct Entry {
  uint16_t tag;
  uint16_t type;
  QByteArray value; // little-endian
};

void Put16(QByteArray& out, uint16_t v) {
  uchar b[2];
  qToLittleEndian(v, b);
  out.append(reinterpret_cast<const char*>(b), 2);
}
void Put32(QByteArray& out, uint32_t v) {
  uchar b[4];
  qToLittleEndian(v, b);
  out.append(reinterpret_cast<const char*>(b), 4);
}
void Set32(QByteArray& out, int at, uint32_t v) {
  qToLittleEndian(v, reinterpret_cast<uchar*>(out.data()) + at);
}

/// Appends an IFD at the end of `tiff` (offsets relative to the TIFF start). Values longer
/// than 4 bytes follow the IFD. Returns the IFD's offset; `pointerSlot` receives the position
/// of the value field of `pointerTag`, if present.
uint32_t WriteIfd(QByteArray& tiff, const std::map<uint16_t, Entry>& entries,
                  uint16_t pointerTag = 0, int* pointerSlot = nullptr) {
  const uint32_t start = tiff.size();
  Put16(tiff, static_cast<uint16_t>(entries.size()));
  uint32_t data = start + 2 + 12 * entries.size() + 4;
  QByteArray extra;
  for (const auto& [tag, e] : entries) {
    Put16(tiff, tag);
    Put16(tiff, e.type);
    Put32(tiff, e.value.size() / TypeSize(e.type));
    if (tag == pointerTag && pointerSlot) *pointerSlot = tiff.size();
    if (e.value.size() <= 4) {
      tiff.append(e.value);
      tiff.append(4 - e.value.size(), '\0');
    } else {
      Put32(tiff, data + extra.size());
      extra.append(e.value);
      if (extra.size() % 2) extra.append('\0');
    }
  }
  Put32(tiff, 0); // no next IFD
  tiff.append(extra);
  return start;
}

QByteArray Ascii(const QByteArray& text) {
  QByteArray v = text;
  v.append('\0');
  return v;
}

} // namespace

bool Parse(const QByteArray& block, FCImageProperty& property) {
  QByteArray tiff = block.startsWith(QByteArray("Exif\0\0", 6)) ? block.mid(6) : block;
  if (tiff.size() < 8) return false;
  bool big;
  if (tiff.startsWith("II*\0")) big = false;
  else if (tiff.startsWith(QByteArray("MM\0*", 4))) big = true;
  else return false;
  Reader reader(tiff, big);
  uint32_t first = 0;
  if (!reader.U32(4, first)) return false;
  std::set<uint32_t> seen;
  reader.ReadIfd(first, property, seen);
  return true;
}

QByteArray Build(const FCImageProperty& property) {
  std::map<uint16_t, Entry> ifd0, exifIfd;
  if (!property.equip_make.isEmpty()) ifd0[271] = {271, 2, Ascii(property.equip_make)};
  if (!property.equip_model.isEmpty()) ifd0[272] = {272, 2, Ascii(property.equip_model)};
  if (!property.date_time_original.isEmpty())
    exifIfd[36867] = {36867, 2, Ascii(property.date_time_original)};
  for (const FCImagePropertyItem& item : property.other_items) {
    const int size = TypeSize(item.type);
    if (item.tag > 0xFFFF || size == 0 || item.value.isEmpty() || item.value.size() % size ||
        item.value.size() > int(kMaxValueBytes))
      continue;
    const auto tag = static_cast<uint16_t>(item.tag);
    if (tag == kExifIfdPointer || tag == kGpsIfdPointer || tag == kInteropIfdPointer) continue;
    ifd0[tag] = {tag, item.type, item.value};
  }
  if (ifd0.empty() && exifIfd.empty()) return {};
  if (!exifIfd.empty()) ifd0[kExifIfdPointer] = {kExifIfdPointer, 4, QByteArray(4, '\0')};

  QByteArray tiff("II*\0", 4);
  Put32(tiff, 8);
  int slot = -1;
  WriteIfd(tiff, ifd0, kExifIfdPointer, &slot);
  if (!exifIfd.empty() && slot >= 0) {
    if (tiff.size() % 2) tiff.append('\0');
    Set32(tiff, slot, WriteIfd(tiff, exifIfd));
  }
  return QByteArray("Exif\0\0", 6) + tiff;
}

} // namespace exif
