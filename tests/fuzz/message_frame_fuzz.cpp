// Window-message frames from any local process of the same user: a frame is decoded only when
// it is exactly one well-formed frame, and a decoded frame encodes back to the same bytes. The
// socket reader is fed the bytes in one stream, cut anywhere.
#include "platform/message_frame.h"
#include "platform/message_socket.h"
#include "fuzz_support.h"

#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace platform;
  if (const auto frame = DecodeFrame(data, size)) {
    FUZZ_CHECK(size == kFrameSize);
    const FrameBytes again = EncodeFrame(*frame);
    FUZZ_CHECK(std::memcmp(again.data(), data, kFrameSize) == 0);
  }

  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return 0;
  const std::size_t sent = std::min<std::size_t>(size, 60000); // below the socket buffer
  if (sent > 0) (void)!write(ends[0], data, sent);
  shutdown(ends[0], SHUT_WR);
  std::size_t offset = 0;
  while (const auto frame = detail::ReadFrame(ends[1], 0)) {
    FUZZ_CHECK(offset + kFrameSize <= sent);
    FUZZ_CHECK(DecodeFrame(data + offset, kFrameSize).has_value());
    offset += kFrameSize;
  }
  close(ends[0]);
  close(ends[1]);
  return 0;
}
