#include "engine/browser/browser_identity.h"

#include <QJsonArray>
#include <QRegularExpression>

namespace engine::browser_identity {

QString DesktopUserAgent(const QString& browserUserAgent) {
  QString agent = browserUserAgent;
  agent.replace(QLatin1String("HeadlessChrome"), QLatin1String("Chrome"));
  return agent;
}

QString AcceptLanguage(const QStringList& uiLanguages) {
  static const QRegularExpression tag(QStringLiteral("^[A-Za-z]{2,3}(-[A-Za-z0-9]{1,8})*$"));
  QStringList languages;
  auto add = [&](const QString& language) {
    if (languages.size() < 5 && !languages.contains(language, Qt::CaseInsensitive))
      languages << language;
  };
  for (QString language : uiLanguages) {
    language.replace(QLatin1Char('_'), QLatin1Char('-'));
    if (!tag.match(language).hasMatch()) continue; // "C", "POSIX", anything odd
    add(language);
    add(language.section(QLatin1Char('-'), 0, 0).toLower());
  }
  return languages.isEmpty() ? QStringLiteral("en-US,en") : languages.join(QLatin1Char(','));
}

QJsonObject UserAgentMetadata(const QString& product, const QString& cpuArchitecture) {
  QString full = product.section(QLatin1Char('/'), 1);
  if (full.isEmpty()) full = QStringLiteral("0.0.0.0");
  const QString major = full.section(QLatin1Char('.'), 0, 0);
  // The brand every Chromium adds so that sites cannot rely on a fixed list: its punctuation
  // and version follow from the major version.
  static const char kGreasyCharacters[] = {' ', '(', ':', '-', '.', '/', ')', ';', '=', '?', '_'};
  static const char* const kGreasyVersions[] = {"8", "99", "24"};
  const unsigned seed = major.toUInt();
  const QString greaseBrand = QStringLiteral("Not%1A%2Brand")
                                  .arg(QLatin1Char(kGreasyCharacters[seed % 11]))
                                  .arg(QLatin1Char(kGreasyCharacters[(seed + 1) % 11]));
  const QString greaseVersion = QLatin1String(kGreasyVersions[seed % 3]);
  auto brand = [](const QString& name, const QString& version) {
    return QJsonObject{{QStringLiteral("brand"), name}, {QStringLiteral("version"), version}};
  };
  const bool arm = cpuArchitecture.startsWith(QLatin1String("arm"));
  const bool wide = cpuArchitecture.contains(QLatin1String("64"));
  return {
      {QStringLiteral("brands"),
       QJsonArray{brand(greaseBrand, greaseVersion), brand(QStringLiteral("Chromium"), major)}},
      {QStringLiteral("fullVersionList"),
       QJsonArray{brand(greaseBrand, greaseVersion + QStringLiteral(".0.0.0")),
                  brand(QStringLiteral("Chromium"), full)}},
      {QStringLiteral("platform"), QStringLiteral("Linux")},
      {QStringLiteral("platformVersion"), QString()},
      {QStringLiteral("architecture"), arm ? QStringLiteral("arm") : QStringLiteral("x86")},
      {QStringLiteral("bitness"), wide ? QStringLiteral("64") : QStringLiteral("32")},
      {QStringLiteral("model"), QString()},
      {QStringLiteral("mobile"), false},
      {QStringLiteral("wow64"), false},
  };
}

QJsonObject UserAgentOverride(const QString& browserUserAgent, const QString& product,
                              const QStringList& uiLanguages, const QString& cpuArchitecture) {
  return {{QStringLiteral("userAgent"), DesktopUserAgent(browserUserAgent)},
          {QStringLiteral("acceptLanguage"), AcceptLanguage(uiLanguages)},
          {QStringLiteral("userAgentMetadata"), UserAgentMetadata(product, cpuArchitecture)}};
}

} // namespace engine::browser_identity
