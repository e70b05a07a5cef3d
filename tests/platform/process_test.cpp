// Watching and ending processes by id: a reused id never reaches another program, and a
// process that ignores SIGTERM is still ended.
#include "platform/process.h"

#include <QProcess>
#include <csignal>
#include <gtest/gtest.h>

namespace {

struct Child {
  QProcess process;
  explicit Child(const QString& script) {
    process.start("/bin/sh", {"-c", script});
    process.waitForStarted(5000);
  }
  ~Child() {
    process.kill();
    process.waitForFinished(5000);
  }
  pid_t Pid() const { return pid_t(process.processId()); }
};

TEST(Process, ARefWithAnotherStartTimeIsNeitherRunningNorSignalled) {
  Child child("exec sleep 30");
  const platform::ProcessRef ref = platform::IdentifyProcess(child.Pid());
  ASSERT_TRUE(platform::IsProcessRunning(ref));
  const platform::ProcessRef reused{ref.pid, ref.startTicks + 1};
  EXPECT_FALSE(platform::IsProcessRunning(reused));
  EXPECT_FALSE(platform::SignalProcess(reused, SIGKILL));
  EXPECT_TRUE(platform::IsProcessRunning(ref)) << "the signal went nowhere";
  EXPECT_FALSE(platform::IsProcessRunning(platform::ProcessRef{}));
  EXPECT_FALSE(platform::IdentifyProcess(0).IsKnown());
}

TEST(Process, AwaitEndsWithSigtermOrSigkillAndCountsTheKilled) {
  Child polite("exec sleep 30");
  Child deaf("trap '' TERM; exec sleep 30"); // the ignored signal stays ignored across exec
  const platform::ProcessRef politeRef = platform::IdentifyProcess(polite.Pid());
  const platform::ProcessRef deafRef = platform::IdentifyProcess(deaf.Pid());
  EXPECT_EQ(platform::AwaitProcessesEnd({politeRef}, 100, 5000), 0);
  EXPECT_FALSE(platform::IsProcessRunning(politeRef)) << "a zombie counts as ended";
  EXPECT_EQ(platform::AwaitProcessesEnd({deafRef}, 100, 300), 1);
  EXPECT_FALSE(platform::IsProcessRunning(deafRef));
  EXPECT_EQ(platform::AwaitProcessesEnd({deafRef, platform::ProcessRef{}}, 100, 300), 0);
}

} // namespace
