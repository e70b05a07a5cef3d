#pragma once
// The product web site. Its host is deployment configuration: "site.ini" in the program folder,
// section "app", key "host" (for example "www.example.com", "127.0.0.1:8080" or a full
// "https://www.example.com"). Without a usable host every address here is empty and the
// callers do nothing: no news download, no site page opened.
#include <QString>

namespace dialogs {

/// "site.ini" in the program folder.
QString SiteFile();

/// The site's base address ("http://host[:port]", no trailing "/"), read from SiteFile() on
/// every call; empty when no host is configured or the value is not a plain http(s) host.
QString SiteBase();

/// SiteBase() + `path` (which starts with "/"); empty when no host is configured.
QString SiteAddress(const QString& path);

/// Opens SiteAddress(`path`) with platform::Opener(). False, and nothing opened, without a
/// host. The main window's commands 2506 ("/cn/comic/hot.php") and 2509 ("/cn/comic/help.php").
bool OpenSitePage(const QString& path);

} // namespace dialogs
