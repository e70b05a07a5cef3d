#include "net/internet_session.h"

#include "common/network_setting.h"
#include "net/http_request.h"

#include <curl/curl.h>

FCInternetSession::FCInternetSession(const QString& agent, const QString& proxy,
                                     const QString& proxyUserName, const QString& proxyPassword) {
  // Both handles are made here, on the user-interface thread, so libcurl's one-time global
  // start-up never races between the workers of two downloads.
  multi_ = curl_multi_init();
  CURL* easy = curl_easy_init();
  easy_ = easy;
  if (!easy) return;
  curl_easy_setopt(easy, CURLOPT_USERAGENT, agent.toUtf8().constData());
  // The proxy and the extra trusted certificates of the settings; a proxy this download
  // names itself replaces the settings' one.
  common::ConfigureCurl(easy);
  if (!proxy.isEmpty()) curl_easy_setopt(easy, CURLOPT_PROXY, proxy.toUtf8().constData());
  if (!proxyUserName.isEmpty())
    curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, proxyUserName.toUtf8().constData());
  if (!proxyPassword.isEmpty())
    curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, proxyPassword.toUtf8().constData());
}

FCInternetSession::~FCInternetSession() {
  if (easy_) curl_easy_cleanup(static_cast<CURL*>(easy_));
  if (multi_) curl_multi_cleanup(static_cast<CURLM*>(multi_));
}

std::unique_ptr<FCHttpRequest> FCInternetSession::OpenUrl(const QString& url,
                                                          const QByteArray& headers,
                                                          std::uint32_t flags) {
  if (!multi_ || !easy_ || IsClosed()) return nullptr;
  std::unique_ptr<FCHttpRequest> request(new FCHttpRequest(this, easy_));
  easy_ = nullptr; // the request owns it now
  if (!request->Start(url, headers, flags)) return nullptr;
  if (!request->Pump([&] { return request->headersFinal_; })) return nullptr;
  // A transfer that ended cleanly without a final header block (a redirect that was not
  // followed after all) still answered; its last block is the response.
  if (!request->headersFinal_ && !(request->done_ && request->result_ == CURLE_OK)) return nullptr;
  return request;
}

void FCInternetSession::Close() {
  closed_ = true;
  if (multi_) curl_multi_wakeup(static_cast<CURLM*>(multi_));
}
