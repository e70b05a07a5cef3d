#include "net/http_request.h"

#include "net/http_download_param.h"
#include "net/internet_session.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>

namespace {
// A request that hears nothing for this long fails, so a silent server cannot hold a worker
// thread for ever; the owner can still end it sooner by closing.
constexpr long kConnectTimeoutSeconds = 60;
constexpr long kStallSeconds = 60;
constexpr long kMaxRedirects = 10;

CURL* Easy(void* handle) { return static_cast<CURL*>(handle); }
} // namespace

FCHttpRequest::FCHttpRequest(FCInternetSession* session, void* easy)
    : session_(session), easy_(easy) {}

FCHttpRequest::~FCHttpRequest() {
  curl_multi_remove_handle(static_cast<CURLM*>(session_->multi_), Easy(easy_));
  curl_easy_cleanup(Easy(easy_));
  curl_slist_free_all(static_cast<curl_slist*>(headerList_));
}

bool FCHttpRequest::Start(const QString& url, const QByteArray& headers, std::uint32_t flags) {
  CURL* easy = Easy(easy_);
  curl_slist* list = nullptr;
  for (const QByteArray& line : headers.split('\n')) {
    const QByteArray trimmed = line.trimmed();
    if (trimmed.isEmpty()) continue;
    curl_slist* grown = curl_slist_append(list, trimmed.constData());
    if (!grown) break;
    list = grown;
  }
  headerList_ = list;
  followRedirects_ = (flags & kHttpFlagNoAutoRedirect) == 0;

  bool ok = curl_easy_setopt(easy, CURLOPT_URL, url.toUtf8().constData()) == CURLE_OK;
  // Only web addresses: never a file, a mail box or anything else the text might name.
  ok = ok && curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK;
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, list);
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, followRedirects_ ? 1L : 0L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &FCHttpRequest::OnHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &FCHttpRequest::OnBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
  return ok && curl_multi_add_handle(static_cast<CURLM*>(session_->multi_), easy) == CURLM_OK;
}

bool FCHttpRequest::Closed() const { return closed_.load() || session_->IsClosed(); }

void FCHttpRequest::Close() {
  closed_ = true;
  curl_multi_wakeup(static_cast<CURLM*>(session_->multi_));
}

bool FCHttpRequest::Pump(const std::function<bool()>& ready) {
  CURLM* multi = static_cast<CURLM*>(session_->multi_);
  for (;;) {
    if (Closed()) return false;
    if (ready() || done_) return true;
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK) {
      done_ = true;
      result_ = CURLE_FAILED_INIT;
      continue;
    }
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
      if (message->msg != CURLMSG_DONE) continue;
      done_ = true;
      result_ = message->data.result;
    }
    // One perform may deliver many body blocks at once; the caller drains them before the
    // next one, so what waits in `pending_` stays bounded by what one perform reads.
    if (ready() || done_) continue;
    curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
  }
}

int FCHttpRequest::Read(char* buffer, int size) {
  if (size <= 0) return 0;
  if (!Pump([this] { return PendingBytes() > 0; })) return -1;
  const int available = PendingBytes();
  if (available == 0) return result_ == CURLE_OK ? 0 : -1;
  const int count = std::min(size, available);
  std::memcpy(buffer, pending_.constData() + pendingOffset_, count);
  pendingOffset_ += count;
  if (pendingOffset_ == pending_.size()) {
    pending_.clear();
    pendingOffset_ = 0;
  }
  return count;
}

QByteArray FCHttpRequest::QueryHeader(const QByteArray& name) const {
  for (const auto& header : headers_)
    if (header.first.compare(name, Qt::CaseInsensitive) == 0) return header.second;
  return QByteArray();
}

size_t FCHttpRequest::OnHeader(char* data, size_t size, size_t count, void* self) {
  const size_t bytes = size * count;
  static_cast<FCHttpRequest*>(self)->HeaderLine(QByteArray(data, qsizetype(bytes)));
  return bytes;
}

size_t FCHttpRequest::OnBody(char* data, size_t size, size_t count, void* self) {
  const size_t bytes = size * count;
  auto* request = static_cast<FCHttpRequest*>(self);
  // Body bytes come only with the final response: libcurl drops the bodies of the redirects
  // it follows.
  request->headersFinal_ = true;
  request->pending_.append(data, qsizetype(bytes));
  return bytes;
}

void FCHttpRequest::HeaderLine(const QByteArray& raw) {
  const QByteArray line = raw.trimmed();
  if (line.startsWith("HTTP/")) { // a new response block: 1xx, redirect or final
    headers_.clear();
    headersFinal_ = false;
    const QList<QByteArray> parts = line.split(' ');
    statusCode_ = parts.size() > 1 ? parts[1].toInt() : 0;
    return;
  }
  if (line.isEmpty()) { // end of a block
    const bool interim = statusCode_ >= 100 && statusCode_ < 200;
    const bool redirected = followRedirects_ && statusCode_ >= 300 && statusCode_ < 400 &&
                            !QueryHeader("Location").isEmpty();
    if (!interim && !redirected) headersFinal_ = true;
    return;
  }
  const qsizetype colon = line.indexOf(':');
  if (colon > 0) headers_.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
}
