#pragma once
// FCHttpDownloadParam: what one download asks for. A download copies it when it is created, so
// the caller's object may change or die afterwards.
#include <QString>
#include <cstdint>

/// Request flag bits. The transfer keeps no cache, so the two default bits hold by construction;
/// the only bit with an effect is kHttpFlagNoAutoRedirect.
inline constexpr std::uint32_t kHttpFlagReload = 0x80000000;       ///< Always ask the server.
inline constexpr std::uint32_t kHttpFlagNoCacheWrite = 0x04000000; ///< Store nothing in a cache.
inline constexpr std::uint32_t kHttpFlagNoAutoRedirect = 0x00200000; ///< Do not follow redirects.

struct FCHttpDownloadParam {
  /// The agent a desktop browser of this platform sends; the default of `userAgent`.
  static QString DefaultUserAgent();

  QString url;
  /// When above 0, the request asks for the bytes from this offset on ("Range: bytes=N-").
  std::int32_t resumeOffset = 0;
  QString userAgent = DefaultUserAgent();
  /// Header lines appended to the request, separated by "\r\n" (a bare "\n" is accepted too).
  QString extraHeaders;
  std::uint32_t requestFlags = kHttpFlagReload | kHttpFlagNoCacheWrite;
  /// When above 0, receiving stops (as a failed read) once the buffer holds more than this
  /// many bytes, so a body that is too large never fills memory before anyone looks at it.
  std::int32_t maxBodyBytes = 0;
  /// Empty: the system's proxy configuration (the http_proxy/https_proxy/no_proxy environment).
  QString proxyHost;
  std::int32_t proxyPort = 80;
  /// Sent to the proxy only when not empty.
  QString proxyUserName;
  QString proxyPassword;
};
