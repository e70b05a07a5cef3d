#pragma once
// How both programs reach the web: an optional proxy and optional extra trusted certificates.
//
// The front-end keeps them in "setting.ini" (section "setting", keys "proxy" and "extra_ca");
// folivex-get takes --proxy. Either hands them on through its own environment
// (FOLIVEX_PROXY, FOLIVEX_EXTRA_CA), which every engine it starts inherits; the engine reads
// them from there for its Chromium and its image fetches. A user may also set the two
// variables directly. Without a proxy setting the usual variables (http_proxy, https_proxy,
// no_proxy, all_proxy) are honoured by libcurl and by Chromium themselves.
//
// TLS is always verified: extra certificates are trusted in addition to the system's store,
// never instead of checking.
#include <QString>
#include <QStringList>
#include <optional>

namespace common {

class ProfileFile;

/// The PEM file of extra trusted certificates (one or more).
inline constexpr const char* kExtraCaVariable = "FOLIVEX_EXTRA_CA";
/// The proxy, "scheme://[user[:password]@]host:port".
inline constexpr const char* kProxyVariable = "FOLIVEX_PROXY";

/// Section and keys of "setting.ini".
inline constexpr const char* kNetworkSection = "setting";
inline constexpr const char* kExtraCaKey = "extra_ca";
inline constexpr const char* kProxyKey = "proxy";

struct NetworkSetting {
  QString proxy;   ///< empty: no proxy of our own
  QString extraCa; ///< empty: the system's store only
};

/// The keys of `file`'s network section; missing keys are empty.
NetworkSetting ReadNetworkSetting(const QString& file);
/// Writes both keys; an empty value is written only over a key the file already has.
/// False when a write failed.
bool WriteNetworkSetting(const QString& file, const NetworkSetting& setting);
/// The same keys set in a file held in memory, written with it.
void SetNetworkSetting(ProfileFile& file, const NetworkSetting& setting);

/// What this process uses: the two environment variables.
NetworkSetting CurrentNetworkSetting();
/// Makes `setting` this process's and that of every program it starts from now on. A field
/// left empty falls back to the variable's value when the process started, so a value the user
/// set in the environment still counts when the settings name none.
void ApplyNetworkSetting(const NetworkSetting& setting);

/// A proxy address taken apart. Schemes "http", "https" and "socks5" (lower case).
struct ProxyAddress {
  QString scheme;
  QString host; ///< an IPv6 address keeps its brackets
  int port = 0;
  QString user;     ///< percent-decoded
  QString password; ///< percent-decoded
  /// "scheme://host:port", without the credentials.
  QString WithoutCredentials() const;
};

/// Parses "scheme://[user[:password]@]host[:port][/]". The port defaults to 80 for http,
/// 443 for https and 1080 for socks5. Empty for any other scheme, a missing host, a bad port
/// or anything after the authority except one "/".
std::optional<ProxyAddress> ParseProxy(const QString& text);

/// The SHA-256 hashes, base64, of the public keys (SubjectPublicKeyInfo) of every
/// certificate in the PEM file; empty when it cannot be read or holds none.
QStringList SpkiHashesOfPemFile(const QString& path);

/// Sets up one libcurl easy handle (CURL*, passed as void* so callers need no curl header
/// here) with the current setting: the proxy when one is set (the environment's proxy
/// variables otherwise stay in force, as libcurl reads them itself), and the extra
/// certificates added to the system store for the site and for an https proxy.
void ConfigureCurl(void* curl);

} // namespace common
