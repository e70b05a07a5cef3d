// The folivex-get program as scripts use it: exit codes, plain progress on a pipe, errors on
// standard error, list files, the link search and Control-C. The engine is the scripted
// stand-in, named through FOLIVEX_GET_ENGINE.
#include "cli/run_folder.h"
#include "platform/file_lock.h"
#include "platform/process.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <csignal>
#include <gtest/gtest.h>

using testing_support::AppFolder;
using testing_support::Sandbox;
using testing_support::WaitFor;
using testing_support::WriteBytes;

namespace {

struct Result {
  int code = -1;
  QString out;
  QString err;
};

QString ChapterUrl(int n, const QString& script) {
  return QString("http://127.0.0.1:9/chapter?n=%1&script=%2").arg(n).arg(script);
}

struct CommandLineTest : ::testing::Test {
  Sandbox box;
  const QString tmp = box.file("tmp");
  CommandLineTest() { QDir().mkpath(tmp); }

  void Prepare(QProcess& process) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("FOLIVEX_GET_ENGINE", SCRIPT_ENGINE_PATH);
    env.insert("FOLIVEX_TEST_APP_DIR", AppFolder());
    env.insert("FOLIVEX_OPENER", "/bin/false"); // never a real viewer, whatever happens
    env.remove("FOLIVEX_GET_RELAY");
    env.insert("TMPDIR", tmp); // where the run folders are
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(box.path());
  }

  Result Run(const QStringList& args, const QByteArray& input = {},
             const QString& engine = SCRIPT_ENGINE_PATH) {
    QProcess process;
    Prepare(process);
    QProcessEnvironment env = process.processEnvironment();
    env.insert("FOLIVEX_GET_ENGINE", engine);
    process.setProcessEnvironment(env);
    process.start(FOLIVEX_GET_PATH, args);
    EXPECT_TRUE(process.waitForStarted(10000));
    if (!input.isEmpty()) process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
  }

  // Starts folivex-get in the background and waits for its first chapter's first page.
  bool StartUntilFirstPage(QProcess& process, const QStringList& args) {
    Prepare(process);
    process.start(FOLIVEX_GET_PATH, args);
    QString out;
    return process.waitForStarted(10000) && WaitFor([&] {
      out += QString::fromUtf8(process.readAllStandardOutput());
      return out.contains("[1] page 1/");
    }, 20000);
  }

  QStringList Pages(const QString& folder) {
    return QDir(box.file(folder)).entryList({"*.png"}, QDir::Files, QDir::Name);
  }
};

} // namespace

TEST_F(CommandLineTest, BadArgumentsExitTwoWithUsage) {
  for (const QStringList& args : QList<QStringList>{{}, {"-j", "0", "http://a", "f"},
                                                   {"http://a"}, {"--nope"}, {"http://a", "chap\n"}}) {
    const Result r = Run(args);
    EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
    EXPECT_TRUE(r.err.contains("Usage:"));
    EXPECT_TRUE(r.out.isEmpty());
  }
  EXPECT_TRUE(Run({"http://a", "chap\n"}).err.startsWith("folivex-get: the folder name \"chap\\n\" holds a control character\n"));
  const Result help = Run({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_TRUE(help.out.startsWith("Usage:"));
}

TEST_F(CommandLineTest, MissingEngineFailsAtOnce) {
  const QString missing = box.file("no-such-engine");
  for (const QStringList& args : QList<QStringList>{{"http://a/1", "f"}, {"--links", "http://a", "f"}}) {
    const Result r = Run(args, {}, missing);
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("the engine " + missing + " is missing")) << r.err.toStdString();
  }
}

TEST_F(CommandLineTest, FailedChapterExitsOneAndProgressIsPlainOnAPipe) {
  const QString bad = ChapterUrl(1, "info:3,stall");
  const Result r = Run({"-j", "2", bad, "new/bad", ChapterUrl(2, "info:2,saveall"), "new/good"});
  EXPECT_EQ(r.code, 1) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("folivex-get: " + bad + ": ")) << r.err.toStdString();
  EXPECT_TRUE(r.out.contains("[2] start " + ChapterUrl(2, "info:2,saveall") + " -> " +
                             box.path() + "/new/good/\n"))
      << r.out.toStdString();
  EXPECT_TRUE(r.out.contains("[2] page 1/2 Chapter 2\n"));
  EXPECT_TRUE(r.out.contains("[2] done 2 pages Chapter 2\n"));
  EXPECT_TRUE(r.out.contains("[1] failed: "));
  EXPECT_FALSE(r.out.contains("\x1b")); // no terminal codes in a pipe
  EXPECT_EQ(Pages("new/good").size(), 2);
  EXPECT_TRUE(QDir(box.file("new/bad")).exists()); // created although nothing came
}

TEST_F(CommandLineTest, ListFileRefusesEscapingLinesAndDownloadsTheRest) {
  const QByteArray list = "  " + ChapterUrl(1, "info:1,saveall").toUtf8() + "   one\r\n" +
                          ChapterUrl(2, "info:1,saveall").toUtf8() + "   ../../escape\n" +
                          ChapterUrl(3, "info:1,saveall").toUtf8() + "   /tmp/elsewhere\n" +
                          "not-an-address   x\n";
  ASSERT_TRUE(WriteBytes(box.file("list.txt"), list));
  const Result r = Run({"--list", "list.txt", "base"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err.count("line skipped"), 3) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("line 2: "));
  EXPECT_EQ(Pages("base/one"), QStringList{"001.png"});
  EXPECT_FALSE(QDir(box.file("escape")).exists());

  // The same good line from standard input, into the current folder.
  const Result ok = Run({"--list", "-"}, ChapterUrl(4, "info:2,saveall").toUtf8() + "   two\n");
  EXPECT_EQ(ok.code, 0) << ok.err.toStdString();
  EXPECT_EQ(Pages("two").size(), 2);
  // Nothing usable at all is a bad argument.
  EXPECT_EQ(Run({"--list", "-"}, "../x   y\n").code, 2);
}

TEST_F(CommandLineTest, LinkSearchPrintsTheEngineResultInUtf8) {
  const Result r = Run({"--links", "http://127.0.0.1:9/list?lines=3", "comics"});
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(r.out.toStdString(),
            QString("http://127.0.0.1:9/c/1   comics/Chapter 1 \u00e9t\u00e9\n"
                    "http://127.0.0.1:9/c/2   comics/Chapter 2 \u00e9t\u00e9\n"
                    "http://127.0.0.1:9/c/3   comics/Chapter 3 \u00e9t\u00e9\n")
                .toStdString());
  const Result none = Run({"--links", "http://127.0.0.1:9/list?lines=0", "comics"});
  EXPECT_EQ(none.code, 0);
  EXPECT_TRUE(none.out.isEmpty());
  EXPECT_TRUE(none.err.contains("no chapter links"));
  // A list page that could not be loaded is an error, not an empty list.
  const std::pair<const char*, const char*> failures[] = {
      {"404", "(HTTP 404)"}, {"0", "(no answer from the site)"}, {"200", "(not a web page)"}};
  for (const auto& [status, reason] : failures) {
    const Result failed = Run({"--links", QString("http://127.0.0.1:9/list?fail=") + status, "comics"});
    EXPECT_EQ(failed.code, 1);
    EXPECT_TRUE(failed.out.isEmpty());
    EXPECT_EQ(failed.err.toStdString(),
              std::string("folivex-get: the list page could not be loaded ") + reason + "\n");
  }
}

TEST_F(CommandLineTest, ControlCTellsTheEnginesToQuitAndEndsTheOnesThatDoNot) {
  QProcess process;
  Prepare(process);
  // The second engine ignores the quit message and SIGTERM, as one stuck in a fetch does.
  process.start(FOLIVEX_GET_PATH, {"-j", "2", ChapterUrl(1, "info:9,save,pause:50000"), "a",
                                   ChapterUrl(2, "deaf,info:9,save,pause:50000"), "b"});
  ASSERT_TRUE(process.waitForStarted(10000));
  // Both engines have reported their first page.
  QString out;
  ASSERT_TRUE(WaitFor([&] {
    out += QString::fromUtf8(process.readAllStandardOutput());
    return out.contains("[1] page 1/9") && out.contains("[2] page 1/9");
  }, 20000)) << out.toStdString();
  const pid_t deaf = pid_t(testing_support::ReadBytes(box.file("b/engine-pid")).toInt());
  ASSERT_GT(deaf, 0);
  ::kill(pid_t(process.processId()), SIGINT);
  ASSERT_TRUE(process.waitForFinished(20000));
  EXPECT_EQ(process.exitCode(), 130);
  out += QString::fromUtf8(process.readAllStandardOutput());
  EXPECT_TRUE(out.contains("[1] stopped at page 1\n")) << out.toStdString();
  const QByteArray err = process.readAllStandardError();
  EXPECT_TRUE(err.contains("interrupted"));
  EXPECT_TRUE(err.contains("1 engine(s) did not quit and were killed")) << err.toStdString();
  EXPECT_TRUE(QFile::exists(box.file("a/quit-received")));
  EXPECT_FALSE(platform::IsProcessRunning(platform::IdentifyProcess(deaf)))
      << "no engine outlives folivex-get";
}

TEST_F(CommandLineTest, TwoRunsIntoOneFolderTheSecondIsRefusedAtOnce) {
  QProcess first;
  ASSERT_TRUE(StartUntilFirstPage(first, {ChapterUrl(1, "info:3,save,pause:50000"), "same"}));
  const QString second = ChapterUrl(2, "info:2,saveall");
  const Result refused = Run({second, "same", ChapterUrl(3, "info:1,saveall"), "other"});
  EXPECT_EQ(refused.code, 1);
  EXPECT_TRUE(refused.err.contains("folivex-get: " + second + ": another download is using this folder"))
      << refused.err.toStdString();
  EXPECT_EQ(Pages("same"), QStringList{"001.png"}) << "nothing of the second chapter";
  EXPECT_EQ(Pages("other").size(), 1) << "the run's other chapter still goes";
  ::kill(pid_t(first.processId()), SIGINT);
  ASSERT_TRUE(WaitFor([&] { return first.state() == QProcess::NotRunning; }, 20000));
  EXPECT_EQ(Run({second, "same"}).code, 0) << "the folder is free again";
  EXPECT_FALSE(QFile::exists(box.file("same/.folivex-download.lock")));
}

TEST_F(CommandLineTest, TheRunFolderGoesWithTheRunWhateverSignalEndsIt) {
  const auto runFolders = [&] { return QDir(tmp).entryList({"folivex-get-*"}, QDir::Dirs); };
  // A signal it handles, Control-C again while a deaf engine is awaited, one it never handles
  // but can catch, and the one nobody can catch.
  const std::pair<QList<int>, int> endings[] = {
      {{SIGUSR1}, 0}, {{SIGINT, SIGINT}, 0}, {{SIGPIPE}, 0}, {{SIGKILL}, 1}};
  for (const auto& [sent, left] : endings) {
    SCOPED_TRACE(sent.first() * 10 + sent.size());
    QProcess process;
    ASSERT_TRUE(StartUntilFirstPage(process, {ChapterUrl(1, "deaf,info:9,save,pause:50000"), "a"}));
    for (int signal : sent) {
      ::kill(pid_t(process.processId()), signal);
      WaitFor([] { return false; }, 300);
    }
    ASSERT_TRUE(WaitFor([&] { return process.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(runFolders().size(), left);
    const pid_t engine = pid_t(testing_support::ReadBytes(box.file("a/engine-pid")).toInt());
    platform::SignalProcess(platform::IdentifyProcess(engine), SIGKILL); // the deaf engine
  }
  // The next run removes what the killed one left, never a folder whose run still goes.
  platform::FileLock living;
  ASSERT_TRUE(QDir(tmp).mkdir("folivex-get-Living"));
  living.Lock(tmp + "/folivex-get-Living/" + folivex_get::CRunFolder::kOwnerFile);
  EXPECT_EQ(Run({ChapterUrl(2, "info:1,saveall"), "b"}).code, 0);
  EXPECT_EQ(runFolders(), QStringList{"folivex-get-Living"});
}
