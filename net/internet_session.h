#pragma once
// FCInternetSession: the connection settings of one download (agent, proxy) and the libcurl
// machinery that carries its single request. It is the download's "internet handle": created
// on the user-interface thread, it opens one request on a worker thread, and closing it from
// any thread makes a blocking OpenUrl return at once.
#include <QByteArray>
#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>

class FCHttpRequest;

class FCInternetSession {
public:
  /// `proxy` is "host:port", or empty for the system's proxy configuration (environment).
  /// User name and password are given to the proxy only when not empty.
  FCInternetSession(const QString& agent, const QString& proxy, const QString& proxyUserName,
                    const QString& proxyPassword);
  ~FCInternetSession(); ///< Its request must already be gone.
  FCInternetSession(const FCInternetSession&) = delete;
  FCInternetSession& operator=(const FCInternetSession&) = delete;

  /// Blocking: sends a GET for `url` (http or https only) with `headers` (lines ending in
  /// "\r\n") and returns once the final response's headers have arrived; redirects are
  /// followed unless `flags` hold kHttpFlagNoAutoRedirect. Null when the request fails or the
  /// session is closed meanwhile. A session opens at most one request.
  std::unique_ptr<FCHttpRequest> OpenUrl(const QString& url, const QByteArray& headers,
                                         std::uint32_t flags);

  /// Any thread: ends a blocking OpenUrl (and any read of its request) with a failure.
  void Close();
  bool IsClosed() const { return closed_.load(); }

private:
  friend class FCHttpRequest;
  void* multi_ = nullptr; // CURLM*
  void* easy_ = nullptr;  // CURL*, handed to the request that OpenUrl creates
  std::atomic<bool> closed_{false};
};
