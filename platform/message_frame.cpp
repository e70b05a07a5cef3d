#include "platform/message_frame.h"

namespace platform {
namespace {

template <class T>
void Put(FrameBytes& out, std::size_t at, T value) {
  auto bits = static_cast<std::uint64_t>(value);
  for (std::size_t i = 0; i < sizeof(T); ++i) out[at + i] = std::uint8_t(bits >> (8 * i));
}

template <class T>
T Get(const std::uint8_t* in, std::size_t at) {
  std::uint64_t bits = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) bits |= std::uint64_t(in[at + i]) << (8 * i);
  return static_cast<T>(bits);
}

} // namespace

FrameBytes EncodeFrame(const MessageFrame& frame) {
  FrameBytes out{};
  out[0] = kFrameVersion;
  out[1] = static_cast<std::uint8_t>(frame.kind);
  Put<std::uint16_t>(out, 2, 0);
  Put<std::uint32_t>(out, 4, static_cast<std::uint32_t>(frame.target));
  Put<std::uint32_t>(out, 8, frame.message);
  Put<std::uint64_t>(out, 12, static_cast<std::uint64_t>(frame.wParam));
  Put<std::uint64_t>(out, 20, static_cast<std::uint64_t>(frame.lParam));
  return out;
}

std::optional<MessageFrame> DecodeFrame(const std::uint8_t* bytes, std::size_t size) {
  if (size != kFrameSize || bytes[0] != kFrameVersion) return std::nullopt;
  const std::uint8_t kind = bytes[1];
  if (kind < std::uint8_t(FrameKind::Send) || kind > std::uint8_t(FrameKind::Reply))
    return std::nullopt;
  if (Get<std::uint16_t>(bytes, 2) != 0) return std::nullopt;
  MessageFrame frame;
  frame.kind = static_cast<FrameKind>(kind);
  frame.target = static_cast<std::int32_t>(Get<std::uint32_t>(bytes, 4));
  frame.message = Get<std::uint32_t>(bytes, 8);
  frame.wParam = static_cast<std::int64_t>(Get<std::uint64_t>(bytes, 12));
  frame.lParam = static_cast<std::int64_t>(Get<std::uint64_t>(bytes, 20));
  return frame;
}

} // namespace platform
