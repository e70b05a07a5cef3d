// The input rules of the dialogs: the next folder, the folder test and the links-box lines.
#include "frontend/dlg_folder_rules.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
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

TEST(PrepareTaskFolder, CreatesMissingLevelsAndRefusesRootFilesAndRelativePaths) {
  testing_support::Sandbox sandbox;
  EXPECT_TRUE(PrepareTaskFolder(sandbox.file("a/b/c/")));
  EXPECT_TRUE(QDir(sandbox.file("a/b/c")).exists());
  EXPECT_FALSE(PrepareTaskFolder("/"));
  EXPECT_FALSE(PrepareTaskFolder("/./"));
  EXPECT_FALSE(PrepareTaskFolder(""));
  EXPECT_FALSE(PrepareTaskFolder("relative/folder"));
  ASSERT_TRUE(testing_support::WriteBytes(sandbox.file("file"), "x"));
  EXPECT_FALSE(PrepareTaskFolder(sandbox.file("file")));
  EXPECT_FALSE(PrepareTaskFolder(sandbox.file("file/under")));
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
  EXPECT_EQ(ParseLinkLine("http://h/1    ", sandbox.path(), line), LinkLineError::BadFolder);
}

TEST(LinkLines, FolderFromWebTextCannotLeaveTheBaseFolder) {
  testing_support::Sandbox sandbox;
  const QString base = sandbox.file("base");
  ASSERT_TRUE(QDir().mkpath(base));
  LinkLine line;
  const QString url = "http://h/1 ";
  EXPECT_EQ(ParseLinkLine(url + base + "/../escaped", base, line), LinkLineError::BadFolder);
  EXPECT_EQ(ParseLinkLine(url + base + "/a/../../escaped", base, line), LinkLineError::BadFolder);
  EXPECT_EQ(ParseLinkLine(url + base + "/./a", base, line), LinkLineError::BadFolder);
  EXPECT_EQ(ParseLinkLine(url + "../escaped", base, line), LinkLineError::BadFolder);
  EXPECT_EQ(ParseLinkLine(url + sandbox.file("other"), base, line), LinkLineError::BadFolder);
  EXPECT_EQ(ParseLinkLine(url + base + "x/prefix-twin", base, line), LinkLineError::BadFolder);
  EXPECT_FALSE(QDir(sandbox.file("escaped")).exists());
  EXPECT_FALSE(QDir(sandbox.file("other")).exists());
  EXPECT_FALSE(QDir(sandbox.file("basex")).exists());

  // A folder name that only looks like dots stays a name; a relative folder lands inside.
  ASSERT_EQ(ParseLinkLine(url + base + "/...", base, line), LinkLineError::None);
  ASSERT_EQ(ParseLinkLine(url + "Chapter 3", base, line), LinkLineError::None);
  EXPECT_EQ(line.folder, base + "/Chapter 3");
  EXPECT_TRUE(QDir(base + "/Chapter 3").exists());
}

TEST(LinkLines, SymbolicLinkInsideTheBaseCannotLeadOut) {
  testing_support::Sandbox sandbox;
  const QString base = sandbox.file("base");
  ASSERT_TRUE(QDir().mkpath(base));
  ASSERT_TRUE(QDir().mkpath(sandbox.file("outside")));
  ASSERT_TRUE(QFile::link(sandbox.file("outside"), base + "/link"));
  LinkLine line;
  EXPECT_EQ(ParseLinkLine("http://h/1 " + base + "/link/ch1", base, line),
            LinkLineError::BadFolder);
  EXPECT_FALSE(QDir(sandbox.file("outside/ch1")).exists());
}
