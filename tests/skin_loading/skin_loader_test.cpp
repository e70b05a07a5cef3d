// Skin and language lookup: fallbacks of the current language and skin, text expansion,
// the language list, and the shipped language files.
#include "common/ini_rules.h"
#include "common/profile.h"
#include "common/program_folder.h"
#include "common/skin_loader.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

class SkinLoaderTest : public ::testing::Test {
protected:
  SkinLoaderTest() {
    root_ = common::WithTrailingSlash(sandbox_.path());
    QDir(root_).mkpath("language");
    QDir(root_).mkpath("skin/default");
    QDir(root_).mkpath("skin/cmd");
    common::SetProgramFolder(root_);
    FCSkinLoader::ResetLanguageCache();
  }
  ~SkinLoaderTest() override {
    common::SetProgramFolder(QString());
    FCSkinLoader::ResetLanguageCache();
  }
  void Language(std::int32_t id, const QString& name, const QString& section = QString(),
                const QString& key = QString(), const QString& text = QString()) {
    const QString file = FCSkinLoader::GetLanguageFile(id);
    common::CreateUnicodeProfileFile(file);
    if (!name.isNull()) common::WriteProfileString(file, "LANGUAGE", name);
    if (!section.isEmpty()) common::WriteProfileString(file, key, text, section);
  }
  void CurrentLanguage(const QString& value) {
    common::WriteProfileString(root_ + "language/current.ini", "language", value);
  }
  void CurrentSkin(const QString& name) {
    common::WriteProfileString(root_ + "skin/current.ini", "k", name);
  }

  testing_support::Sandbox sandbox_;
  QString root_;
};

TEST_F(SkinLoaderTest, LanguageWithoutItsFileFallsBackTo1033) {
  Language(1033, "English", "ERROR", "1", "failed");
  CurrentLanguage("2052");
  EXPECT_EQ(FCSkinLoader::GetCurrentLanguage(), 1033);
  EXPECT_EQ(FCSkinLoader::LoadLanguageText("ERROR", 1), "failed");
}

TEST_F(SkinLoaderTest, MissingCurrentFileOrFilesGiveEmptyTexts) {
  EXPECT_EQ(FCSkinLoader::GetCurrentLanguage(), 1033);
  EXPECT_EQ(FCSkinLoader::LoadLanguageText("app", "NAME"), "");
}

TEST_F(SkinLoaderTest, ConfiguredLanguageIsUsedAndCachedUntilTheNextStart) {
  Language(1033, "English", "app", "NAME", "Comics");
  Language(2052, "Chinese", "app", "NAME", "漫画");
  CurrentLanguage("2052");
  EXPECT_EQ(FCSkinLoader::GetCurrentLanguage(), 2052);
  EXPECT_EQ(FCSkinLoader::LoadLanguageText("app", "NAME"), "漫画");

  ASSERT_TRUE(FCSkinLoader::SetCurrentLanguage(1033));
  EXPECT_EQ(FCSkinLoader::GetCurrentLanguage(), 2052) << "applies from the next start";
  FCSkinLoader::ResetLanguageCache();
  EXPECT_EQ(FCSkinLoader::GetCurrentLanguage(), 1033);
}

TEST_F(SkinLoaderTest, WithoutAChoiceTheSystemLocaleFindsItsLanguage) {
  Language(1033, "English", "app", "LOCALE", "en_US");
  Language(2052, "Chinese", "app", "LOCALE", "zh_CN");
  Language(1028, "Traditional", "app", "LOCALE", "zh_TW");
  const struct {
    const char* locale;
    std::int32_t id;
  } cases[] = {{"zh_CN", 2052}, {"zh_TW", 1028}, {"zh_SG", 1028}, {"en_GB", 1033},
               {"de_DE", 1033}, {"C", 1033}, {"", 1033}};
  for (const auto& c : cases) EXPECT_EQ(FCSkinLoader::LanguageForLocale(c.locale), c.id) << c.locale;

  // A first start: the shipped choice file names no language, so the locale decides (the
  // desktop test starts Folivex with LANG=zh_CN.UTF-8 that way); a choice wins over it.
  common::CreateUnicodeProfileFile(root_ + "language/current.ini");
  EXPECT_EQ(FCSkinLoader::GetCurrentLanguage(), FCSkinLoader::LanguageForLocale(QLocale::system().name()));
  CurrentLanguage("2052");
  FCSkinLoader::ResetLanguageCache();
  EXPECT_EQ(FCSkinLoader::GetCurrentLanguage(), 2052);
}

TEST_F(SkinLoaderTest, BackslashNBecomesALineBreakAndNothingElseIsAnEscape) {
  Language(1033, "English", "LIST", "30", "first\\nsecond\\tthird\\\\n");
  EXPECT_EQ(FCSkinLoader::LoadLanguageText("LIST", "30"), "first\nsecond\\tthird\\\n");
}

TEST_F(SkinLoaderTest, SkinTextsReferToLanguageTextsOrStandForThemselves) {
  Language(1033, "English", "MAIN_SKIN", "20", "\" Drop\\nbox\"");
  EXPECT_EQ(FCSkinLoader::SkinText("lang:MAIN_SKIN/20"), " Drop\nbox");
  EXPECT_EQ(FCSkinLoader::SkinText("lang:MAIN_SKIN/21"), "") << "a missing text is empty";
  for (const char* literal : {"Drop box", "", "lang:", "lang:MAIN_SKIN", "lang:/20",
                              "lang:MAIN_SKIN/", "Lang:MAIN_SKIN/20"})
    EXPECT_EQ(FCSkinLoader::SkinText(literal), literal);
}

TEST_F(SkinLoaderTest, ListSkipsCurrentNonNumericAndNamelessFiles) {
  Language(1033, "English");
  Language(2052, "中文");
  Language(3000, "");        // empty name
  Language(3001, QString()); // no name at all
  CurrentLanguage("2052");
  common::CreateUnicodeProfileFile(root_ + "language/readme.ini");
  common::WriteProfileString(root_ + "language/readme.ini", "LANGUAGE", "not a language");
  EXPECT_EQ(FCSkinLoader::ListLanguages(), (QList<std::int32_t>{1033, 2052}));
}

TEST_F(SkinLoaderTest, SkinFallsBackToDefaultForMissingUnknownOrUnsafeNames) {
  EXPECT_EQ(FCSkinLoader::GetSkinFolderName(), "default") << "no current.ini";
  CurrentSkin("");
  EXPECT_EQ(FCSkinLoader::GetSkinFolderName(), "default") << "empty name";
  CurrentSkin("blue");
  EXPECT_EQ(FCSkinLoader::GetSkinFolderName(), "default") << "no such folder";
  CurrentSkin("..");
  EXPECT_EQ(FCSkinLoader::GetSkinFolderName(), "default");
  CurrentSkin("cmd/../default");
  EXPECT_EQ(FCSkinLoader::GetSkinFolderName(), "default");
  QDir(root_).mkpath("skin/blue");
  CurrentSkin("blue");
  EXPECT_EQ(FCSkinLoader::GetSkinFolderName(), "blue");
}

TEST_F(SkinLoaderTest, SkinFilePathComesFromInfoIni) {
  QDir(root_).mkpath("skin/blue");
  CurrentSkin("blue");
  common::WriteProfileString(root_ + "skin/blue/info.ini", "main", "main.xml");
  EXPECT_EQ(FCSkinLoader::GetSkinFilePath("main"), root_ + "skin/blue/main.xml");
  EXPECT_EQ(FCSkinLoader::GetSkinFilePath("tip"), root_ + "skin/blue/");
}

// An installed copy: the user's folder is searched first, choices are written only there.
TEST_F(SkinLoaderTest, UserFolderComesFirstAndTakesTheChoices) {
  testing_support::Sandbox home;
  const QByteArray oldXdg = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", home.path().toUtf8());
  common::WriteProfileString(root_ + "layout.ini", "user_data", "1");
  const QString user = home.file("folivex/");
  Language(1033, "English", "app", "NAME", "shipped");
  CurrentLanguage("1033");
  QDir(user).mkpath("language");
  QDir(user).mkpath("skin/mine");
  common::CreateUnicodeProfileFile(user + "language/2052.ini");
  common::WriteProfileString(user + "language/2052.ini", "LANGUAGE", "Chinese");
  common::WriteProfileString(user + "language/2052.ini", "NAME", "mine", "app");
  common::WriteProfileString(user + "skin/current.ini", "k", "mine");

  EXPECT_EQ(FCSkinLoader::ListLanguages(), (QList<std::int32_t>{1033, 2052}));
  EXPECT_EQ(FCSkinLoader::GetLanguageFile(2052), user + "language/2052.ini");
  EXPECT_EQ(FCSkinLoader::GetLanguageFile(1033), root_ + "language/1033.ini");
  EXPECT_EQ(FCSkinLoader::GetSkinFolder(), user + "skin/mine/");
  EXPECT_EQ(FCSkinLoader::LoadLanguageText("app", "NAME"), "shipped");

  ASSERT_TRUE(FCSkinLoader::SetCurrentLanguage(2052));
  EXPECT_EQ(common::ReadProfileInt(root_ + "language/current.ini", "language").value_or(0), 1033)
      << "the shipped choice is left alone";
  FCSkinLoader::ResetLanguageCache();
  EXPECT_EQ(FCSkinLoader::LoadLanguageText("app", "NAME"), "mine");
  if (oldXdg.isNull()) qunsetenv("XDG_DATA_HOME");
  else qputenv("XDG_DATA_HOME", oldXdg);
}

// The shipped language files: both installed, every text present in both, UTF-16 with BOM.
TEST(ShippedLanguages, BothLanguagesCarryEveryText) {
  common::SetProgramFolder(testing_support::AppFolder());
  FCSkinLoader::ResetLanguageCache();
  EXPECT_EQ(FCSkinLoader::GetCurrentLanguage(), 1033);
  EXPECT_EQ(FCSkinLoader::ListLanguages(), (QList<std::int32_t>{1033, 2052}));
  const QList<QPair<QString, QStringList>> used = {
      {"app", {"LOCALE", "NAME", "VER", "50"}},
      {"TRAY", {"0", "1", "2", "3", "6", "7"}},
      {"MAIN_MENU", {"1", "2", "3", "4"}},
      {"LIST_MENU", {"1", "2", "3"}},
      {"IDD_ADD_TASK", {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13"}},
      {"IDD_SEARCH_LINK", {"0", "1", "5", "6", "7", "8", "9", "11", "12", "13", "14", "15", "20",
                           "21", "25", "26", "30", "35", "36", "37", "40", "41", "42", "43", "44",
                           "45", "46", "47", "48", "49", "50", "51"}},
      {"IDD_SETTING", {"0", "2", "3", "4", "5", "8", "9", "10", "14", "15", "16"}},
      {"ERROR", {"1", "2", "3", "4", "5"}},
      {"FOLDER", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "12"}},
      {"OPEN", {"1", "2", "3", "4", "5", "9"}},
      {"CONFIRM", {"1", "2", "3", "4"}},
      {"DROP_LINK", {"0", "1", "2"}},
      {"LIST", {"0", "1", "2", "3", "4", "5", "10", "11", "12", "13", "14", "15", "20", "21", "22",
                "23", "24", "30", "40"}},
  };
  for (std::int32_t id : {1033, 2052}) {
    const QString file = FCSkinLoader::GetLanguageFile(id);
    EXPECT_TRUE(testing_support::ReadBytes(file).startsWith("\xff\xfe")) << id;
    for (const auto& [section, keys] : used)
      for (const QString& key : keys)
        EXPECT_FALSE(common::ReadIniString(file, section, key).value_or("").isEmpty())
            << id << " " << section.toStdString() << " " << key.toStdString();
  }
  EXPECT_EQ(common::ReadIniString(FCSkinLoader::GetLanguageFile(1033), "LIST", "0").value_or(""),
            "Title: ") << "quoted values keep their trailing blank";

  // Every text of the default skin is a reference that both languages fill.
  QFile description(testing_support::AppFolder() + "skin/default/main.xml");
  ASSERT_TRUE(description.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&description);
  int texts = 0;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    for (const QXmlStreamAttribute& attribute : xml.attributes()) {
      if (attribute.name() != u"text" && attribute.name() != u"tooltip") continue;
      ++texts;
      const QString value = attribute.value().toString();
      ASSERT_TRUE(value.startsWith("lang:")) << value.toStdString();
      const QStringList reference = value.mid(5).split('/');
      ASSERT_EQ(reference.size(), 2) << value.toStdString();
      for (std::int32_t id : {1033, 2052})
        EXPECT_FALSE(common::ReadIniString(FCSkinLoader::GetLanguageFile(id), reference[0],
                                           reference[1]).value_or("").isEmpty())
            << id << " " << value.toStdString();
    }
  }
  EXPECT_FALSE(xml.hasError());
  EXPECT_EQ(texts, 15);
  common::SetProgramFolder(QString());
  FCSkinLoader::ResetLanguageCache();
}

} // namespace
