#include "engine/image_fetch.h"

#include "common/temp_file.h"
#include "engine/image_decode.h"

#include <QFile>

#include <curl/curl.h>

namespace engine {
namespace {

const char* const kDefaultUserAgent =
    "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/120.0.0.0 Safari/537.36";

struct Sink {
  QFile* file;
  qint64 written = 0;
  bool failed = false;
};

size_t WriteChunk(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const qint64 bytes = qint64(size * count);
  if (sink->written + bytes > kMaxImageBytes || sink->file->write(data, bytes) != bytes) {
    sink->failed = true;
    return 0; // abandons the transfer
  }
  sink->written += bytes;
  return size_t(bytes);
}

// Owns the easy handle and the header list of one transfer.
struct Transfer {
  CURL* curl = curl_easy_init();
  curl_slist* headers = nullptr;
  ~Transfer() {
    curl_slist_free_all(headers);
    if (curl) curl_easy_cleanup(curl);
  }
};

// Header values from the page must not carry line breaks into the request.
QString OneLine(QString text) {
  text.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
  return text;
}

struct Outcome {
  bool ok = false;
  long status = 0;
  curl_off_t contentLength = -1; // -1: the server stated none
  curl_off_t received = 0;       // body bytes as they came over the wire, before decoding
};

Outcome Download(const QString& url, const ImageRequest& request, QFile& file) {
  Outcome outcome;
  Transfer transfer;
  if (!transfer.curl) return outcome;
  for (const QString& header : ImageRequestHeaders(request.referer))
    transfer.headers = curl_slist_append(transfer.headers, header.toUtf8().constData());
  const QByteArray address = url.toUtf8();
  const QByteArray agent = ImageUserAgent(request.userAgent).toUtf8();
  Sink sink{&file};
  CURL* c = transfer.curl;
  curl_easy_setopt(c, CURLOPT_URL, address.constData());
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, transfer.headers);
  // The request offers gzip and deflate (its own header above is the one sent); this makes
  // curl undo them, else a server that compresses would hand over bytes no decoder reads.
  curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, "gzip, deflate");
  curl_easy_setopt(c, CURLOPT_USERAGENT, agent.constData());
  // Web addresses only: an img src of file:, ftp: or anything else is never followed.
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, 30L);
  // A stalled server is given up after a minute without progress.
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, 60L);
  // And a server that trickles a few bytes a second cannot hold the engine's thread for more
  // than ten minutes in all; a real page image arrives long before.
  curl_easy_setopt(c, CURLOPT_TIMEOUT, 600L);
  curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(kMaxImageBytes));
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &WriteChunk);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink);
  const CURLcode result = curl_easy_perform(c);
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &outcome.status);
  curl_easy_getinfo(c, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &outcome.contentLength);
  curl_easy_getinfo(c, CURLINFO_SIZE_DOWNLOAD_T, &outcome.received);
  outcome.ok = result == CURLE_OK && !sink.failed;
  return outcome;
}

} // namespace

QStringList ImageRequestHeaders(const QString& referer) {
  return {QStringLiteral("Referer: ") + OneLine(referer), QStringLiteral("Accept: */*"),
          QStringLiteral("Accept-Encoding:gzip, deflate")};
}

QString ImageUserAgent(const QString& browserUserAgent) {
  const QString agent = OneLine(browserUserAgent);
  return agent.isEmpty() ? QString::fromLatin1(kDefaultUserAgent) : agent;
}

std::unique_ptr<CPageImageInfo> FetchImage(const QString& url, const ImageRequest& request,
                                           QStringList& temporaryFiles) {
  const QString path = common::CreateTempFile();
  if (path.isEmpty()) return nullptr;
  temporaryFiles.append(path); // registered before anything is written, so it is always removed

  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return nullptr;
  const Outcome outcome = Download(url, request, file);
  file.close();

  if (!outcome.ok || outcome.status < 200 || outcome.status > 299) return nullptr;
  // The stated length counts the bytes sent, which a compressed body decodes to more of.
  if (outcome.contentLength > 0 && outcome.contentLength != outcome.received) return nullptr;

  const auto decoded = DecodeImageFile(path);
  if (!decoded) return nullptr;
  auto record = std::make_unique<CPageImageInfo>();
  record->url = url;
  record->temporaryPath = path;
  record->width = decoded->width;
  record->height = decoded->height;
  record->extension = ImageExtensionOf(decoded->format);
  if (record->width == 0 || record->height == 0 || record->extension.isEmpty()) return nullptr;
  return record;
}

} // namespace engine
