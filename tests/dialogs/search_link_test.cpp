// The search-link dialog with real widgets: the links box, the checks of Add, Enter, and the
// conversation with a link-search engine (played here by windows of the test process).
#include "common/command_file.h"
#include "common/protocol.h"
#include "dialog_fixture.h"
#include "gui/dlg_balloon_tip.h"
#include "gui/dlg_search_link.h"
#include "gui/found_link_list.h"
#include "gui/tip_edit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using dialog_tests::DialogTest;
using dialog_tests::RecordingWindow;

namespace {

class SearchLinkDialog : public DialogTest {
protected:
  SearchLinkDialog() { setting.folder = Folder("base/"); }
  /// Types `text` into the links box as the user would paste it.
  static void Paste(DlgSearchLink& dialog, const QString& text) {
    dialog.LinksEdit()->setFocus();
    dialog.LinksEdit()->setPlainText(text);
  }
};

} // namespace

TEST_F(SearchLinkDialog, PrefillsAnyHttpClipboardTextAndShowsTheHintInTheEmptyBox) {
  SetClipboard("Http://list.example/all.html");
  {
    DlgSearchLink dialog(*tasks);
    EXPECT_EQ(dialog.AddressEdit()->text(), "Http://list.example/all.html");
    EXPECT_EQ(dialog.FolderEdit()->text(), Folder("base/")) << "no task yet: the last folder";
    EXPECT_EQ(dialog.LinksEdit()->Hint(), "hint line one\nhint line two");
    EXPECT_EQ(dialog.LinksEdit()->toPlainText(), dialog.LinksEdit()->Hint());
    EXPECT_TRUE(dialog.LinksEdit()->IsShowingHint());
    EXPECT_FALSE(dialog.ShowsFoundLinks());
  }
  // Several lines: the first address line alone. The base is beside the newest task's folder,
  // whatever its place in the list, so new chapters do not land inside an old one.
  SetClipboard("copied from a page\r\n  http://a.example/list.html \nhttp://b.example/\n");
  ASSERT_NE(tasks->AddTask("http://x/1", Folder("Comic B/Chapter 9/"), false), nullptr);
  ASSERT_NE(tasks->AddTask("http://x/2", Folder("Comic A/Chapter 1"), false), nullptr);
  tasks->ReverseOrder();
  DlgSearchLink dialog(*tasks);
  EXPECT_EQ(dialog.AddressEdit()->text(), "http://a.example/list.html");
  EXPECT_EQ(dialog.FolderEdit()->text(), Folder("Comic A/"));
  SetClipboard("no address at all\nftp://x/");
  EXPECT_EQ(DlgSearchLink(*tasks).AddressEdit()->text(), "");
}

TEST_F(SearchLinkDialog, TipEditDropsTheHintOnFocusAndPutsItBackWhenLeftEmpty) {
  DlgSearchLink dialog(*tasks);
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  CTipEdit* box = dialog.LinksEdit();
  box->setFocus();
  ASSERT_TRUE(testing_support::WaitFor([&] { return box->hasFocus(); }, 2000));
  EXPECT_EQ(box->toPlainText(), "");
  EXPECT_EQ(box->palette().color(QPalette::Text), QColor(Qt::black));
  dialog.AddressEdit()->setFocus();
  ASSERT_TRUE(testing_support::WaitFor([&] { return !box->hasFocus(); }, 2000));
  EXPECT_TRUE(box->IsShowingHint());
  EXPECT_EQ(box->palette().color(QPalette::Text), QColor(128, 128, 128));
}

TEST_F(SearchLinkDialog, UntouchedOrEmptyBoxHasNothingToAdd) {
  DlgSearchLink dialog(*tasks);
  dialog.show();
  int since = dialogs::LastBalloonTip().serial;
  QTest::mouseClick(dialog.AddButton(), Qt::LeftButton);
  EXPECT_EQ(dialogs::LastBalloonTip().serial, since + 1);
  EXPECT_EQ(dialogs::LastBalloonTip().message, "search 15 nothing to add");
  EXPECT_EQ(dialogs::LastBalloonTip().field, dialog.LinksEdit());

  Paste(dialog, "\n\r\n");
  since = dialogs::LastBalloonTip().serial;
  QTest::mouseClick(dialog.AddButton(), Qt::LeftButton);
  EXPECT_EQ(dialogs::LastBalloonTip().serial, since + 1);
  EXPECT_EQ(dialogs::LastBalloonTip().message, "search 15 nothing to add");
  EXPECT_TRUE(dialog.isVisible());
}

TEST_F(SearchLinkDialog, LineWithoutASpaceIsNamedAndNothingIsAdded) {
  DlgSearchLink dialog(*tasks);
  dialog.show();
  const QString base = Folder("base/");
  Paste(dialog, "http://h/1   " + base + "Chapter 1\r\nhttp://h/2\r\nhttp://h/3   " + base + "Chapter 3");
  QTest::mouseClick(dialog.AddButton(), Qt::LeftButton);
  EXPECT_EQ(dialogs::LastBalloonTip().message, "line 2 has no space");
  EXPECT_EQ(tasks->Count(), 0);
  EXPECT_TRUE(dialog.isVisible());

  Paste(dialog, "http://h/1   " + base + "a\n\nftp://h/2 " + base + "b");
  QTest::mouseClick(dialog.AddButton(), Qt::LeftButton);
  EXPECT_EQ(dialogs::LastBalloonTip().message, "line 2 is not http"); // empty lines not counted
  EXPECT_EQ(tasks->Count(), 0);
}

TEST_F(SearchLinkDialog, LineFolderThatLeavesTheBaseFolderIsRefused) {
  DlgSearchLink dialog(*tasks);
  dialog.show();
  const QString base = Folder("base/");
  Paste(dialog, "http://h/1   " + base + "ok\nhttp://h/2   " + base + "../../../etc/evil\n");
  QTest::mouseClick(dialog.AddButton(), Qt::LeftButton);
  EXPECT_EQ(dialogs::LastBalloonTip().message, "line 2 outside");
  EXPECT_EQ(tasks->Count(), 0);
  EXPECT_FALSE(QDir(Folder("etc")).exists());
}

TEST_F(SearchLinkDialog, AddMakesOneTaskPerLineInOrderSkippingKnownAddresses) {
  ASSERT_NE(tasks->AddTask("http://h/2", Folder("old"), false), nullptr);
  DlgSearchLink dialog(*tasks);
  dialog.show();
  dialog.AddOnlyRadio()->setChecked(true);
  const QString base = Folder("base/");
  Paste(dialog, "http://h/1   " + base + "Chapter 1\rhttp://h/2 " + base + "Chapter 2\r\n"
                "HTTP://h/3      " + base + "Chapter 3");
  QStringList notices;
  dialogs::SetBoxAnswerer([&](const QString& text) {
    notices << text;
    return true;
  });
  QTest::mouseClick(dialog.AddButton(), Qt::LeftButton);
  dialogs::SetBoxAnswerer({});
  EXPECT_EQ(notices, QStringList{"skipped:\n2: http://h/2"});
  EXPECT_FALSE(QDir(base + "Chapter 2").exists()) << "no folder for a skipped line";
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.AddedCount(), 2);
  ASSERT_EQ(tasks->Count(), 3);
  EXPECT_EQ((*tasks)[1]->url, "http://h/1");
  EXPECT_EQ((*tasks)[1]->folder, base + "Chapter 1/");
  EXPECT_EQ((*tasks)[2]->url, "HTTP://h/3");
  EXPECT_EQ((*tasks)[2]->folder, base + "Chapter 3/"); // three and more spaces removed
  EXPECT_EQ((*tasks)[2]->status, TASK_STOP);
  EXPECT_TRUE(QDir(base + "Chapter 3").exists());
}

TEST_F(SearchLinkDialog, TwoLinesIntoOneFolderOrOneOfAnotherTaskAreRefused) {
  ASSERT_NE(tasks->AddTask("http://h/0", Folder("base/Taken"), false), nullptr);
  DlgSearchLink dialog(*tasks);
  dialog.show();
  const QString base = Folder("base/");
  for (const QString& second : {base + "Chapter", base + "Taken/"}) {
    Paste(dialog, "http://h/1   " + base + "Chapter\nhttp://h/2   " + second);
    QTest::mouseClick(dialog.AddButton(), Qt::LeftButton);
    EXPECT_EQ(dialogs::LastBalloonTip().message, "line 2 folder in use");
    EXPECT_EQ(tasks->Count(), 1);
  }
  Paste(dialog, "http://h/1   /elsewhere/x");
  QTest::mouseClick(dialog.AddButton(), Qt::LeftButton);
  EXPECT_EQ(dialogs::LastBalloonTip().message, "line 1 outside");
}

TEST_F(SearchLinkDialog, EnterNeverClosesTheDialog) {
  DlgSearchLink dialog(*tasks);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QTest::keyClick(dialog.AddressEdit(), Qt::Key_Return);
  QTest::keyClick(dialog.FolderEdit(), Qt::Key_Enter);
  QTest::keyClick(&dialog, Qt::Key_Return);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_TRUE(launcher.calls.empty());
  EXPECT_EQ(tasks->Count(), 0);
}

TEST_F(SearchLinkDialog, SearchChecksAddressThenFolder) {
  DlgSearchLink dialog(*tasks);
  dialog.show();
  dialog.AddressEdit()->setText("list.example/all");
  QTest::mouseClick(dialog.SearchButton(), Qt::LeftButton);
  EXPECT_EQ(dialogs::LastBalloonTip().message, "search 12 not http");
  EXPECT_EQ(dialogs::LastBalloonTip().field, dialog.AddressEdit());
  for (const char* hostless : {"http://", "HTTPS://", "http:///all", "https://:80/x"}) {
    dialog.AddressEdit()->setText(hostless);
    QTest::mouseClick(dialog.SearchButton(), Qt::LeftButton);
    EXPECT_EQ(dialogs::LastBalloonTip().message, "search 14 no host") << hostless;
  }
  dialog.AddressEdit()->setText("http://list.example/all");
  dialog.FolderEdit()->setText("/");
  QTest::mouseClick(dialog.SearchButton(), Qt::LeftButton);
  EXPECT_EQ(dialogs::LastBalloonTip().message, "search 13 folder unusable");
  EXPECT_EQ(dialogs::LastBalloonTip().field, dialog.FolderEdit());
  EXPECT_TRUE(launcher.calls.empty());
  EXPECT_FALSE(dialog.IsSearching());
}

TEST_F(SearchLinkDialog, FailedLaunchLeavesTheButtonsUsableAndNoJobFile) {
  DlgSearchLink dialog(*tasks);
  dialog.show();
  dialog.AddressEdit()->setText("http://list.example/all");
  launcher.result = 0;
  QTest::mouseClick(dialog.SearchButton(), Qt::LeftButton);
  ASSERT_EQ(launcher.calls.size(), 1u);
  EXPECT_FALSE(dialog.IsSearching());
  EXPECT_FALSE(QFile::exists(launcher.calls[0].arguments.value(0)));
}

TEST_F(SearchLinkDialog, SearchHandsTheJobToAnEngineAndFollowsItsMessages) {
  DlgSearchLink dialog(*tasks);
  dialog.show();
  dialog.AddressEdit()->setText("http://list.example/all");
  launcher.result = 4242;
  QTest::mouseClick(dialog.SearchButton(), Qt::LeftButton);

  ASSERT_EQ(launcher.calls.size(), 1u);
  EXPECT_EQ(launcher.calls[0].program, sandbox.file("Gantrell"));
  const QString handOff = launcher.calls[0].arguments.value(0);
  const common::HandOff job = common::ReadHandOffFile(handOff);
  QFile::remove(handOff);
  EXPECT_EQ(job.hwnd, dialog.Handle());
  EXPECT_EQ(job.url.value_or(""), "http://list.example/all");
  EXPECT_EQ(job.folder.value_or(""), Folder("base/"));
  EXPECT_EQ(job.searchLink.value_or(""), "1");
  EXPECT_FALSE(job.id.has_value());
  EXPECT_TRUE(dialog.IsSearching());
  EXPECT_FALSE(dialog.AddButton()->isEnabled());

  RecordingWindow first, second;
  EXPECT_EQ(platform::SendMessage(dialog.Handle(), protocol::WM_APP_ENGINE_HELLO, 77,
                                  first.Handle()),
            protocol::ENGINE_HELLO_ACCEPTED);
  EXPECT_EQ(dialog.EngineWindow(), first.Handle());
  // A second engine replaces the first, which is told to quit.
  EXPECT_EQ(platform::SendMessage(dialog.Handle(), protocol::WM_APP_ENGINE_HELLO, 0,
                                  second.Handle()),
            protocol::ENGINE_HELLO_ACCEPTED);
  EXPECT_EQ(first.Count(protocol::WM_APP_ENGINE_QUIT), 1);
  EXPECT_EQ(dialog.EngineWindow(), second.Handle());

  const int balloons = dialogs::LastBalloonTip().serial;
  EXPECT_EQ(platform::SendMessage(dialog.Handle(), protocol::WM_APP_SEARCH_DONE, 0, 0),
            protocol::ENGINE_HELLO_ACCEPTED);
  EXPECT_EQ(dialog.EngineWindow(), 0);
  EXPECT_FALSE(dialog.IsSearching());
  EXPECT_TRUE(dialog.SearchButton()->isEnabled());
  EXPECT_EQ(dialogs::LastBalloonTip().serial, balloons) << "a result shown needs no word";

  // A list page that could not be loaded is named at the address, with its HTTP error if any.
  const std::pair<platform::LPARAM, QString> failures[] = {
      {404, "search 16 page failed (HTTP 404)"}, {0, "search 16 page failed"},
      {200, "search 16 page failed"}};
  for (const auto& [status, message] : failures) {
    QTest::mouseClick(dialog.SearchButton(), Qt::LeftButton);
    ASSERT_TRUE(dialog.IsSearching());
    EXPECT_EQ(platform::SendMessage(dialog.Handle(), protocol::WM_APP_SEARCH_DONE,
                                    protocol::SEARCH_DONE_PAGE_FAILED, status),
              protocol::ENGINE_HELLO_ACCEPTED);
    EXPECT_FALSE(dialog.IsSearching());
    EXPECT_EQ(dialogs::LastBalloonTip().message, message);
    EXPECT_EQ(dialogs::LastBalloonTip().field, dialog.AddressEdit());
  }
  for (const auto& call : launcher.calls) QFile::remove(call.arguments.value(0));
  dialog.reject();
  EXPECT_EQ(second.Count(protocol::WM_APP_ENGINE_QUIT), 0); // the finished engine ends itself
}

TEST_F(SearchLinkDialog, EscapeTellsAHeldEngineToQuitAndCloses) {
  RecordingWindow engine;
  DlgSearchLink dialog(*tasks);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  platform::SendMessage(dialog.Handle(), protocol::WM_APP_ENGINE_HELLO, 0, engine.Handle());
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(engine.Count(protocol::WM_APP_ENGINE_QUIT), 1);
  EXPECT_EQ(dialog.EngineWindow(), 0);
}

TEST_F(SearchLinkDialog, DestroyingTheDialogReleasesAHeldEngine) {
  RecordingWindow engine;
  {
    DlgSearchLink dialog(*tasks);
    platform::SendMessage(dialog.Handle(), protocol::WM_APP_ENGINE_HELLO, 0, engine.Handle());
  }
  EXPECT_EQ(engine.Count(protocol::WM_APP_ENGINE_QUIT), 1);
}

TEST_F(SearchLinkDialog, ChecklistTakesSpaceForTheSelectedRowsAndF2ForTheFolder) {
  CFoundLinks links;
  links.Assign({{"http://s/home", "/c/Home", "Home"},
                {"http://s/1", "/c/One", "One"},
                {"http://s/2", "/c/Two", "Two"}});
  CFoundLinkList list(links);
  list.Refresh();
  list.show();
  list.setFocus();
  list.ShowRow(0);
  QTest::keyClick(&list, Qt::Key_Space);
  EXPECT_EQ(links.CheckedRows(), (std::vector<int>{1, 2}));
  QTest::keyClick(&list, Qt::Key_Down);
  QTest::keyClick(&list, Qt::Key_Down, Qt::ShiftModifier);
  QTest::keyClick(&list, Qt::Key_Space); // both selected rows follow the current one
  EXPECT_TRUE(links.CheckedRows().empty());
  QTest::keyClick(&list, Qt::Key_F2);
  auto* editor = list.findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr) << "F2 edits the folder";
  editor->setText("/c/Second");
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();
  EXPECT_EQ(list.topLevelItem(2)->text(CFoundLinkList::kFolderColumn), "/c/Second");
  EXPECT_EQ(links.Shown(2).link.folder, "/c/Second");
  EXPECT_EQ(links.Shown(2).link.text, "Two") << "text and address stay as found";
}
