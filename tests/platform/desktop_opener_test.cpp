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

TEST(DesktopOpener, TheTargetArrivesAsOneArgumentAndFailuresNameTheCommandAndItsStatus) {
  Sandbox box;
  const QString recorded = box.file("opened");
  const QString ok = Script(box, "ok.sh", "printf '%s' \"$1\" > '" + recorded + ".part' && mv '" + recorded +
                                             ".part' '" + recorded + "'");
  const QString target = QStringLiteral("/some folder/with 'quotes'");
  const struct {
    const char* what;
    QString command;
    int status;     // 0: no failure is reported
    bool inFolder;  // ShowInFolder: the opener gets the folder that holds the target
  } cases[] = {
      {"opens", ok, 0, false},
      {"shows in folder", ok, 0, true},
      {"no program for it", Script(box, "none.sh", "exit 3"), 3, false},
      {"killed", Script(box, "killed.sh", "kill -9 $$"), 128 + 9, false},
      {"not there", box.file("missing-opener"), -1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QFile::remove(recorded);
    const OpenerCommand opener(c.command);
    std::optional<platform::OpenFailure> failure;
    const auto failed = [&](const platform::OpenFailure& f) { failure = f; };
    if (c.inFolder) platform::DesktopOpener().ShowInFolder(target + "/Chapter 1.cbz", failed);
    else platform::DesktopOpener().Open(target, failed);
    if (c.status != 0) {
      ASSERT_TRUE(WaitFor([&] { return failure.has_value(); }, 5000));
      EXPECT_EQ(failure->command, c.command);
      EXPECT_EQ(failure->exitStatus, c.status);
    } else {
      ASSERT_TRUE(WaitFor([&] { return QFile::exists(recorded); }, 5000));
      EXPECT_EQ(testing_support::ReadBytes(recorded), target.toUtf8());
      WaitFor([] { return false; }, 300);
      EXPECT_FALSE(failure.has_value());
    }
  }
}
