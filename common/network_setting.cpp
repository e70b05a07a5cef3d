#include "common/network_setting.h"

#include "common/ini_rules.h"
#include "common/profile.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QUrl>

#include <curl/curl.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <memory>
#include <vector>

namespace common {
namespace {

const QString kSection = QLatin1String(kNetworkSection);

// The variables as they were when the process started, before any setting replaced them.
struct StartValues {
  QByteArray proxy = qgetenv(kProxyVariable);
  QByteArray extraCa = qgetenv(kExtraCaVariable);
};

const StartValues& Start() {
  static const StartValues values;
  return values;
}

void SetVariable(const char* name, const QString& value, const QByteArray& fallback) {
  const QByteArray chosen = value.isEmpty() ? fallback : value.toLocal8Bit();
  if (chosen.isEmpty()) qunsetenv(name);
  else qputenv(name, chosen);
}

struct X509Free {
  void operator()(X509* x) const { X509_free(x); }
};
using X509Ptr = std::unique_ptr<X509, X509Free>;

// Every certificate of a PEM file; other blocks (keys, text) are passed over.
std::vector<X509Ptr> ReadCertificates(const QString& path) {
  std::vector<X509Ptr> certificates;
  QFile file(path);
  // A trust file is small; anything huge is not one.
  if (!file.open(QIODevice::ReadOnly) || file.size() > 4 * 1024 * 1024) return certificates;
  const QByteArray pem = file.readAll();
  BIO* bio = BIO_new_mem_buf(pem.constData(), int(pem.size()));
  if (!bio) return certificates;
  while (X509* x = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr))
    certificates.emplace_back(x);
  ERR_clear_error(); // the end of the data reads as an error
  BIO_free(bio);
  return certificates;
}

// libcurl calls this with the OpenSSL context of each new connection, after it has loaded
// the system's store: the extra certificates join it as trust anchors.
// It may run on a download thread, so it reads the file name afresh instead of sharing one.
CURLcode AddExtraCertificates(CURL*, void* sslContext, void*) {
  X509_STORE* store = SSL_CTX_get_cert_store(static_cast<SSL_CTX*>(sslContext));
  if (!store) return CURLE_OK;
  for (const X509Ptr& certificate : ReadCertificates(CurrentNetworkSetting().extraCa)) {
    X509_STORE_add_cert(store, certificate.get()); // a duplicate is no failure
    ERR_clear_error();
  }
  return CURLE_OK;
}

QString CurlProxyUrl(const QString& text) {
  const auto proxy = ParseProxy(text);
  if (!proxy) return {};
  QUrl url;
  // libcurl's "socks5h" lets the proxy resolve host names, as Chromium's SOCKS5 does.
  url.setScheme(proxy->scheme == QLatin1String("socks5") ? QStringLiteral("socks5h")
                                                         : proxy->scheme);
  url.setHost(proxy->host);
  url.setPort(proxy->port);
  url.setUserName(proxy->user);
  url.setPassword(proxy->password);
  return url.toString(QUrl::FullyEncoded);
}

} // namespace

NetworkSetting ReadNetworkSetting(const QString& file) {
  NetworkSetting setting;
  setting.proxy =
      ReadProfileString(file, QLatin1String(kProxyKey), kSection).value_or(QString()).trimmed();
  setting.extraCa =
      ReadProfileString(file, QLatin1String(kExtraCaKey), kSection).value_or(QString()).trimmed();
  return setting;
}

void SetNetworkSetting(ProfileFile& file, const NetworkSetting& setting) {
  // A file that never had the keys does not get an empty section.
  auto set = [&](const char* key, const QString& value) {
    const QString name = QLatin1String(key);
    if (value.isEmpty() && !ReadProfileString(file, name, kSection)) return;
    file.Set(kSection, name, value);
  };
  set(kProxyKey, setting.proxy);
  set(kExtraCaKey, setting.extraCa);
}

bool WriteNetworkSetting(const QString& file, const NetworkSetting& setting) {
  // A file that never had the keys does not get an empty section.
  auto write = [&](const char* key, const QString& value) {
    const QString name = QLatin1String(key);
    if (value.isEmpty() && !ReadProfileString(file, name, kSection)) return true;
    return WriteProfileString(file, name, value, kSection);
  };
  const bool ok = write(kProxyKey, setting.proxy);
  return write(kExtraCaKey, setting.extraCa) && ok;
}

NetworkSetting CurrentNetworkSetting() {
  return {qEnvironmentVariable(kProxyVariable).trimmed(),
          qEnvironmentVariable(kExtraCaVariable).trimmed()};
}

void ApplyNetworkSetting(const NetworkSetting& setting) {
  const StartValues& start = Start();
  SetVariable(kProxyVariable, setting.proxy.trimmed(), start.proxy);
  SetVariable(kExtraCaVariable, setting.extraCa.trimmed(), start.extraCa);
}

QString ProxyAddress::WithoutCredentials() const {
  return QStringLiteral("%1://%2:%3").arg(scheme, host).arg(port);
}

std::optional<ProxyAddress> ParseProxy(const QString& text) {
  const QString trimmed = text.trimmed();
  const qsizetype colon = trimmed.indexOf(QLatin1String("://"));
  if (colon <= 0) return std::nullopt;
  ProxyAddress proxy;
  proxy.scheme = trimmed.left(colon).toLower();
  int defaultPort = 0;
  if (proxy.scheme == QLatin1String("http")) defaultPort = 80;
  else if (proxy.scheme == QLatin1String("https")) defaultPort = 443;
  else if (proxy.scheme == QLatin1String("socks5")) defaultPort = 1080;
  else return std::nullopt;
  QString authority = trimmed.mid(colon + 3);
  if (authority.endsWith(QLatin1Char('/'))) authority.chop(1);
  if (authority.contains(QLatin1Char('/')) || authority.contains(QLatin1Char('?')) ||
      authority.contains(QLatin1Char('#')) || authority.contains(QLatin1Char(' ')))
    return std::nullopt;
  // QUrl takes the authority apart (credentials, IPv6 brackets, port) by the URL rules.
  const QUrl url(QStringLiteral("http://") + authority, QUrl::StrictMode);
  if (!url.isValid() || url.host().isEmpty()) return std::nullopt;
  const QString hostText = url.host(QUrl::FullyEncoded);
  proxy.host = hostText.contains(QLatin1Char(':')) ? QLatin1Char('[') + hostText + QLatin1Char(']')
                                                   : hostText;
  proxy.port = url.port(defaultPort);
  if (proxy.port <= 0 || proxy.port > 65535) return std::nullopt;
  proxy.user = url.userName(QUrl::FullyDecoded);
  proxy.password = url.password(QUrl::FullyDecoded);
  return proxy;
}

QStringList SpkiHashesOfPemFile(const QString& path) {
  QStringList hashes;
  for (const X509Ptr& certificate : ReadCertificates(path)) {
    unsigned char* der = nullptr;
    const int length = i2d_X509_PUBKEY(X509_get_X509_PUBKEY(certificate.get()), &der);
    if (length <= 0) continue;
    const QByteArray key(reinterpret_cast<const char*>(der), length);
    OPENSSL_free(der);
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(key, QCryptographicHash::Sha256).toBase64());
    if (!hashes.contains(hash)) hashes.append(hash);
  }
  return hashes;
}

void ConfigureCurl(void* handle) {
  CURL* curl = static_cast<CURL*>(handle);
  const NetworkSetting setting = CurrentNetworkSetting();
  if (!setting.proxy.isEmpty()) {
    const QString url = CurlProxyUrl(setting.proxy);
    // A proxy that cannot be understood must not be bypassed silently: the transfer fails
    // at a proxy that does not exist instead of going out directly.
    const QByteArray proxy = url.isEmpty() ? QByteArray("http://0.0.0.0:1") : url.toUtf8();
    curl_easy_setopt(curl, CURLOPT_PROXY, proxy.constData());
    curl_easy_setopt(curl, CURLOPT_NOPROXY, ""); // ours applies to every address
  }
  if (!setting.extraCa.isEmpty())
    curl_easy_setopt(curl, CURLOPT_SSL_CTX_FUNCTION, &AddExtraCertificates);
  // Never switched off, whatever else is set.
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
}

} // namespace common
