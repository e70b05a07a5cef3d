#include "net/http_download.h"

#include "net/download_message_queue.h"
#include "net/http_request.h"
#include "net/internet_session.h"

#include <limits>
#include <system_error>
#include <vector>

namespace {
// Header numbers as the server wrote them: leading digits, clamped to the 32-bit range.
std::int32_t HeaderNumber(const QByteArray& text) {
  const QByteArray digits = text.trimmed();
  qint64 value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > std::numeric_limits<std::int32_t>::max())
      return std::numeric_limits<std::int32_t>::max();
  }
  return std::int32_t(value);
}
} // namespace

bool FCHttpDownload::CWorker::Start(std::function<void()> work) {
  try {
    thread_ = std::thread([this, work = std::move(work)] {
      work();
      ended_.store(true, std::memory_order_release);
    });
  } catch (const std::system_error&) {
    ended_ = true;
    return false;
  }
  return true;
}

void FCHttpDownload::CWorker::Join() {
  if (thread_.joinable()) thread_.join();
}

FCHttpDownload::FCHttpDownload(int id, const FCHttpDownloadParam& param,
                               FIDownloadMessageQueue* owner)
    : id_(id), param_(param), owner_(owner) {
  const QString proxy = param_.proxyHost.isEmpty()
                            ? QString()
                            : QStringLiteral("%1:%2").arg(param_.proxyHost).arg(param_.proxyPort);
  session_ = std::make_unique<FCInternetSession>(param_.userAgent, proxy, param_.proxyUserName,
                                                 param_.proxyPassword);
  timerConnected_.StartTimer(kPollMs);
  connectThread_.Start([this] { ConnectWork(); });
}

FCHttpDownload::~FCHttpDownload() {
  timerConnected_.StopTimer();
  timerFinish_.StopTimer();
  // Closing the session ends whatever blocking call a worker is in, connecting or reading.
  if (connectThread_.Running() || receiveThread_.Running()) session_->Close();
  connectThread_.Join();
  receiveThread_.Join();
  request_.reset();
  session_.reset();
}

QByteArray FCHttpDownload::RequestHeaders(const FCHttpDownloadParam& param) {
  QByteArray headers;
  if (param.resumeOffset > 0)
    headers = QByteArray("Range: bytes=") + QByteArray::number(param.resumeOffset) + "-\r\n";
  headers += param.extraHeaders.toUtf8();
  return headers;
}

FCReceivedBlock FCHttpDownload::TakeReceivedData() { return buffer_.Take(); }

void FCHttpDownload::ConnectWork() {
  request_ = session_->OpenUrl(param_.url, RequestHeaders(param_), param_.requestFlags);
}

void FCHttpDownload::ReceiveWork() {
  std::vector<char> block(kReadBlock);
  int last = -1; // a missing request fails at its first read
  while (request_) {
    last = request_->Read(block.data(), kReadBlock);
    speed_.AddBytes(last > 0 ? last : 0);
    if (last <= 0) break;
    if (!buffer_.Append(block.data(), last)) { // out of memory: end as a failed read
      last = -1;
      break;
    }
    if (param_.maxBodyBytes > 0 && buffer_.Size() > param_.maxBodyBytes) { // too large
      last = -1;
      break;
    }
  }
  speed_.MarkEnd();
  receiveResult_ = last == 0 ? 1 : 0;
}

void FCHttpDownload::OnConnectPoll() {
  if (connectThread_.Running()) return;
  connectThread_.Join();
  timerConnected_.StopTimer();
  FillResponseInfo();
  if (owner_) owner_->QueueMessage(kConnected, id_);
  timerFinish_.StartTimer(kPollMs);
  if (!receiveThread_.Start([this] { ReceiveWork(); })) speed_.MarkEnd();
}

void FCHttpDownload::FillResponseInfo() {
  response_.requestHandle = request_.get();
  if (!request_) return;
  response_.statusCode = request_->StatusCode();
  response_.contentLength = HeaderNumber(request_->QueryHeader("Content-Length"));
  response_.lastModified = QString::fromLatin1(request_->QueryHeader("Last-Modified"));
  response_.server = QString::fromLatin1(request_->QueryHeader("Server"));
}

void FCHttpDownload::OnFinishPoll() {
  if (receiveThread_.Running()) return;
  receiveThread_.Join();
  response_.readResult = receiveResult_;
  timerFinish_.StopTimer();
  if (owner_) owner_->QueueMessage(kFinished, id_);
}
