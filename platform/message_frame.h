#pragma once
// The wire format of one window message between processes: 28 bytes, little-endian.
//
//   offset size  field
//   0      1     version (kFrameVersion)
//   1      1     kind (FrameKind)
//   2      2     reserved, 0
//   4      4     target window handle (int32)
//   8      4     message number (uint32)
//   12     8     wParam (int64)
//   20     8     lParam (int64); in a reply, the result
//
// One connection carries one request frame and, for kinds that wait, one reply frame.
// Anything else (wrong size, version, kind or reserved bits) is dropped and the connection
// closed.
#include <array>
#include <cstdint>
#include <optional>

namespace platform {

constexpr std::uint8_t kFrameVersion = 1;
constexpr std::size_t kFrameSize = 28;

enum class FrameKind : std::uint8_t {
  Send = 1,     ///< deliver and reply with the result; the sender waits
  Notify = 2,   ///< deliver as a sent message; nobody waits
  Post = 3,     ///< queue on the receiver's event loop; nobody waits
  IsWindow = 4, ///< reply 1 when the target window exists, else 0
  Reply = 5,    ///< the answer to Send or IsWindow, result in lParam
};

struct MessageFrame {
  FrameKind kind = FrameKind::Send;
  std::int32_t target = 0;
  std::uint32_t message = 0;
  std::int64_t wParam = 0;
  std::int64_t lParam = 0;
};

using FrameBytes = std::array<std::uint8_t, kFrameSize>;

FrameBytes EncodeFrame(const MessageFrame& frame);
std::optional<MessageFrame> DecodeFrame(const std::uint8_t* bytes, std::size_t size);

} // namespace platform
