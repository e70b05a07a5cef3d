// How the engine's browser presents itself: a desktop Chromium, whatever its build says.
#include "engine/browser/browser_identity.h"

#include <QJsonArray>
#include <gtest/gtest.h>

using namespace engine::browser_identity;

TEST(BrowserIdentity, LanguagesComeFromTheUsersLocaleWithTheirBaseLanguage) {
  const std::pair<QStringList, const char*> cases[] = {
      {{"fr_CA", "fr-FR", "en"}, "fr-CA,fr,fr-FR,en"},
      {{"zh-Hans-CN", "ZH"}, "zh-Hans-CN,zh"},
      {{"C", "de\r\nX-Evil: 1"}, "en-US,en"},
      {{"aa-1", "bb-1", "cc-1"}, "aa-1,aa,bb-1,bb,cc-1"}, // five at most
  };
  for (const auto& [ui, expected] : cases) EXPECT_EQ(AcceptLanguage(ui), expected);
}

TEST(BrowserIdentity, NoHeadlessMarkInTheAgentOrItsHints) {
  const QJsonObject over = UserAgentOverride("Mozilla/5.0 (X11) HeadlessChrome/156.0.8078.129 Safari/537.36",
                                             "HeadlessChrome/156.0.8078.129", {"en-GB"}, "x86_64");
  EXPECT_EQ(over["userAgent"].toString(), "Mozilla/5.0 (X11) Chrome/156.0.8078.129 Safari/537.36");
  const QJsonObject hints = over["userAgentMetadata"].toObject();
  // The brands this Chromium announces in a window of its own.
  EXPECT_EQ(hints["brands"].toArray(),
            (QJsonArray{QJsonObject{{"brand", "Not:A-Brand"}, {"version", "8"}},
                        QJsonObject{{"brand", "Chromium"}, {"version", "156"}}}));
  EXPECT_EQ(hints["fullVersionList"].toArray()[1].toObject()["version"].toString(), "156.0.8078.129");
  EXPECT_EQ(hints["architecture"].toString() + hints["bitness"].toString(), "x8664");
  EXPECT_EQ(UserAgentMetadata("HeadlessChrome/120.0.1.2", "arm64")["architecture"].toString(), "arm");
  // The arbitrary brand changes with the version, as a real browser's does.
  EXPECT_NE(UserAgentMetadata("Chrome/157.0.0.0", "x86_64")["brands"].toArray()[0], hints["brands"].toArray()[0]);
  EXPECT_EQ(UserAgentMetadata("", "i386")["brands"].toArray().size(), 2);
}
