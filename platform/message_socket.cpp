#include "platform/message_socket.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform::detail {
namespace {

socklen_t AddressOf(pid_t pid, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  // Abstract name: a leading NUL, then the text; it vanishes with the process.
  const int n = std::snprintf(address.sun_path + 1, sizeof address.sun_path - 1,
                              "folivex-wnd-%u-%d", unsigned(getuid()), int(pid));
  return socklen_t(offsetof(sockaddr_un, sun_path) + 1 + n);
}

} // namespace

int ListenForMessages() {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_un address;
  const socklen_t length = AddressOf(getpid(), address);
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(fd, 64) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

int ConnectToProcess(pid_t pid) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_un address;
  const socklen_t length = AddressOf(pid, address);
  while (connect(fd, reinterpret_cast<sockaddr*>(&address), length) != 0) {
    if (errno == EINTR) continue;
    close(fd);
    return -1;
  }
  // Abstract names carry no permissions: another user may have taken ours first.
  if (!PeerIsSameUser(fd)) {
    close(fd);
    return -1;
  }
  return fd;
}

bool PeerIsSameUser(int fd) {
  ucred credentials{};
  socklen_t length = sizeof credentials;
  if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0) return false;
  return credentials.uid == getuid();
}

bool WriteFrame(int fd, const MessageFrame& frame) {
  const FrameBytes bytes = EncodeFrame(frame);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += std::size_t(n);
  }
  return true;
}

std::optional<MessageFrame> ReadFrame(int fd, int timeoutMs) {
  FrameBytes bytes{};
  std::size_t done = 0;
  while (done < bytes.size()) {
    pollfd p{fd, POLLIN, 0};
    const int ready = poll(&p, 1, timeoutMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return std::nullopt;
    const ssize_t n = recv(fd, bytes.data() + done, bytes.size() - done, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return std::nullopt;
    done += std::size_t(n);
  }
  return DecodeFrame(bytes.data(), bytes.size());
}

} // namespace platform::detail
