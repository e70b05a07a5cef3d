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

TEST(BrowserIdentity, TheBrandsAreThoseOfTheVersionWithoutHeadless) {
  const QJsonObject hints = UserAgentMetadata("HeadlessChrome/156.0.8078.129", "x86_64");
  EXPECT_EQ(hints["brands"].toArray(),
            (QJsonArray{QJsonObject{{"brand", "Not:A-Brand"}, {"version", "8"}},
                        QJsonObject{{"brand", "Chromium"}, {"version", "156"}}}));
  // The arbitrary brand changes with the version, as a real browser's does.
  EXPECT_NE(UserAgentMetadata("Chrome/157.0.0.0", "arm64")["brands"].toArray()[0], hints["brands"].toArray()[0]);
}
