#pragma once
// A small HTTP server on 127.0.0.1 for tests that drive the browser or the downloader against
// pages they control. It listens on a free port from construction to destruction, serves only
// what the test registered, answers 404 to everything else, and records every request it
// receives so a test can prove what was (and was not) fetched.
//
//   testing_support::LocalSite site;
//   site.AddPage("/index.html", "<html><body><img src='a.png'></body></html>");
//   site.Add("/a.png", pngBytes, "image/png");
//   ... load site.Url("/index.html") ...
//   EXPECT_EQ(site.RequestCount("/a.png"), 0);
//
// Every member is thread-safe: the server answers on its own threads.
//
// An https site answers with a self-signed certificate for 127.0.0.1, made once per test
// process; CertificateFile() names it, for FOLIVEX_EXTRA_CA.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <memory>

namespace testing_support {

/// How the response states its length.
enum class BodyLength {
  Correct, ///< Content-Length matches the body.
  None,    ///< No Content-Length; the body ends when the connection closes.
  Wrong,   ///< Content-Length is `Resource::statedLength`, whatever the body's real size.
};

/// One registered answer.
struct Resource {
  QByteArray body;
  QByteArray contentType = "text/html; charset=utf-8";
  int status = 200;
  /// Extra response headers, sent as given (e.g. Location, Content-Disposition, Set-Cookie).
  QList<QPair<QByteArray, QByteArray>> headers;
  BodyLength length = BodyLength::Correct;
  /// The Content-Length sent with BodyLength::Wrong.
  qint64 statedLength = 0;
  /// When above 0, the body goes out one byte at a time, this many milliseconds apart (a
  /// server that trickles); the site's destruction cuts it short.
  int trickleMs = 0;
  /// "name=value" pairs that must all come in the request's Cookie header; without them the
  /// answer is 403.
  QList<QByteArray> requiredCookies;
  /// With BodyLength::None: the body goes out over and over until this many bytes have gone
  /// or the client gives up (0: once).
  qint64 repeatUpTo = 0;
};

/// One request as the server received it.
struct RecordedRequest {
  QByteArray method; ///< "GET", "POST", ...
  QByteArray path;   ///< Path without the query, e.g. "/a.png".
  QByteArray query;  ///< Raw query without "?", empty if none.
  QList<QPair<QByteArray, QByteArray>> headers; ///< As received; names as the client sent them.
  QByteArray body;

  /// First header of that name (case-insensitive), empty if absent.
  QByteArray Header(const QByteArray& name) const;
};

enum class SiteScheme { Http, Https };

class LocalSite {
public:
  /// Starts listening on 127.0.0.1 at a free port; throws std::runtime_error if it cannot.
  explicit LocalSite(SiteScheme scheme = SiteScheme::Http);
  ~LocalSite(); ///< Stops the server and waits for its threads.
  LocalSite(const LocalSite&) = delete;
  LocalSite& operator=(const LocalSite&) = delete;

  int Port() const;
  /// "http://127.0.0.1:<port>" + path (path starts with "/"); "https://" for an https site.
  QString Url(const QString& path) const;
  /// The PEM file of the https sites' certificate (made on first use); empty if it cannot be.
  static QString CertificateFile();

  /// Registers (or replaces) the answer for `path` (without query; any query is accepted).
  void Add(const QString& path, const Resource& resource);
  void Add(const QString& path, const QByteArray& body, const QByteArray& contentType);
  /// An HTML page in UTF-8.
  void AddPage(const QString& path, const QString& html);
  void Remove(const QString& path);

  /// Every request so far, oldest first.
  QList<RecordedRequest> Requests() const;
  /// How many requests asked for `path` (query ignored).
  int RequestCount(const QString& path) const;
  /// Body bytes handed to the network for `path` without a stated length, so far.
  qint64 BytesSent(const QString& path) const;
  void ClearRequests();

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

} // namespace testing_support
