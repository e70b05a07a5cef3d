// The input rules of the dialogs: the next folder and the links-box lines.
#include "gui/dlg_folder_rules.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace dialogs;

TEST(SuggestNextFolder, CountsUpTheLastNumberAndKeepsTheRest) {
  EXPECT_EQ(SuggestNextFolder("/c/vol 12/"), "/c/vol 13/");
  EXPECT_EQ(SuggestNextFolder("/c/vol 09/"), "/c/vol 10/");
  EXPECT_EQ(SuggestNextFolder("/c/vol 99"), "/c/vol 100");
  EXPECT_EQ(SuggestNextFolder("/c/2 part 007 end/"), "/c/2 part 8 end/");
  EXPECT_EQ(SuggestNextFolder("/home/me/My Comic Book/"), "/home/me/My Comic Book/");
  EXPECT_EQ(SuggestNextFolder(""), "");
  EXPECT_EQ(SuggestNextFolder("000"), "1");
}

TEST(SuggestNextFolder, NumbersBeyondSixtyFourBitsAreCountedExactly) {
  EXPECT_EQ(SuggestNextFolder("/c/99999999999999999999999/"), "/c/100000000000000000000000/");
}

TEST(LinkLines, SplitOnEveryLineBreakKindAndDropEmptyLines) {
  EXPECT_EQ(SplitLinkLines("a\r\nb\rc\n\n\r\nd"), (QStringList{"a", "b", "c", "d"}));
  EXPECT_TRUE(SplitLinkLines("\r\n\n").isEmpty());
}

TEST(LinkLines, AddressBeforeTheFirstSpaceFolderWithoutLeadingSpaces) {
  testing_support::Sandbox sandbox;
  LinkLine line;
  const QString folder = sandbox.file("x");
  ASSERT_EQ(ParseLinkLine("http://h/1.html   " + folder, sandbox.path(), line),
            LinkLineError::None);
  EXPECT_EQ(line.url, "http://h/1.html");
  EXPECT_EQ(line.folder, folder);
  EXPECT_TRUE(QDir(folder).exists());

  EXPECT_EQ(ParseLinkLine("http://h/1.html", sandbox.path(), line), LinkLineError::NoSpace);
  EXPECT_EQ(ParseLinkLine("ftp://h/1 " + folder, sandbox.path(), line), LinkLineError::NotHttp);
  EXPECT_EQ(ParseLinkLine("https//h/1 " + folder, sandbox.path(), line), LinkLineError::NotHttp);
  ASSERT_EQ(ParseLinkLine("HTTPS://h/2 " + folder, sandbox.path(), line), LinkLineError::None);
  EXPECT_EQ(line.url, "HTTPS://h/2");
  EXPECT_EQ(ParseLinkLine("http://h/1    ", sandbox.path(), line), LinkLineError::BadFolder);
  EXPECT_EQ(ParseLinkLine("http://h/1 ../escaped-by-a-line", sandbox.path(), line),
            LinkLineError::BadFolder);
  EXPECT_FALSE(QFileInfo::exists(sandbox.path() + "/../escaped-by-a-line"));
}
