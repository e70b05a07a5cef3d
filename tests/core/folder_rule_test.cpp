// The folder rule both front-ends apply: a folder from web text stays inside the base folder.
// Every row goes through the dialogs' path (CreateFolderInside, which also creates) and
// folivex-get's chapter list, and both must agree.
#include "core/folder_rule.h"
#include "test_support.h"
#include "cli/task_list.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <unistd.h>
#include <gtest/gtest.h>

using folder_rule::Refusal;
using testing_support::Sandbox;

TEST(FolderRule, PrepareCreatesMissingLevelsAndRefusesRootFilesAndRelativePaths) {
  Sandbox sandbox;
  EXPECT_TRUE(folder_rule::PrepareTaskFolder(sandbox.file("a/b/c/")));
  EXPECT_TRUE(QDir(sandbox.file("a/b/c")).exists());
  EXPECT_FALSE(folder_rule::PrepareTaskFolder("/"));
  EXPECT_FALSE(folder_rule::PrepareTaskFolder("/./"));
  EXPECT_FALSE(folder_rule::PrepareTaskFolder(""));
  EXPECT_FALSE(folder_rule::PrepareTaskFolder("relative/folder"));
  ASSERT_TRUE(testing_support::WriteBytes(sandbox.file("file"), "x"));
  EXPECT_FALSE(folder_rule::PrepareTaskFolder(sandbox.file("file")));
  EXPECT_FALSE(folder_rule::PrepareTaskFolder(sandbox.file("file/under")));
}

TEST(FolderRule, ARefusedFolderSaysWhy) {
  using folder_rule::Problem;
  Sandbox box;
  ASSERT_TRUE(testing_support::WriteBytes(box.file("file"), "x"));
  QDir().mkpath(box.file("locked"));
  QFile::setPermissions(box.file("locked"), QFile::ReadOwner | QFile::ExeOwner);
  const QString longName(300, QLatin1Char('x'));           // 300 bytes
  const QString longChinese(90, QChar(0x8BDD));              // 270 bytes in UTF-8
  const bool root = ::geteuid() == 0; // permissions do not stop root
  const struct {
    QString folder;
    Problem problem;
  } cases[] = {
      {box.file("ok/" + QString(255, QLatin1Char('y'))), Problem::None}, // the longest name
      {box.file(longName), Problem::TooLong},
      {box.file("a/" + longChinese + "/b"), Problem::TooLong},
      {box.file("deep/" + QStringList(20, QString(240, QLatin1Char('d'))).join('/')), Problem::TooLong},
      {box.file("file"), Problem::IsFile},
      {box.file("file/under"), Problem::IsFile},
      {box.file("locked/new"), root ? Problem::None : Problem::NotWritable},
      {box.file("locked"), root ? Problem::None : Problem::NotWritable},
      {"relative", Problem::NotAbsolute},
      {"/", Problem::NotMade},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder.left(80).toStdString());
    EXPECT_EQ(folder_rule::CheckTaskFolder(c.folder), c.problem);
  }
  EXPECT_FALSE(QFileInfo::exists(box.file(longName))) << "nothing made of a refused path";
  QFile::setPermissions(box.file("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(FolderRule, DialogsAndChapterListsAcceptAndRefuseTheSameFolders) {
  Sandbox box;
  const QString base = box.file("base");
  ASSERT_TRUE(QDir().mkpath(base));
  ASSERT_TRUE(QDir().mkpath(box.file("outside")));
  ASSERT_TRUE(QFile::link(box.file("outside"), base + "/door"));
  ASSERT_TRUE(QDir().mkpath(base + "/real"));
  ASSERT_TRUE(QFile::link(base + "/real", base + "/alias")); // a link that stays inside

  struct Row {
    QString folder;   ///< "{base}" and "{box}" are replaced by the folders
    Refusal refusal;
    QString accepted; ///< the cleaned folder below the base when accepted
  };
  const Row rows[] = {
      {"Chapter 3", Refusal::None, "/Chapter 3"},
      {"comics/Ch\u00e4pter 4/", Refusal::None, "/comics/Ch\u00e4pter 4"},
      {"{base}/inside", Refusal::None, "/inside"},
      {"{base}", Refusal::None, ""},
      {"...", Refusal::None, "/..."}, // names made of dots are names
      {"..hidden..", Refusal::None, "/..hidden.."},
      {"alias/ch1", Refusal::None, "/alias/ch1"},
      {"..", Refusal::DotComponent, ""},
      {"../escape", Refusal::DotComponent, ""},
      {"ok/../../escape", Refusal::DotComponent, ""},
      {"./fine", Refusal::DotComponent, ""},
      {"fine/./name", Refusal::DotComponent, ""},
      {"{base}/./a", Refusal::DotComponent, ""},
      {"/etc/cron.d", Refusal::Outside, ""},
      {"{box}/other", Refusal::Outside, ""},
      {"{box}/basex/prefix-twin", Refusal::Outside, ""},
      {"door", Refusal::LeadsOutside, ""},
      {"door/new", Refusal::LeadsOutside, ""},
      {"{base}/door/new/deeper", Refusal::LeadsOutside, ""},
  };
  for (const Row& row : rows) {
    QString folder = row.folder;
    folder.replace("{base}", base).replace("{box}", box.path());
    SCOPED_TRACE(folder.toStdString());

    Refusal why = Refusal::Unusable;
    const QString created = folder_rule::CreateFolderInside(base, folder, &why);
    EXPECT_EQ(why, row.refusal);
    const folivex_get::TaskList list = folivex_get::ParseTaskList("http://a/1   " + folder, base);
    if (row.refusal == Refusal::None) {
      EXPECT_EQ(QDir::cleanPath(created), base + row.accepted);
      EXPECT_TRUE(QDir(created).exists());
      ASSERT_EQ(list.entries.size(), 1);
      EXPECT_EQ(list.entries[0].folder, base + row.accepted);
    } else {
      EXPECT_TRUE(created.isEmpty());
      EXPECT_TRUE(list.entries.isEmpty());
      ASSERT_EQ(list.rejected.size(), 1);
      EXPECT_TRUE(list.rejected[0].startsWith("line 1: the folder "))
          << list.rejected[0].toStdString();
    }
  }
  // Nothing refused was created anywhere.
  EXPECT_EQ(QDir(box.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            (QStringList{"base", "outside"}));
  EXPECT_TRUE(QDir(box.file("outside")).isEmpty());
  EXPECT_FALSE(QFileInfo::exists(box.file("escape")));
}

TEST(FolderRule, BaseMustBeAbsoluteWithoutDotComponents) {
  Sandbox box;
  Refusal why = Refusal::None;
  EXPECT_TRUE(folder_rule::ResolveFolderInside("relative", "x", &why).isEmpty());
  EXPECT_EQ(why, Refusal::BadBase);
  EXPECT_TRUE(folder_rule::CreateFolderInside(box.path() + "/a/../b", "x", &why).isEmpty());
  EXPECT_EQ(why, Refusal::BadBase);
  EXPECT_FALSE(QFileInfo::exists(box.file("b")));
  // A base that does not exist yet is created with the folder.
  EXPECT_EQ(folder_rule::CreateFolderInside(box.file("new"), "x", &why), box.file("new") + "/x");
  EXPECT_EQ(why, Refusal::None);
  EXPECT_TRUE(QDir(box.file("new/x")).exists());
}
