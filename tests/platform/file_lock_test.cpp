// Advisory file locks: one holder at a time, in this process or another; the file goes with
// the lock; a lock whose holder died is free; and a folder removed when a signal ends the
// process.
#include "platform/file_lock.h"
#include "platform/termination.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using platform::FileLock;
using Result = platform::FileLock::Result;
using testing_support::Sandbox;

namespace {

// A child process that takes the lock, says so through a pipe and waits to be killed.
pid_t HoldInChild(const QString& path) {
  int ready[2];
  if (::pipe(ready) != 0) return -1;
  const pid_t child = ::fork();
  if (child == 0) {
    FileLock lock;
    const char answer = lock.Lock(path) == Result::Locked ? 'y' : 'n';
    [[maybe_unused]] const ssize_t written = ::write(ready[1], &answer, 1);
    ::pause();
    ::_exit(0);
  }
  char answer = 0;
  ::close(ready[1]);
  const bool locked = ::read(ready[0], &answer, 1) == 1 && answer == 'y';
  ::close(ready[0]);
  return locked ? child : -1;
}

} // namespace

TEST(FileLock, OneHolderAtATimeAndTheFileGoesWithTheLock) {
  Sandbox box;
  const QString path = box.file("held.lock");
  FileLock first;
  FileLock second;
  EXPECT_EQ(second.LockExisting(path), Result::Failed) << "nothing to lock yet";
  EXPECT_FALSE(QFileInfo::exists(path)) << "and nothing made";
  ASSERT_EQ(first.Lock(path), Result::Locked);
  EXPECT_TRUE(QFileInfo::exists(path));
  EXPECT_EQ(QDir(box.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no helper file left";
  EXPECT_EQ(second.Lock(path), Result::Busy) << "another open file of this process";
  EXPECT_EQ(second.LockExisting(path), Result::Busy);
  first.Unlock();
  EXPECT_FALSE(QFileInfo::exists(path));
  EXPECT_EQ(second.Lock(path), Result::Locked);
  EXPECT_EQ(first.Lock(box.file("no/such/folder/x.lock")), Result::Failed);
}

TEST(FileLock, AHolderThatDiesLeavesAFreeLockBehind) {
  Sandbox box;
  const QString path = box.file("run.lock");
  const pid_t holder = HoldInChild(path);
  ASSERT_GT(holder, 0);
  FileLock lock;
  EXPECT_EQ(lock.LockExisting(path), Result::Busy);
  ::kill(holder, SIGKILL);
  ::waitpid(holder, nullptr, 0);
  ASSERT_TRUE(QFileInfo::exists(path)) << "a killed holder cannot remove its file";
  EXPECT_EQ(lock.LockExisting(path), Result::Locked);
}

TEST(FatalSignal, TheFolderGoesAndTheProcessEndsByThatSignal) {
  for (int signal : {SIGTERM, SIGUSR1, SIGPIPE}) {
    SCOPED_TRACE(signal);
    Sandbox box;
    const QString run = box.file("run");
    ASSERT_TRUE(QDir().mkpath(run + "/task/deep/er"));
    ASSERT_TRUE(testing_support::WriteBytes(run + "/setting.ini", "[app]"));
    ASSERT_TRUE(testing_support::WriteBytes(run + "/task/deep/er/1.ini", "x"));
    ASSERT_TRUE(testing_support::WriteBytes(box.file("beside"), "kept"));
    // Installed here, inherited by the child, taken away again before anything else happens.
    platform::RemoveFolderOnFatalSignal(run);
    const pid_t child = ::fork();
    if (child == 0) {
      ::raise(signal);
      ::_exit(0);
    }
    platform::RemoveFolderOnFatalSignal(QString());
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_FALSE(QFileInfo::exists(run));
    EXPECT_TRUE(QFileInfo::exists(box.file("beside")));
    struct sigaction current {};
    sigaction(signal, nullptr, &current);
    EXPECT_EQ(current.sa_handler, SIG_DFL) << "handled by default again";
  }
}
