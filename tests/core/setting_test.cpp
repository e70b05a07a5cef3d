// Settings: defaults, clamping of the window position against the screen, long values and
// the written form.
#include "common/ini_rules.h"
#include "core/setting.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

const QSize kScreen(1920, 1080);

TEST(Setting, MissingFileKeepsEveryDefault) {
  testing_support::Sandbox sandbox;
  CSetting setting;
  setting.Read(sandbox.file("setting.ini"), kScreen);
  EXPECT_EQ(setting.x, 300);
  EXPECT_EQ(setting.y, 300);
  EXPECT_EQ(setting.width, 400);
  EXPECT_EQ(setting.height, 300);
  EXPECT_EQ(setting.task_id, 100);
  EXPECT_EQ(setting.max_download, 1);
  EXPECT_EQ(setting.auto_continue, 0);
  EXPECT_EQ(setting.pack_cbz, 0) << "chapters stay loose pages unless asked";
  EXPECT_TRUE(setting.folder.endsWith("/My Comic Book/"));
}

TEST(Setting, PositionIsClampedToTheScreen) {
  testing_support::Sandbox sandbox;
  const QString file = sandbox.file("setting.ini");
  common::WriteProfileString(file, "x", "-40");
  common::WriteProfileString(file, "y", "20000");
  common::WriteProfileString(file, "width", "-5");
  common::WriteProfileString(file, "max_download", "5");
  CSetting setting;
  setting.Read(file, kScreen);
  EXPECT_EQ(setting.x, 0);
  EXPECT_EQ(setting.y, 980);
  EXPECT_EQ(setting.width, -5) << "sizes are taken as they stand";
  EXPECT_EQ(setting.max_download, 5) << "the scheduler uses what the file says";

  common::WriteProfileString(file, "x", "20000");
  common::WriteProfileString(file, "y", "abc");
  setting.Read(file, kScreen);
  EXPECT_EQ(setting.x, 1820);
  EXPECT_EQ(setting.y, 0) << "a value that is no number reads as 0";
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
  written.width = -7;
  written.height = 555;
  written.page_delay = 7;
  written.page_memory = 800;
  ASSERT_TRUE(written.Write(file));
  EXPECT_EQ(common::ReadProfileString(file, "width").value_or(""), "-7");

  CSetting read;
  read.Read(file, kScreen);
  EXPECT_EQ(read.folder, written.folder);
  EXPECT_EQ(read.task_id, 123);
  EXPECT_EQ(read.max_download, 3);
  EXPECT_EQ(read.auto_continue, 1);
  EXPECT_EQ(read.pack_cbz, 1);
  EXPECT_EQ(read.x, 10);
  EXPECT_EQ(read.y, 20);
  EXPECT_EQ(read.width, -7);
  EXPECT_EQ(read.height, 555);
  EXPECT_EQ(read.page_delay, 7);
  EXPECT_EQ(read.page_memory, 800);

  EXPECT_EQ(read.max_pages, 1000); // not written by hand: the default
  // A hand-edited page cap stays within 1 to 100000 pages.
  for (const auto& [text, expected] : {std::pair{"0", 1}, std::pair{"250", 250}, std::pair{"9999999", 100000}}) {
    ASSERT_TRUE(common::WriteProfileString(file, "max_pages", text));
    CSetting edited;
    edited.Read(file, kScreen);
    EXPECT_EQ(edited.max_pages, expected) << text;
  }

  // A hand-edited delay stays within 0 to 60 seconds.
  for (const auto& [text, expected] : {std::pair{"120", 60}, std::pair{"-5", 0}}) {
    ASSERT_TRUE(common::WriteProfileString(file, "page_delay", text));
    CSetting edited;
    edited.Read(file, kScreen);
    EXPECT_EQ(edited.page_delay, expected) << text;
  }
}

} // namespace
