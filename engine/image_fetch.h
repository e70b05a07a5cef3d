#pragma once
// Fetching one page image again over HTTP, as the page's reader would: with the page as
// referring page, a fixed Accept block, the browser's user agent and the cookies the browser
// would send to each address. Blocking; runs on the engine's main thread, at most 30 s per
// image, and gives up within a tenth of a second once the engine is told to end.
// libcurl must have been started (CurlGlobal).
#include "common/engine_report.h"
#include "engine/page_image_info.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace engine {

/// The Cookie header value for a request to an address; empty for none.
using CookieSource = std::function<QString(const QString& url)>;

/// The bytes the page itself holds for an address: a blob: address read inside the page, or
/// the browser's own answer for an image it loaded; none when it holds none.
using PageBytesSource = std::function<std::optional<QByteArray>(const QString& url)>;

/// What an image request carries besides the image's address.
struct ImageRequest {
  QString referer;   ///< the page that shows the image
  QString userAgent; ///< the user agent of the browser that shows it; empty: not known
  /// The cookies that browser would send to an address (asked for every address of a
  /// redirect chain); none when empty.
  CookieSource cookies = {};
  /// Asked before anything is fetched (see ObtainImage); none when empty.
  PageBytesSource pageBytes = {};
};

/// The request header block sent with every image request for `referer`.
QStringList ImageRequestHeaders(const QString& referer);

/// The user agent an image request sends: the browser's own (on one line) when known,
/// otherwise a Chromium-like default.
QString ImageUserAgent(const QString& browserUserAgent);

/// Largest body accepted; a longer transfer is abandoned.
constexpr qint64 kMaxImageBytes = 64LL * 1024 * 1024;
/// One image's whole fetch, redirects included, ends after this long.
constexpr int kImageFetchTimeoutMs = 30000;
constexpr int kMaxRedirects = 10;

/// While set, the fetch in progress and every later one end at once, as failed: the engine is
/// ending. Safe to call from any thread and from a signal handler.
void SetImageFetchAbort(bool abort);

/// Downloads `url` (http or https only, up to 10 redirects) into a new temporary file, whose
/// path is in `temporaryFiles` while it exists, and decodes it. Each request carries the
/// cookies `request.cookies` gives for its own address. Null, and the file removed, when the
/// transfer fails, the status is not 2xx, the body's length differs from a non-zero
/// Content-Length, or the bytes are not a picture of an accepted format; `failure`, when
/// given, then receives why (task id 0). A fetch ended because the engine is ending leaves
/// `failure` as it was.
std::unique_ptr<CPageImageInfo> FetchImage(const QString& url, const ImageRequest& request,
                                           QStringList& temporaryFiles,
                                           std::optional<common::FailureReport>* failure = nullptr);

/// The record of the picture in the file `path`, taken from `url`: its size and file ending.
/// Null when the file is no picture of an accepted format, or has no width or height.
std::unique_ptr<CPageImageInfo> PictureRecord(const QString& url, const QString& path);

} // namespace engine
