#pragma once
// FCHttpRequest: one open HTTP request, the download's "request handle". It exists once the
// final response's headers have arrived (FCInternetSession::OpenUrl); its body is then read
// in blocks, on one thread at a time. Close() may be called from any thread and makes a
// blocking Read return a failure.
//
// The transfer runs on libcurl's multi interface, driven by whichever thread is blocked in
// OpenUrl or Read, so the request can wait on the network and still notice Close() at once.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>

class FCInternetSession;

class FCHttpRequest {
public:
  ~FCHttpRequest();
  FCHttpRequest(const FCHttpRequest&) = delete;
  FCHttpRequest& operator=(const FCHttpRequest&) = delete;

  /// Blocking: copies up to `size` body bytes into `buffer`. Returns the count (> 0), 0 when
  /// the body has ended normally, -1 when the transfer failed or the request was closed.
  int Read(char* buffer, int size);

  /// Any thread: ends a blocking Read with a failure.
  void Close();

  /// Status code of the final response.
  int StatusCode() const { return statusCode_; }
  /// Value of the first header `name` (case-insensitive) of the final response, empty if none.
  QByteArray QueryHeader(const QByteArray& name) const;

private:
  friend class FCInternetSession;
  FCHttpRequest(FCInternetSession* session, void* easy);

  /// Sets the request up and adds it to the session's transfer; false when libcurl refuses.
  bool Start(const QString& url, const QByteArray& headers, std::uint32_t flags);

  /// Runs the transfer until `ready` holds or the transfer ends. False when closed.
  bool Pump(const std::function<bool()>& ready);
  bool Closed() const;
  int PendingBytes() const { return int(pending_.size() - pendingOffset_); }

  static size_t OnHeader(char* data, size_t size, size_t count, void* self);
  static size_t OnBody(char* data, size_t size, size_t count, void* self);
  void HeaderLine(const QByteArray& line);

  FCInternetSession* session_;
  void* easy_;              // CURL*
  void* headerList_ = nullptr; // curl_slist*, alive as long as the transfer
  bool followRedirects_ = true;
  std::atomic<bool> closed_{false};

  int statusCode_ = 0;
  QList<QPair<QByteArray, QByteArray>> headers_; // of the response block being read or final
  bool headersFinal_ = false;

  QByteArray pending_; // body bytes received and not yet read
  qsizetype pendingOffset_ = 0;
  bool done_ = false;
  int result_ = 0; // CURLcode of the ended transfer
};
