// How the engine's browser presents itself: a desktop Chromium, whatever its build says.
#include "engine/browser/browser_identity.h"

#include <QJsonArray>
#include <gtest/gtest.h>

using namespace engine::browser_identity;

TEST(BrowserIdentity, LanguagesComeFromTheUsersLocaleWithTheirBaseLanguage) {
  const std::pair<QStringList, const char*> cases[] = {
      {{"de-DE"}, "de-DE,de"},
      {{"fr_CA", "fr-FR", "en"}, "fr-CA,fr,fr-FR,en"},
      {{"zh-Hans-CN", "ZH"}, "zh-Hans-CN,zh"},
      {{"C"}, "en-US,en"},
      {{"x", "de\r\nX-Evil: 1", ""}, "en-US,en"},
      {{}, "en-US,en"},
      {{"a-1", "b-1", "c-1", "d-1"}, ""},
  };
  for (const auto& [ui, expected] : cases) {
    const QString languages = AcceptLanguage(ui);
    if (*expected) EXPECT_EQ(languages, expected) << ui.join(' ').toStdString();
    EXPECT_LE(languages.count(','), 4) << "at most five";
  }
}

TEST(BrowserIdentity, NoHeadlessMarkInTheAgentOrItsHints) {
  const QString agent = "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) "
                        "HeadlessChrome/156.0.8078.129 Safari/537.36";
  const QJsonObject over = UserAgentOverride(agent, "HeadlessChrome/156.0.8078.129", {"en-GB"}, "x86_64");
  EXPECT_EQ(over["userAgent"].toString(), QString(agent).replace("HeadlessChrome", "Chrome"));
  EXPECT_EQ(over["acceptLanguage"].toString(), "en-GB,en");
  const QJsonObject hints = over["userAgentMetadata"].toObject();
  // The brands this Chromium announces in a window of its own.
  EXPECT_EQ(hints["brands"].toArray(),
            (QJsonArray{QJsonObject{{"brand", "Not:A-Brand"}, {"version", "8"}},
                        QJsonObject{{"brand", "Chromium"}, {"version", "156"}}}));
  EXPECT_EQ(hints["fullVersionList"].toArray()[1].toObject()["version"].toString(), "156.0.8078.129");
  EXPECT_EQ(hints["platform"].toString(), "Linux");
  EXPECT_EQ(hints["architecture"].toString(), "x86");
  EXPECT_EQ(hints["bitness"].toString(), "64");
  EXPECT_FALSE(hints["mobile"].toBool());
  EXPECT_EQ(UserAgentMetadata("HeadlessChrome/120.0.1.2", "arm64")["architecture"].toString(), "arm");
  // The arbitrary brand changes with the version, as a real browser's does.
  EXPECT_NE(UserAgentMetadata("Chrome/157.0.0.0", "x86_64")["brands"].toArray()[0],
            hints["brands"].toArray()[0]);
  // A product without a version still gives well-formed hints.
  EXPECT_EQ(UserAgentMetadata("", "i386")["brands"].toArray().size(), 2);
}
