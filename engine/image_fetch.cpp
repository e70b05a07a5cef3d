#include "engine/image_fetch.h"

#include "common/network_setting.h"
#include "common/temp_file.h"
#include "engine/image_decode.h"

#include <QDeadlineTimer>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include <curl/curl.h>
#include <unistd.h>

namespace engine {
namespace {

const char* const kDefaultUserAgent =
    "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/120.0.0.0 Safari/537.36";

using common::FailureReason;
using common::FailureReport;

struct Sink {
  QFile* file;
  qint64 written = 0;
  bool tooLarge = false;
  int writeError = 0; ///< errno of a failed write into the temporary file
};

// Writes straight to the descriptor (the file is unbuffered), so a full disk is told by its
// own errno rather than found later at a flush.
bool WriteAll(int fd, const char* data, qint64 bytes, int& error) {
  while (bytes > 0) {
    const ssize_t done = ::write(fd, data, size_t(bytes));
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) {
      error = done < 0 ? errno : ENOSPC;
      return false;
    }
    data += done;
    bytes -= done;
  }
  return true;
}

size_t WriteChunk(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const qint64 bytes = qint64(size * count);
  if (sink->written + bytes > kMaxImageBytes) {
    sink->tooLarge = true;
    return 0; // abandons the transfer
  }
  if (!WriteAll(sink->file->handle(), data, bytes, sink->writeError)) return 0;
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
  std::optional<FailureReport> failure; ///< why it failed, when it did for a reason to tell
  long status = 0;
  curl_off_t contentLength = -1; // -1: the server stated none
  curl_off_t received = 0;       // body bytes as they came over the wire, before decoding
  QString redirect;              // where a 3xx answer points, resolved; empty otherwise
};

std::atomic<bool> abortRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

// Runs one transfer, looking up every 100 ms whether the engine is told to end meanwhile.
CURLcode Perform(CURL* c) {
  CURLM* multi = curl_multi_init();
  if (!multi) return CURLE_OUT_OF_MEMORY;
  curl_multi_add_handle(multi, c);
  CURLcode result = CURLE_ABORTED_BY_CALLBACK;
  for (;;) {
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK) {
      result = CURLE_FAILED_INIT;
      break;
    }
    if (running == 0) {
      int left = 0;
      while (CURLMsg* message = curl_multi_info_read(multi, &left))
        if (message->msg == CURLMSG_DONE && message->easy_handle == c) result = message->data.result;
      break;
    }
    if (abortRequested.load()) break;
    curl_multi_poll(multi, nullptr, 0, 100, nullptr);
  }
  curl_multi_remove_handle(multi, c);
  curl_multi_cleanup(multi);
  return result;
}

FailureReport Failure(FailureReason reason, const QString& detail = {}) {
  return FailureReport{0, reason, detail};
}

// Why one transfer failed; nothing when the engine ended it.
std::optional<FailureReport> FailureOfTransfer(CURLcode result, const Sink& sink) {
  if (sink.tooLarge) return Failure(FailureReason::ImageTooLarge);
  if (sink.writeError == ENOSPC || sink.writeError == EDQUOT)
    return Failure(FailureReason::DiskFull);
  if (sink.writeError != 0)
    return Failure(FailureReason::FolderNotWritable,
                   QString::fromLocal8Bit(std::strerror(sink.writeError)));
  switch (result) {
  case CURLE_ABORTED_BY_CALLBACK: return std::nullopt; // the engine is ending
  case CURLE_FILESIZE_EXCEEDED: return Failure(FailureReason::ImageTooLarge);
  case CURLE_OPERATION_TIMEDOUT: return Failure(FailureReason::ImageTimedOut);
  case CURLE_PARTIAL_FILE: return Failure(FailureReason::ImageCutShort);
  case CURLE_COULDNT_RESOLVE_PROXY:
  case CURLE_PROXY:
    return Failure(FailureReason::ProxyNoAnswer, QString::fromLatin1(curl_easy_strerror(result)));
  default:
    return Failure(FailureReason::ImageNoAnswer, QString::fromLatin1(curl_easy_strerror(result)));
  }
}

// One request, no redirect followed: each address of a redirect chain gets its own cookies.
Outcome DownloadOnce(const QString& url, const QString& referer, const QString& userAgent,
                     const QString& cookies, qint64 timeLeftMs, QFile& file) {
  Outcome outcome;
  Transfer transfer;
  if (!transfer.curl) return outcome;
  for (const QString& header : ImageRequestHeaders(referer))
    transfer.headers = curl_slist_append(transfer.headers, header.toUtf8().constData());
  if (!cookies.isEmpty())
    transfer.headers = curl_slist_append(
        transfer.headers, (QStringLiteral("Cookie: ") + OneLine(cookies)).toUtf8().constData());
  const QByteArray address = url.toUtf8();
  const QByteArray agent = ImageUserAgent(userAgent).toUtf8();
  if (!file.resize(0) || !file.seek(0)) return outcome;
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
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, long(std::max<qint64>(timeLeftMs, 1)));
  curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(kMaxImageBytes));
  common::ConfigureCurl(c); // the proxy and the extra trusted certificates, as the browser has
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &WriteChunk);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink);
  const CURLcode result = Perform(c);
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &outcome.status);
  curl_easy_getinfo(c, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &outcome.contentLength);
  curl_easy_getinfo(c, CURLINFO_SIZE_DOWNLOAD_T, &outcome.received);
  if (outcome.status >= 300 && outcome.status <= 399) {
    char* target = nullptr;
    if (curl_easy_getinfo(c, CURLINFO_REDIRECT_URL, &target) == CURLE_OK && target)
      outcome.redirect = QString::fromUtf8(target);
  }
  outcome.ok = result == CURLE_OK && !sink.tooLarge && sink.writeError == 0;
  if (!outcome.ok) outcome.failure = FailureOfTransfer(result, sink);
  return outcome;
}

Outcome Download(const QString& url, const ImageRequest& request, QFile& file) {
  // One image may take this long in all, redirects included: a server that trickles a few
  // bytes a second cannot hold the engine.
  const QDeadlineTimer deadline(kImageFetchTimeoutMs);
  QString address = url;
  for (int hop = 0;; ++hop) {
    const QString cookieHeader = request.cookies ? request.cookies(address) : QString();
    Outcome outcome = DownloadOnce(address, request.referer, request.userAgent, cookieHeader,
                                   deadline.remainingTime(), file);
    if (!outcome.ok || outcome.redirect.isEmpty()) return outcome;
    Outcome failed;
    if (hop == kMaxRedirects) failed.failure = Failure(FailureReason::ImageRedirects);
    else if (deadline.hasExpired()) failed.failure = Failure(FailureReason::ImageTimedOut);
    if (failed.failure) return failed;
    address = outcome.redirect;
    if (!address.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) &&
        !address.startsWith(QLatin1String("https://"), Qt::CaseInsensitive)) {
      failed.failure = Failure(FailureReason::ImageNoAnswer,
                               QStringLiteral("redirected to ") + address.section(QLatin1Char(':'), 0, 0));
      return failed;
    }
  }
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

void SetImageFetchAbort(bool abort) { abortRequested.store(abort); }

std::unique_ptr<CPageImageInfo> FetchImage(const QString& url, const ImageRequest& request,
                                           QStringList& temporaryFiles,
                                           std::optional<FailureReport>* failure) {
  const auto tell = [failure](const std::optional<FailureReport>& why) {
    if (failure && why) *failure = why;
  };
  const QString path = common::CreateTempFile();
  if (path.isEmpty()) {
    const int error = errno;
    tell(error == ENOSPC || error == EDQUOT
             ? Failure(FailureReason::DiskFull)
             : Failure(FailureReason::FolderNotWritable, QString::fromLocal8Bit(std::strerror(error))));
    return nullptr;
  }
  temporaryFiles.append(path); // registered before anything is written, so it is always removed

  // A rejected download's file goes at once; only an accepted image keeps its file.
  auto reject = [&](const std::optional<FailureReport>& why) -> std::unique_ptr<CPageImageInfo> {
    tell(why);
    QFile::remove(path);
    temporaryFiles.removeAll(path);
    return nullptr;
  };
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
    return reject(Failure(FailureReason::FolderNotWritable, file.errorString()));
  const Outcome outcome = Download(url, request, file);
  file.close();

  if (!outcome.ok) return reject(outcome.failure);
  if (outcome.status < 200 || outcome.status > 299)
    return reject(Failure(FailureReason::ImageHttpError, QString::number(outcome.status)));
  // The stated length counts the bytes sent, which a compressed body decodes to more of.
  if (outcome.contentLength > 0 && outcome.contentLength != outcome.received)
    return reject(Failure(FailureReason::ImageCutShort));

  auto record = PictureRecord(url, path);
  if (!record) return reject(Failure(FailureReason::ImageNotPicture));
  return record;
}

std::unique_ptr<CPageImageInfo> PictureRecord(const QString& url, const QString& path) {
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
