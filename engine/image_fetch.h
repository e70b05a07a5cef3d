#pragma once
// Fetching one page image again over HTTP, as the page's reader would: with the page as
// referring page, a fixed Accept block and the browser's user agent. Blocking; runs on the
// engine's main thread. libcurl must have been started (FCAutoInitializeCOM).
#include "engine/page_image_info.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace engine {

/// What an image request carries besides the image's address.
struct ImageRequest {
  QString referer;   ///< the page that shows the image
  QString userAgent; ///< the user agent of the browser that shows it; empty: not known
};

/// The request header block sent with every image request for `referer`.
QStringList ImageRequestHeaders(const QString& referer);

/// The user agent an image request sends: the browser's own (on one line) when known,
/// otherwise a Chromium-like default.
QString ImageUserAgent(const QString& browserUserAgent);

/// Largest body accepted; a longer transfer is abandoned.
constexpr qint64 kMaxImageBytes = 64LL * 1024 * 1024;

/// Downloads `url` (http or https only) into a new temporary file, whose path is appended to
/// `temporaryFiles` before anything is written, and decodes it. Null when the transfer fails,
/// the status is not 2xx, the body's length differs from a non-zero Content-Length, or the
/// bytes are not a picture of an accepted format.
std::unique_ptr<CPageImageInfo> FetchImage(const QString& url, const ImageRequest& request,
                                           QStringList& temporaryFiles);

} // namespace engine
