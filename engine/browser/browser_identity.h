#pragma once
// How the engine's browser presents itself to pages: as the desktop browser it is, without
// the marks of a headless or remote-controlled one. Some readers refuse to show their pages
// to a browser that names itself "HeadlessChrome" in its user agent or its client hints. The
// browser is told this through its own protocol (Emulation.setUserAgentOverride), never by
// scripts in the page, which a site could see. Pure functions.
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace engine::browser_identity {

/// The user agent without its headless marker ("HeadlessChrome/..." becomes "Chrome/...").
QString DesktopUserAgent(const QString& browserUserAgent);

/// The languages a page sees (navigator.languages and Accept-Language) for the user's
/// interface languages (QLocale::uiLanguages): each tag, followed by its base language when
/// that is not listed already ("de-DE,de"); "en-US,en" when none is usable. At most five.
QString AcceptLanguage(const QStringList& uiLanguages);

/// The client hints of a desktop Chromium of `product` ("HeadlessChrome/156.0.8078.129"):
/// the brands a Chromium of that version announces (an arbitrary brand that varies with the
/// version, then "Chromium"), never one of the headless browser; Linux on the CPU the engine
/// was built for.
QJsonObject UserAgentMetadata(const QString& product, const QString& cpuArchitecture);

/// The parameters of Emulation.setUserAgentOverride that make a page see the desktop browser.
QJsonObject UserAgentOverride(const QString& browserUserAgent, const QString& product,
                              const QStringList& uiLanguages, const QString& cpuArchitecture);

} // namespace engine::browser_identity
