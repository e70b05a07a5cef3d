#include "gui/site_address.h"

#include "common/program_folder.h"
#include "gui/open_report.h"
#include "common/skin_loader.h"

#include <QUrl>

namespace dialogs {

QString SiteFile() { return common::ProgramFolder() + QStringLiteral("site.ini"); }

QString SiteBase() {
  QString host;
  if (!FCSkinLoader::ReadIniString(QStringLiteral("app"), QStringLiteral("host"), SiteFile(), host))
    return {};
  host = host.trimmed();
  if (host.isEmpty()) return {};
  if (!host.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) &&
      !host.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
    host.prepend(QStringLiteral("http://"));
  while (host.endsWith(QLatin1Char('/'))) host.chop(1);

  // Only a bare host (and port): no path, query, user or blanks may ride along into addresses.
  const QUrl url(host, QUrl::StrictMode);
  if (!url.isValid() || url.host().isEmpty() || !url.path().isEmpty() || url.hasQuery() ||
      url.hasFragment() || !url.userInfo().isEmpty() || host.contains(QLatin1Char(' ')))
    return {};
  return host;
}

QString SiteAddress(const QString& path) {
  const QString base = SiteBase();
  return base.isEmpty() ? QString() : base + path;
}

bool OpenSitePage(const QString& path) {
  const QString address = SiteAddress(path);
  if (address.isEmpty()) return false;
  OpenForUser(nullptr, address);
  return true;
}

} // namespace dialogs
