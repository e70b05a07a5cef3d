// How the engine's browser presents itself: a desktop Chromium, whatever its build says.
#include "engine/browser/browser_identity.h"

#include <QStringList>
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
