#pragma once
// FCHttpResponseInfo: what is known about a download's response. The user-interface thread
// fills it when the connect step has ended (before the connected event) and stores the read
// result when the receive step has ended (before the finished event).
#include <QString>
#include <cstdint>

class FCHttpRequest;

struct FCHttpResponseInfo {
  /// HTTP status of the final response; 0 when the connection failed.
  std::int32_t statusCode = 0;
  /// Content-Length of the response; 0 when absent.
  std::int32_t contentLength = 0;
  QString lastModified;
  QString server;
  /// Non-zero when the body ended normally; 0 when a read failed or nothing was connected.
  std::uint32_t readResult = 0;
  /// The open request; null means the connection failed. Owned by the download.
  const FCHttpRequest* requestHandle = nullptr;
};
