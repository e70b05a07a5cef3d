// The desktop opener with stand-in commands: what it starts, and which endings it reports.
#include "platform/launcher.h"
#include "test_support.h"

#include <QFile>
#include <gtest/gtest.h>
#include <optional>

using testing_support::Sandbox;
using testing_support::WaitFor;

namespace {

/// FOLIVEX_OPENER names `command` while the object lives.
class OpenerCommand {
public:
  explicit OpenerCommand(const QString& command) { qputenv(platform::kOpenerVariable, command.toUtf8()); }
  ~OpenerCommand() { qunsetenv(platform::kOpenerVariable); }
};

QString Script(const Sandbox& box, const QString& name, const QString& body) {
  const QString path = box.file(name);
  EXPECT_TRUE(testing_support::WriteBytes(path, ("#!/bin/sh\n" + body + "\n").toUtf8()));
  QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  return path;
}

} // namespace

TEST(DesktopOpener, FailuresAreReportedWithTheCommandAndItsStatus) {
  Sandbox box;
  const QString recorded = box.file("opened");
  const struct {
    const char* what;
    QString command;
    int status; // 0: no failure is reported
  } cases[] = {
      {"opens", Script(box, "ok.sh", "printf '%s' \"$1\" > '" + recorded + ".part' && mv '" + recorded + ".part' '" + recorded + "'"), 0},
      {"no program for it", Script(box, "none.sh", "exit 3"), 3},
      {"killed", Script(box, "killed.sh", "kill -9 $$"), 128 + 9},
      {"not there", box.file("missing-opener"), -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const OpenerCommand opener(c.command);
    std::optional<platform::OpenFailure> failure;
    platform::DesktopOpener().Open(QStringLiteral("/some folder/with 'quotes'"),
                                   [&](const platform::OpenFailure& f) { failure = f; });
    if (c.status != 0) {
      ASSERT_TRUE(WaitFor([&] { return failure.has_value(); }, 5000));
      EXPECT_EQ(failure->command, c.command);
      EXPECT_EQ(failure->exitStatus, c.status);
    } else {
      // The target arrives as one argument, as given.
      ASSERT_TRUE(WaitFor([&] { return QFile::exists(recorded); }, 5000));
      EXPECT_EQ(testing_support::ReadBytes(recorded), "/some folder/with 'quotes'");
      WaitFor([] { return false; }, 300);
      EXPECT_FALSE(failure.has_value());
    }
  }
}

TEST(DesktopOpener, ShowInFolderOpensTheFolderWithANamedOpener) {
  Sandbox box;
  const QString recorded = box.file("opened");
  const OpenerCommand opener(Script(box, "ok.sh", "printf '%s' \"$1\" > '" + recorded + ".part' && mv '" + recorded + ".part' '" + recorded + "'"));
  platform::DesktopOpener().ShowInFolder(box.file("comics/Chapter 1.cbz"), {});
  ASSERT_TRUE(WaitFor([&] { return QFile::exists(recorded); }, 5000));
  EXPECT_EQ(testing_support::ReadBytes(recorded), box.file("comics").toUtf8());
}
