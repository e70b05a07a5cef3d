// The search-link dialog with the real Gantrell and its browser, on a list page served from
// 127.0.0.1. The user's text viewer is a script that copies the result file, so no viewer opens;
// the copied lines are pasted into the links box and added as tasks.
#include "common/protocol.h"
#include "dialog_fixture.h"
#include "gui/dlg_balloon_tip.h"
#include "gui/dlg_search_link.h"
#include "gui/tip_edit.h"
#include "local_site.h"

#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <csignal>
#include <sys/types.h>

using dialog_tests::DialogTest;
using testing_support::LocalSite;
using testing_support::ReadBytes;
using testing_support::WaitFor;

namespace {

/// Whether the process lives (a zombie that nobody reaped counts as ended).
bool Running(pid_t pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (pid <= 0 || !stat.open(QIODevice::ReadOnly)) return false;
  const QByteArray line = stat.readAll();
  const int close = line.lastIndexOf(')');
  return close > 0 && line.size() > close + 2 && line[close + 2] != 'Z';
}

/// Starts programs for real and ends every one still running when it dies, by its id.
class EndingLauncher : public platform::FIProgramLauncher {
public:
  ~EndingLauncher() override {
    for (pid_t pid : pids)
      if (Running(pid)) ::kill(pid, SIGTERM);
  }
  pid_t Launch(const QString& program, const QStringList& arguments) override {
    const pid_t pid = real_.Launch(program, arguments);
    pids.push_back(pid);
    return pid;
  }
  std::vector<pid_t> pids;

private:
  platform::DetachedLauncher real_;
};

class ViewerOverride {
public:
  explicit ViewerOverride(const QString& command) { qputenv("FOLIVEX_OPENER", command.toUtf8()); }
  ~ViewerOverride() { qunsetenv("FOLIVEX_OPENER"); }
};

class SearchLinkWithEngine : public DialogTest {
protected:
  /// A viewer stand-in that copies the file it is asked to open (by rename, never half a file).
  QString WriteViewerScript() {
    const QString script = sandbox.file("viewer.sh");
    const QByteArray text = QStringLiteral("#!/bin/sh\ncp \"$1\" '%1/copy.tmp' && mv '%1/copy.tmp' '%1/copy'\n")
                                .arg(sandbox.path())
                                .toUtf8();
    EXPECT_TRUE(testing_support::WriteBytes(script, text));
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return script;
  }
};

QString FromUtf16Le(const QByteArray& bytes) {
  if (!bytes.startsWith(QByteArray("\xFF\xFE", 2))) return {};
  return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                            (bytes.size() - 2) / 2);
}

} // namespace

TEST_F(SearchLinkWithEngine, ListPageLinesBecomeTasksInsideTheBaseFolder) {
  LocalSite site;
  site.AddPage("/list.html",
               "<html><body><ol><li><a href='/ch/1.html'>Chapter 1</a></li>"
               "<li><a href='/ch/2.html'>Chapter 2</a></li>"
               "<li><a href='/ch/3.html'>../../escape</a></li></ol></body></html>");
  const ViewerOverride viewer(WriteViewerScript());
  EndingLauncher engines;
  launcher.forward = &engines; // the dialog starts engines through the task manager's
  tasks->SetEngineProgram(testing_support::AppFolder() + "Gantrell");
  const QString base = Folder("Comics/");

  DlgSearchLink dialog(*tasks);
  dialog.show();
  dialog.AddressEdit()->setText(site.Url("/list.html"));
  dialog.FolderEdit()->setText(base);
  dialog.AddOnlyRadio()->setChecked(true);
  dialog.Search();
  ASSERT_EQ(engines.pids.size(), 1u);
  ASSERT_GT(engines.pids[0], 0);
  EXPECT_TRUE(dialog.IsSearching());
  ASSERT_TRUE(WaitFor([&] { return !dialog.IsSearching(); }, 60000));
  ASSERT_TRUE(WaitFor([&] { return QFile::exists(sandbox.file("copy")); }, 10000));

  const QString lines = FromUtf16Le(ReadBytes(sandbox.file("copy")));
  EXPECT_TRUE(lines.contains(site.Url("/ch/1.html") + "   " + base + "Chapter 1"));
  dialog.LinksEdit()->setFocus();
  dialog.LinksEdit()->setPlainText(lines);
  dialog.Add();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  ASSERT_EQ(tasks->Count(), 3);
  for (const auto& task : *tasks) {
    EXPECT_TRUE(task->folder.startsWith(base)) << task->folder.toStdString();
    EXPECT_FALSE(task->folder.contains("/../")) << task->folder.toStdString();
  }
  EXPECT_EQ((*tasks)[0]->url, site.Url("/ch/1.html"));
  EXPECT_EQ((*tasks)[0]->folder, base + "Chapter 1/");
  // The engine ends by itself once the viewer has had time to read the result.
  EXPECT_TRUE(WaitFor([&] { return !Running(engines.pids[0]); }, 30000));

  // A list page that is not there opens no viewer: the dialog says so at the address.
  QFile::remove(sandbox.file("copy"));
  DlgSearchLink again(*tasks);
  again.show();
  again.AddressEdit()->setText(site.Url("/no-such-list.html"));
  again.FolderEdit()->setText(base);
  const int balloons = dialogs::LastBalloonTip().serial;
  again.Search();
  ASSERT_EQ(engines.pids.size(), 2u);
  ASSERT_TRUE(WaitFor([&] { return !again.IsSearching(); }, 60000));
  EXPECT_EQ(dialogs::LastBalloonTip().serial, balloons + 1);
  EXPECT_EQ(dialogs::LastBalloonTip().message, "search 16 page failed (HTTP 404)");
  EXPECT_EQ(dialogs::LastBalloonTip().field, again.AddressEdit());
  EXPECT_TRUE(WaitFor([&] { return !Running(engines.pids[1]); }, 30000)) << "it ends at once";
  EXPECT_FALSE(QFile::exists(sandbox.file("copy")));
  launcher.forward = nullptr;
}
