// Clearing the profile folders that killed engines left in the temporary folder: only real,
// abandoned folders go; nothing reached through a link is touched.
#include "engine/browser/chromium_process.h"
#include "platform/file_lock.h"

#include "test_support.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

using testing_support::Sandbox;

namespace {

// Points the temporary folder at `path` for the life of the object.
class TempFolder {
public:
  explicit TempFolder(const QString& path) : old_(qgetenv("TMPDIR")), had_(qEnvironmentVariableIsSet("TMPDIR")) {
    qputenv("TMPDIR", QFile::encodeName(path));
  }
  ~TempFolder() {
    if (had_)
      qputenv("TMPDIR", old_);
    else
      qunsetenv("TMPDIR");
  }

private:
  QByteArray old_;
  bool had_;
};

void MakeOld(const QString& path) {
  timeval times[2] = {{std::time(nullptr) - 3600, 0}, {std::time(nullptr) - 3600, 0}};
  ASSERT_EQ(::lutimes(QFile::encodeName(path).constData(), times), 0);
}

pid_t DeadPid() {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(0);
  ::waitpid(pid, nullptr, 0);
  return pid;
}

} // namespace

TEST(ChromiumProcess, StaleProfilesGoButLinkedFoldersAreNeverEmptied) {
  Sandbox sandbox;
  QDir root(sandbox.path());
  ASSERT_TRUE(root.mkpath("tmp") && root.mkpath("victim") && root.mkpath("locked-victim"));
  const QString tmp = sandbox.file("tmp");
  const QByteArray deadLock = "host-" + QByteArray::number(DeadPid());

  // A folder of the user's, old and unlocked, and one holding a dead browser's lock, both
  // reached through links named like profiles.
  ASSERT_TRUE(testing_support::WriteBytes(sandbox.file("victim/keep.txt"), "mine"));
  ASSERT_TRUE(testing_support::WriteBytes(sandbox.file("locked-victim/keep.txt"), "mine"));
  ASSERT_EQ(::symlink(deadLock.constData(),
                      QFile::encodeName(sandbox.file("locked-victim/SingletonLock")).constData()), 0);
  MakeOld(sandbox.file("victim"));
  ASSERT_TRUE(QFile::link(sandbox.file("victim"), tmp + "/gantrell-profile-link"));
  ASSERT_TRUE(QFile::link(sandbox.file("locked-victim"), tmp + "/gantrell-profile-locked"));
  MakeOld(tmp + "/gantrell-profile-link");

  // Real leftovers: an old unlocked profile and one whose browser has died.
  ASSERT_TRUE(root.mkpath("tmp/gantrell-profile-old"));
  MakeOld(tmp + "/gantrell-profile-old");
  ASSERT_TRUE(root.mkpath("tmp/gantrell-profile-dead"));
  ASSERT_EQ(::symlink(deadLock.constData(),
                      QFile::encodeName(tmp + "/gantrell-profile-dead/SingletonLock").constData()), 0);

  // Fresh profiles with their engine's lock: held here (it lives), and held by nobody.
  const QString owner = QString("/") + engine::CChromiumProcess::kOwnerFile;
  ASSERT_TRUE(root.mkpath("tmp/gantrell-profile-living") && root.mkpath("tmp/gantrell-profile-killed"));
  platform::FileLock living;
  living.Lock(tmp + "/gantrell-profile-living" + owner);
  ASSERT_TRUE(testing_support::WriteBytes(tmp + "/gantrell-profile-killed" + owner, ""));

  {
    TempFolder redirect(tmp);
    engine::CChromiumProcess::RemoveStaleProfiles();
  }
  EXPECT_TRUE(QFile::exists(sandbox.file("victim/keep.txt")));
  EXPECT_TRUE(QFile::exists(sandbox.file("locked-victim/keep.txt")));
  EXPECT_FALSE(QFileInfo::exists(tmp + "/gantrell-profile-old"));
  EXPECT_FALSE(QFileInfo::exists(tmp + "/gantrell-profile-dead"));
  EXPECT_TRUE(QFileInfo::exists(tmp + "/gantrell-profile-living"));
  EXPECT_FALSE(QFileInfo::exists(tmp + "/gantrell-profile-killed")) << "whatever its age";
}
