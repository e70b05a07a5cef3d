// Where the user's data lives: the portable layout keeps it in the program folder, an installed
// copy in the XDG data folder, and the command files follow it.
#include "common/data_folder.h"
#include "common/program_folder.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace common;
using testing_support::Sandbox;
using testing_support::WriteBytes;

namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
  ScopedEnv(const char* name, const QString& value)
      : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
    qputenv(name, value.toUtf8());
  }
  ~ScopedEnv() {
    if (had_) qputenv(name_, old_);
    else qunsetenv(name_);
  }

private:
  const char* name_;
  bool had_;
  QByteArray old_;
};

struct DataFolderTest : ::testing::Test {
  Sandbox program;
  Sandbox home;
  ScopedEnv xdg{"XDG_DATA_HOME", home.file("data")};
  QString Program() const { return WithTrailingSlash(program.path()); }
  void SetUp() override { SetProgramFolder(program.path()); }
  void TearDown() override { SetProgramFolder({}); }
};

TEST_F(DataFolderTest, WritableProgramFolderKeepsEverything) {
  EXPECT_FALSE(UsesUserDataFolder(Program()));
  EXPECT_EQ(DataFolder(), Program());
  EXPECT_EQ(CommandFilePath(3, 1), Program() + "skin/cmd/3 1.ini");
  EXPECT_FALSE(QFileInfo::exists(home.file("data/folivex"))) << "nothing made in the user folder";
}

TEST_F(DataFolderTest, InstalledCopyUsesTheUserFolderAndCreatesIt) {
  ASSERT_TRUE(WriteBytes(program.file("layout.ini"), "[app]\nuser_data=1\n"));
  const QString user = home.file("data/folivex/");
  EXPECT_TRUE(UsesUserDataFolder(Program()));
  EXPECT_EQ(DataFolder(), user);
  EXPECT_TRUE(QFileInfo(user + "task").isDir());
  EXPECT_TRUE(QFileInfo(user + "skin/cmd").isDir());
  EXPECT_EQ(CommandFilePath(-1, 12), user + "skin/cmd/-1 12.ini");
  EXPECT_FALSE(QFileInfo::exists(Program() + "skin")) << "the program folder stays as shipped";

  ASSERT_TRUE(WriteBytes(program.file("layout.ini"), "[app]\nuser_data=0\n"));
  EXPECT_EQ(DataFolder(), Program());
}

TEST_F(DataFolderTest, ReadOnlyProgramFolderMeansInstalled) {
  if (geteuid() == 0) GTEST_SKIP() << "root may write anywhere; the layout file marks root's copy";
  ASSERT_TRUE(QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::ExeOwner));
  EXPECT_EQ(DataFolder(), home.file("data/folivex/"));
  QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(UserDataFolder, FollowsTheBaseDirectoryRule) {
  EXPECT_EQ(UserDataFolder("/x/data", "/home/u"), "/x/data/folivex/");
  EXPECT_EQ(UserDataFolder("/x/data/", "/home/u/"), "/x/data/folivex/");
  EXPECT_EQ(UserDataFolder("", "/home/u"), "/home/u/.local/share/folivex/");
  EXPECT_EQ(UserDataFolder("relative/data", "/home/u"), "/home/u/.local/share/folivex/")
      << "a relative XDG_DATA_HOME is ignored";
}

} // namespace
