// The add-task dialog with real widgets: prefill, the checks of OK in their order, the folder
// proposed next, and the folder browser.
#include "dialog_fixture.h"
#include "gui/dlg_add_task.h"
#include "gui/dlg_balloon_tip.h"
#include "gui/dlg_folder_browser.h"
#include "core/folder_rule.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using dialog_tests::DialogTest;

namespace {

class AddTaskDialog : public DialogTest {};

/// The message of the last balloon and whether it pointed at `field`.
::testing::AssertionResult BalloonAt(QWidget* field, const QString& message, int since) {
  const dialogs::BalloonTip tip = dialogs::LastBalloonTip();
  if (tip.serial == since) return ::testing::AssertionFailure() << "no balloon shown";
  if (tip.field != field) return ::testing::AssertionFailure() << "balloon at another field";
  if (tip.message != message)
    return ::testing::AssertionFailure() << "balloon says " << tip.message.toStdString();
  return ::testing::AssertionSuccess();
}

} // namespace

TEST_F(AddTaskDialog, ClipboardAddressInAnyCaseIsTakenOnlyWithoutATask) {
  SetClipboard("HTTP://comics.example/ch1.html");
  {
    DlgAddTask dialog(*tasks);
    EXPECT_EQ(dialog.AddressEdit()->text(), "HTTP://comics.example/ch1.html");
    EXPECT_EQ(dialog.AddressEdit()->selectedText(), dialog.AddressEdit()->text());
  }
  ASSERT_NE(tasks->AddTask("HTTP://comics.example/ch1.html", Folder("a"), false), nullptr);
  {
    DlgAddTask dialog(*tasks);
    EXPECT_EQ(dialog.AddressEdit()->text(), "");
  }
  SetClipboard("see http://comics.example/ch2.html");
  DlgAddTask dialog(*tasks);
  EXPECT_EQ(dialog.AddressEdit()->text(), "");
  SetClipboard("HTTPS://comics.example/ch3.html");
  {
    DlgAddTask secure(*tasks);
    EXPECT_EQ(secure.AddressEdit()->text(), "HTTPS://comics.example/ch3.html");
  }
  // Several lines (copied from a list, say): the first address line, without its blanks.
  SetClipboard("Chapter 4\n  http://comics.example/ch4.html  \r\nhttp://comics.example/ch5.html");
  EXPECT_EQ(DlgAddTask(*tasks).AddressEdit()->text(), "http://comics.example/ch4.html");
  DlgAddTask dropped(*tasks, "http://comics.example/dropped.html");
  EXPECT_EQ(dropped.AddressEdit()->text(), "http://comics.example/dropped.html");
}

TEST_F(AddTaskDialog, OkChecksAddressThenDuplicateThenFolder) {
  DlgAddTask dialog(*tasks);
  dialog.show();
  dialog.FolderEdit()->setText("/");

  int since = dialogs::LastBalloonTip().serial;
  for (const char* address : {"www.example.com/ch1", "ftp://example.com/ch1", "https:/x"}) {
    since = dialogs::LastBalloonTip().serial;
    dialog.AddressEdit()->setText(address);
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_TRUE(BalloonAt(dialog.AddressEdit(), "add 10 not http", since)) << address;
  }
  for (const char* address : {"http://", "https://", "http:///ch1", "http://:8080/"}) {
    since = dialogs::LastBalloonTip().serial;
    dialog.AddressEdit()->setText(address);
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_TRUE(BalloonAt(dialog.AddressEdit(), "add 13 no host", since)) << address;
  }

  ASSERT_NE(tasks->AddTask("http://example.com/ch1", Folder("a"), false), nullptr);
  since = dialogs::LastBalloonTip().serial;
  dialog.AddressEdit()->setText("http://example.com/ch1");
  QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
  EXPECT_TRUE(BalloonAt(dialog.AddressEdit(), "add 12 task exists", since));

  since = dialogs::LastBalloonTip().serial;
  dialog.AddressEdit()->setText("http://example.com/ch2");
  QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
  EXPECT_TRUE(BalloonAt(dialog.FolderEdit(), "add 11 folder unusable", since));
  EXPECT_EQ(tasks->Count(), 1);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(dialog.AddedTask(), nullptr);
}

TEST_F(AddTaskDialog, FolderBalloonSaysWhyAndAFolderOfAnotherTaskIsRefused) {
  ASSERT_TRUE(testing_support::WriteBytes(Folder("page.jpg"), "x"));
  ASSERT_NE(tasks->AddTask("http://example.com/ch1", Folder("c/ch1/"), false), nullptr);
  DlgAddTask dialog(*tasks, "http://example.com/ch2");
  const struct {
    QString folder;
    const char* balloon;
  } cases[] = {
      {Folder("page.jpg"), "folder 2 is a file"},
      {Folder("page.jpg/sub"), "folder 2 is a file"},
      {"c/relative", "folder 1 not absolute"},
      {"", "folder 1 not absolute"},
      {"/", "add 11 folder unusable"},
      {Folder("c/ch1/"), "folder 4 in use"},
      {Folder("c//ch1"), "folder 4 in use"}, // written differently, the same folder
      {Folder(QString(300, 'x')), "folder 10 too long"},
  };
  dialog.show();
  const QRect browse(dialog.BrowseButton()->mapToGlobal(QPoint(0, 0)), dialog.BrowseButton()->size());
  for (const auto& c : cases) {
    dialog.FolderEdit()->setText(c.folder);
    const int since = dialogs::LastBalloonTip().serial;
    dialog.accept();
    EXPECT_TRUE(BalloonAt(dialog.FolderEdit(), c.balloon, since)) << c.folder.toStdString();
    // The tip stands beside no button: Browse stays free to choose another folder.
    const QWidget* tip = dialogs::ShownBalloonTip();
    ASSERT_NE(tip, nullptr);
    EXPECT_FALSE(tip->geometry().intersects(browse)) << c.folder.toStdString();
  }
  EXPECT_EQ(tasks->Count(), 1);
}

TEST_F(AddTaskDialog, AFolderHoldingPagesIsUsedOnlyWhenTheUserAgrees) {
  ASSERT_TRUE(QDir().mkpath(Folder("c/old")));
  ASSERT_TRUE(testing_support::WriteBytes(Folder("c/old/001.PNG"), "x"));
  QStringList asked;
  bool answer = false;
  dialogs::SetBoxAnswerer([&](const QString& text) {
    asked << text;
    return answer;
  });
  DlgAddTask dialog(*tasks, "http://example.com/ch2");
  dialog.FolderEdit()->setText(Folder("c/old/"));
  dialog.accept();
  EXPECT_EQ(tasks->Count(), 0);
  answer = true;
  dialog.accept();
  dialogs::SetBoxAnswerer({});
  EXPECT_EQ(asked, (QStringList{"folder 5 holds pages", "folder 5 holds pages"}));
  EXPECT_EQ(tasks->Count(), 1);
  EXPECT_FALSE(folder_rule::HoldsPageFiles(Folder("c"))) << "only files of the folder itself";
}

TEST_F(AddTaskDialog, AfterANameWithoutANumberTheNextFreeNameIsProposed) {
  setting.folder = Folder("c/extra/");
  EXPECT_EQ(DlgAddTask(*tasks).FolderEdit()->text(), Folder("c/extra/")) << "not taken yet";
  ASSERT_NE(tasks->AddTask("http://example.com/x", Folder("c/extra/"), false), nullptr);
  ASSERT_TRUE(QDir().mkpath(Folder("c/extra 2")));
  ASSERT_TRUE(testing_support::WriteBytes(Folder("c/extra 2/003.jpg"), "x"));
  EXPECT_EQ(DlgAddTask(*tasks).FolderEdit()->text(), Folder("c/extra 3/"));
}

TEST_F(AddTaskDialog, GoodInputCreatesTheFolderAddsTheTaskAndProposesTheNextPart) {
  const QString part2 = Folder("c/part 2/");
  {
    DlgAddTask dialog(*tasks, "http://example.com/ch2");
    dialog.show();
    dialog.FolderEdit()->setText(part2);
    dialog.AddOnlyRadio()->setChecked(true);
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_NE(dialog.AddedTask(), nullptr);
    EXPECT_EQ(dialog.AddedTask()->url, "http://example.com/ch2");
    EXPECT_EQ(dialog.AddedTask()->folder, part2);
    EXPECT_EQ(dialog.AddedTask()->status, TASK_STOP);
  }
  EXPECT_TRUE(QDir(part2).exists());
  EXPECT_EQ(setting.folder, part2);
  DlgAddTask next(*tasks);
  EXPECT_EQ(next.FolderEdit()->text(), Folder("c/part 3/"));
}

TEST_F(AddTaskDialog, BrowseStartsAtTheFieldsFolderOrItsDeepestParentAndTakesTheChoice) {
  ASSERT_TRUE(QDir().mkpath(Folder("comics/x")));
  EXPECT_EQ(dialogs::StartFolder(Folder("comics/x/a/b/")), Folder("comics/x/"));
  EXPECT_EQ(dialogs::StartFolder(Folder("comics/x")), Folder("comics/x"));
  EXPECT_EQ(dialogs::StartFolder("relative/x"), QString());
  EXPECT_EQ(dialogs::StartFolder(QString()), QString());
  DlgAddTask dialog(*tasks);
  dialog.show();
  dialog.FolderEdit()->setText("missing");
  browserAnswer = Folder("chosen");
  QTest::mouseClick(dialog.BrowseButton(), Qt::LeftButton);
  EXPECT_EQ(dialog.FolderEdit()->text(), Folder("chosen"));

  ASSERT_TRUE(QDir().mkpath(Folder("chosen")));
  browserAnswer.clear(); // cancelled: the field keeps its text
  QTest::mouseClick(dialog.BrowseButton(), Qt::LeftButton);
  EXPECT_EQ(dialog.FolderEdit()->text(), Folder("chosen"));
  EXPECT_EQ(browsed, (QStringList{QString(), Folder("chosen")}));
}
