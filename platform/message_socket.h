#pragma once
// Unix-socket plumbing of the window messages: one abstract socket per process, named from
// the user id and the process id. Internal to platform/.
#include "platform/message_frame.h"

#include <sys/types.h>

namespace platform::detail {

/// Listening socket of this process; -1 on failure.
int ListenForMessages();

/// Connects to the socket of process `pid`; -1 when there is none.
int ConnectToProcess(pid_t pid);

/// True when the connected peer runs as this process's user.
bool PeerIsSameUser(int fd);

/// Writes a whole frame (retrying partial writes and EINTR). False on error.
bool WriteFrame(int fd, const MessageFrame& frame);

/// Reads one whole frame, waiting at most `timeoutMs` (-1: no limit). nullopt on a closed,
/// slow or malformed connection.
std::optional<MessageFrame> ReadFrame(int fd, int timeoutMs);

} // namespace platform::detail
