// Settings: clamping of the window position against the screen, long values and the written
// form.
#include "common/ini_rules.h"
#include "core/setting.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

const QSize kScreen(1920, 1080);

TEST(Setting, PositionIsClampedToTheScreen) {
  testing_support::Sandbox sandbox;
  const QString file = sandbox.file("setting.ini");
  common::WriteProfileString(file, "x", "-40");
  common::WriteProfileString(file, "y", "20000");
  common::WriteProfileString(file, "max_download", "5");
  CSetting setting;
  EXPECT_FALSE(setting.Read(file, kScreen)) << "a place off the screen is no damage";
  EXPECT_EQ(setting.x, 0);
  EXPECT_EQ(setting.y, 980);
  EXPECT_EQ(setting.max_download, 5) << "the scheduler uses what the file says";
  common::WriteProfileString(file, "x", "20000");
  setting.Read(file, kScreen);
  EXPECT_EQ(setting.x, 1820);
}

TEST(Setting, DamagedNumbersTakeTheirDefaultsAndTheFileIsWrittenAgain) {
  const struct {
    const char* key;
    const char* text;
    std::int32_t CSetting::*field;
    std::int32_t expected;
  } cases[] = {
      // "abc" once read as 0: every task then waited for ever while the dialog showed 1.
      {"max_download", "abc", &CSetting::max_download, 1},
      {"max_download", "11", &CSetting::max_download, 1},
      {"max_download", " 4 ", &CSetting::max_download, 4},
      {"max_download", "+2", &CSetting::max_download, 2},
      {"page_delay", "120", &CSetting::page_delay, 0},
      {"page_memory", "12", &CSetting::page_memory, 1536},
      {"task_id", "99999999999", &CSetting::task_id, 100},
      {"width", "-5", &CSetting::width, 400},
      {"y", "abc", &CSetting::y, 300},
      {"auto_continue", "on", &CSetting::auto_continue, 0},
      {"auto_continue", "2", &CSetting::auto_continue, 2}, // any number is a flag, as ever
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.key) + "=" + c.text);
    testing_support::Sandbox sandbox;
    const QString file = sandbox.file("setting.ini");
    ASSERT_TRUE(common::WriteProfileString(file, c.key, c.text));
    ASSERT_TRUE(common::WriteProfileString(file, "task_index", "100 101 "));
    CSetting setting;
    const bool repaired = setting.Read(file, kScreen);
    EXPECT_EQ(setting.*(c.field), c.expected);
    const bool good = QString::fromLatin1(c.text).trimmed() == QString::number(c.expected) ||
                      QString::fromLatin1(c.text) == "+" + QString::number(c.expected);
    EXPECT_EQ(repaired, !good);
    ASSERT_TRUE(setting.Write(file));
    CSetting again;
    EXPECT_FALSE(again.Read(file, kScreen)) << "the file now says what was taken";
    EXPECT_EQ(again.*(c.field), c.expected);
    EXPECT_EQ(common::ReadProfileString(file, "task_index").value_or(""), "100 101")
        << "the keys the settings do not own stay";
  }
}

TEST(Setting, TheWindowsPlaceIsWrittenOnlyOnceItHasOne) {
  // Settings written before the window stored its place (a task added on a first start)
  // leave the size to the skin at the next start.
  testing_support::Sandbox sandbox;
  const QString file = sandbox.file("setting.ini");
  CSetting setting;
  ASSERT_TRUE(setting.Write(file));
  EXPECT_FALSE(common::ReadProfileString(file, "width"));
  EXPECT_FALSE(common::ReadProfileString(file, "x"));
  setting.placed = true;
  ASSERT_TRUE(setting.Write(file));
  EXPECT_EQ(common::ReadProfileString(file, "width").value_or(""), "400");
  CSetting read;
  read.Read(file, kScreen);
  EXPECT_TRUE(read.placed);
}

TEST(Setting, FolderOf600CharactersIsReadWhole) {
  testing_support::Sandbox sandbox;
  const QString file = sandbox.file("setting.ini");
  const QString folder = "/" + QString(598, QChar(u'漫')) + "/";
  ASSERT_EQ(folder.size(), 600);
  common::WriteProfileString(file, "folder", folder);
  CSetting setting;
  setting.Read(file, kScreen);
  EXPECT_EQ(setting.folder, folder);
}

TEST(Setting, WrittenValuesReadBackAndNegativesKeepTheirSign) {
  testing_support::Sandbox sandbox;
  const QString file = sandbox.file("setting.ini");
  CSetting written;
  written.folder = "/tmp/comics/vol 12/";
  written.task_id = 123;
  written.max_download = 3;
  written.auto_continue = 1;
  written.pack_cbz = 1;
  written.x = 10;
  written.y = 20;
  written.width = 1700;
  written.placed = true; // as the window does when it stores its place
  written.height = 555;
  written.page_delay = 7;
  written.page_memory = 800;
  written.x = -7; // off the screen to the left: written as it is, clamped when read
  ASSERT_TRUE(written.Write(file));
  EXPECT_EQ(common::ReadProfileString(file, "x").value_or(""), "-7");
  EXPECT_FALSE(common::ReadProfileString(file, "cookies_file")) << "none named, none written";
  written.cookies_file = "/home/u/cookies.txt";
  ASSERT_TRUE(written.Write(file));

  CSetting read;
  read.Read(file, kScreen);
  EXPECT_EQ(read.folder, written.folder);
  EXPECT_EQ(read.task_id, 123);
  EXPECT_EQ(read.max_download, 3);
  EXPECT_EQ(read.auto_continue, 1);
  EXPECT_EQ(read.pack_cbz, 1);
  EXPECT_EQ(read.x, 0);
  EXPECT_EQ(read.y, 20);
  EXPECT_EQ(read.width, 1700);
  EXPECT_EQ(read.height, 555);
  EXPECT_EQ(read.page_delay, 7);
  EXPECT_EQ(read.page_memory, 800);
  EXPECT_EQ(read.cookies_file, "/home/u/cookies.txt");
  read.cookies_file.clear();
  ASSERT_TRUE(read.Write(file));
  EXPECT_EQ(common::ReadProfileString(file, "cookies_file").value_or("x"), "") << "cleared";

  EXPECT_EQ(read.max_pages, 1000); // not written by hand: the default
  // A hand-edited page cap stays within 1 to 100000 pages.
  for (const auto& [text, expected] : {std::pair{"0", 1}, std::pair{"250", 250}, std::pair{"9999999", 100000}}) {
    ASSERT_TRUE(common::WriteProfileString(file, "max_pages", text));
    CSetting edited;
    edited.Read(file, kScreen);
    EXPECT_EQ(edited.max_pages, expected) << text;
  }
}

} // namespace
