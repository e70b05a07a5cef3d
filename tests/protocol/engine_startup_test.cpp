// The real Gantrell binary against a test process acting as the front-end window.
#include "common/command_file.h"
#include "common/protocol.h"
#include "engine/gantrell_app.h"
#include "frontend_stub.h"
#include "test_support.h"

#include <QFile>
#include <csignal>
#include <gtest/gtest.h>

using testing_support::EngineProcess;
using testing_support::FrontEndStub;
using testing_support::Sandbox;
using testing_support::WaitFor;

namespace {

common::HandOff PageJob(std::int32_t id) {
  common::HandOff job;
  job.id = id;
  job.index = 1;
  job.url = QStringLiteral("http://127.0.0.1:9/never");
  job.folder = QStringLiteral("/tmp/never/");
  return job;
}

} // namespace

TEST(EngineStartup, WithoutArgumentsOrWithMissingFileEndsAtOnce) {
  EngineProcess bare(QStringList{});
  EngineProcess missing(QStringList{QStringLiteral("/no/such/hand-off file")});
  ASSERT_GT(bare.pid(), 0);
  ASSERT_GT(missing.pid(), 0);
  EXPECT_TRUE(WaitFor([&] { return bare.Finished() && missing.Finished(); }, 10000));
}

TEST(EngineStartup, RefusedHelloEndsTheEngineAndTheHandOffFileIsGone) {
  FrontEndStub frontEnd;
  frontEnd.acceptHello = false;
  EngineProcess engine(PageJob(7), frontEnd);
  ASSERT_TRUE(WaitFor([&] { return engine.Finished(); }, 10000));
  EXPECT_EQ(frontEnd.helloCount, 1);
  EXPECT_FALSE(QFile::exists(engine.handOffPath()));
}

TEST(EngineStartup, AcceptedEngineRunsUntilToldToQuit) {
  FrontEndStub frontEnd;
  EngineProcess engine(PageJob(8), frontEnd);
  ASSERT_TRUE(WaitFor([&] { return frontEnd.engineWindow != 0; }, 10000));
  EXPECT_FALSE(QFile::exists(engine.handOffPath()));
  EXPECT_TRUE(platform::IsWindow(frontEnd.engineWindow));
  EXPECT_FALSE(WaitFor([&] { return engine.Finished(); }, 500)); // still running

  const platform::HWND engineWindow = frontEnd.engineWindow;
  frontEnd.QuitEngine();
  ASSERT_TRUE(WaitFor([&] { return engine.Finished(); }, 10000));
  EXPECT_EQ(engine.exitCode, 0);
  EXPECT_FALSE(platform::IsWindow(engineWindow));
}

TEST(EngineStartup, HandOffPathWithSpacesReachesTheEngine) {
  Sandbox sandbox;
  FrontEndStub frontEnd;
  common::HandOff job = PageJob(9);
  job.hwnd = frontEnd.Handle();
  const QString written = common::WriteHandOffFile(job);
  const QString spaced = sandbox.file(QStringLiteral("hand off file.ini"));
  ASSERT_TRUE(QFile::rename(written, spaced));

  // Passed as separate words, as a shell would split an unquoted path.
  EngineProcess engine(spaced.split(QLatin1Char(' ')));
  ASSERT_TRUE(WaitFor([&] { return frontEnd.engineWindow != 0; }, 10000));
  EXPECT_FALSE(QFile::exists(spaced));
  frontEnd.QuitEngine();
  EXPECT_TRUE(WaitFor([&] { return engine.Finished(); }, 10000));
}

TEST(EngineStartup, TerminationSignalEndsTheEngineThroughItsNormalExit) {
  FrontEndStub frontEnd;
  EngineProcess engine(PageJob(10), frontEnd);
  ASSERT_TRUE(WaitFor([&] { return frontEnd.engineWindow != 0; }, 10000));
  ASSERT_EQ(kill(engine.pid(), SIGTERM), 0);
  ASSERT_TRUE(WaitFor([&] { return engine.Finished(); }, 15000));
  EXPECT_EQ(engine.exitCode, 0); // the loop quit; the signal did not kill the process
  EXPECT_FALSE(platform::IsWindow(frontEnd.engineWindow));
}

TEST(EngineStartup, AReportNobodyReceivesEndsTheEngine) {
  FrontEndStub frontEnd;
  EngineProcess engine(PageJob(11), frontEnd);
  ASSERT_TRUE(WaitFor([&] { return frontEnd.engineWindow != 0; }, 10000));
  // The front-end's window goes while its process lives on: the next report reaches no one.
  frontEnd.DestroyHandle();
  ASSERT_TRUE(WaitFor([&] { return engine.Finished(); }, 60000));
  EXPECT_EQ(engine.exitCode, CGantrellApp::kExitFrontEndGone);
}
