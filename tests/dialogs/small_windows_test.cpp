// The setting dialog, the drop window with its drop target, and the title control.
#include "common/protocol.h"
#include "dialog_fixture.h"
#include "gui/dlg_balloon_tip.h"
#include "gui/dlg_setting.h"
#include "core/task_event_observer.h"
#include "gui/wnd_drop_link.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QSpinBox>
#include <QPushButton>
#include <QTest>

using dialog_tests::DialogTest;
using dialog_tests::RecordingWindow;
using testing_support::WaitFor;

namespace {

class SettingDialog : public DialogTest {};
class DropWindow : public DialogTest {};

QMimeData* PlainText(const QString& text) {
  auto* data = new QMimeData;
  data->setText(text);
  return data;
}

QMimeData* UriList(const QByteArray& list) {
  auto* data = new QMimeData;
  data->setData("text/uri-list", list);
  return data;
}

/// Sends a drag-enter event with `data` to `window`; returns the action it accepted.
Qt::DropAction DragEnter(QWidget& window, const QMimeData& data) {
  QDragEnterEvent event(QPoint(2, 2), Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data,
                        Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &event);
  return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
}

} // namespace

TEST_F(SettingDialog, LimitOfOneToTenAsTheCommandLineOffersAndOkStoresIt) {
  setting.max_download = 15; // edited by hand: shown as the most the list offers
  EXPECT_EQ(DlgSetting(setting).LimitList()->currentIndex(), 9);
  setting.max_download = 7;
  setting.auto_continue = 1;
  setting.page_delay = 12;
  setting.ask_exit = 0;
  DlgSetting dialog(setting);
  dialog.show();
  ASSERT_EQ(dialog.LimitList()->count(), 10);
  EXPECT_EQ(dialog.LimitList()->itemText(0), "1 task(s)");
  EXPECT_EQ(dialog.LimitList()->itemText(9), "10 task(s)");
  EXPECT_EQ(dialog.LimitList()->currentIndex(), 6);
  EXPECT_FALSE(dialog.AskExitCheck()->isChecked());
  dialog.AskExitCheck()->setChecked(true); // "do not ask again" is undone here
  EXPECT_TRUE(dialog.AutoContinueCheck()->isChecked());
  EXPECT_FALSE(dialog.PackCbzCheck()->isChecked());
  dialog.PackCbzCheck()->setChecked(true);
  EXPECT_TRUE(dialog.NotifyDoneCheck()->isChecked()); // notices are on unless turned off
  dialog.NotifyDoneCheck()->setChecked(false);
  EXPECT_EQ(dialog.DelayBox()->value(), 12);
  dialog.DelayBox()->setValue(99); // the box stops at a minute
  EXPECT_EQ(dialog.MaxPagesBox()->value(), 1000);
  dialog.MaxPagesBox()->setValue(0); // and the page cap at one page
  QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(setting.max_download, 7);
  EXPECT_EQ(setting.ask_exit, 1);
  EXPECT_EQ(setting.auto_continue, 1);
  EXPECT_EQ(setting.pack_cbz, 1);
  EXPECT_EQ(setting.notify_done, 0);
  EXPECT_EQ(setting.page_delay, 60);
  EXPECT_EQ(setting.max_pages, 1);
}

TEST_F(SettingDialog, ProxyIsCheckedStoredAndHandedToTheEnginesStartedFromNowOn) {
  setting.network.proxy = "http://old:3128";
  DlgSetting dialog(setting);
  dialog.show();
  EXPECT_EQ(dialog.ProxyEdit()->text(), "http://old:3128");
  const int since = dialogs::LastBalloonTip().serial;
  dialog.ProxyEdit()->setText("proxy.example:3128");
  QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialogs::LastBalloonTip().field, dialog.ProxyEdit());
  EXPECT_GT(dialogs::LastBalloonTip().serial, since);
  EXPECT_EQ(setting.network.proxy, "http://old:3128");

  dialog.ProxyEdit()->setText(" socks5://me:pw@127.0.0.1:1080 ");
  QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(setting.network.proxy, "socks5://me:pw@127.0.0.1:1080");
  EXPECT_EQ(qEnvironmentVariable(common::kProxyVariable), "socks5://me:pw@127.0.0.1:1080");
  common::ApplyNetworkSetting({});
}

TEST_F(SettingDialog, CookiesFileMustBeReadableAndItsMalformedLinesAreNamedOnce) {
  testing_support::Sandbox box;
  const QString mixed = box.file("mixed.txt");
  ASSERT_TRUE(testing_support::WriteBytes(mixed, "#c\nbad\n127.0.0.1\tFALSE\t/\tFALSE\t0\tid\t1\nworse\n"));
  setting.cookies_file = "/old/cookies.txt";
  DlgSetting dialog(setting);
  EXPECT_EQ(dialog.CookiesEdit()->text(), "/old/cookies.txt");
  // A file that cannot be read, then malformed lines named once; OK again takes the file.
  for (const auto& [typed, balloon] : {std::pair{box.path(), "cookies unreadable"},
                                       std::pair{mixed, "lines 2, 4 skipped"}}) {
    dialog.CookiesEdit()->setText(typed);
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_NE(dialog.result(), QDialog::Accepted) << typed.toStdString();
    EXPECT_EQ(dialogs::LastBalloonTip().message, balloon);
    EXPECT_EQ(dialogs::LastBalloonTip().field, dialog.CookiesEdit());
    EXPECT_EQ(setting.cookies_file, "/old/cookies.txt");
  }
  QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(setting.cookies_file, mixed);
}

TEST_F(DropWindow, OnlyTextBeginningWithHttpOrHttpsInAnyCaseCanBeDropped) {
  EXPECT_EQ(CComicLinkDrop::DroppableText(std::unique_ptr<QMimeData>(PlainText("HTTP://a/1")).get()),
            "HTTP://a/1");
  EXPECT_EQ(CComicLinkDrop::DroppableText(std::unique_ptr<QMimeData>(PlainText("hTtP://a/1")).get()),
            "hTtP://a/1");
  EXPECT_EQ(CComicLinkDrop::DroppableText(std::unique_ptr<QMimeData>(PlainText("HttpS://a/1")).get()),
            "HttpS://a/1");
  EXPECT_EQ(CComicLinkDrop::DroppableText(std::unique_ptr<QMimeData>(PlainText("plain words")).get()),
            "");
  EXPECT_EQ(CComicLinkDrop::DroppableText(std::unique_ptr<QMimeData>(PlainText(" http://a")).get()),
            "");
  EXPECT_EQ(CComicLinkDrop::DroppableText(
                std::unique_ptr<QMimeData>(UriList("# comment\r\nhttp://a/2\r\nhttp://b\r\n")).get()),
            "http://a/2");
  EXPECT_EQ(CComicLinkDrop::DroppableText(
                std::unique_ptr<QMimeData>(UriList("file:///etc/passwd\r\n")).get()),
            "");
  EXPECT_EQ(CComicLinkDrop::DroppableText(nullptr), "");
}

TEST_F(DropWindow, DragIsAcceptedAsCopyForALinkAndRefusedForWords) {
  CWndDropLink window(*tasks, 0);
  const std::unique_ptr<QMimeData> link(PlainText("HTTP://comics.example/ch1"));
  const std::unique_ptr<QMimeData> words(PlainText("just some words"));
  EXPECT_EQ(DragEnter(window, *link), Qt::CopyAction);
  EXPECT_EQ(DragEnter(window, *words), Qt::IgnoreAction);
}

TEST_F(DropWindow, DropPostsTheLinkToTheMainWindow) {
  RecordingWindow mainWindow;
  CWndDropLink window(*tasks, mainWindow.Handle());
  const std::unique_ptr<QMimeData> link(PlainText("HTTP://comics.example/ch1"));
  ASSERT_EQ(DragEnter(window, *link), Qt::CopyAction); // a drop goes where the drag entered
  QDropEvent drop(QPointF(2, 2), Qt::CopyAction, link.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &drop);
  EXPECT_TRUE(drop.isAccepted());
  EXPECT_EQ(drop.dropAction(), Qt::IgnoreAction); // the source keeps its data
  ASSERT_TRUE(WaitFor([&] { return !mainWindow.links.empty(); }, 2000));
  EXPECT_EQ(mainWindow.links.front(), "HTTP://comics.example/ch1");
  EXPECT_EQ(mainWindow.Count(protocol::WM_APP_ADD_LINK), 1);

  const std::unique_ptr<QMimeData> words(PlainText("words"));
  EXPECT_EQ(DragEnter(window, *words), Qt::IgnoreAction);
  QDropEvent refused(QPointF(2, 2), Qt::CopyAction, words.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &refused);
  QTest::qWait(50);
  EXPECT_EQ(mainWindow.Count(protocol::WM_APP_ADD_LINK), 1);
}

TEST_F(DropWindow, WithoutAMainWindowNothingIsPosted) {
  const std::unique_ptr<QMimeData> link(PlainText("http://a/1"));
  EXPECT_FALSE(CComicLinkDrop(0).Drop(link.get()));
  EXPECT_FALSE(CComicLinkDrop(0x7fffff01).Drop(link.get())); // no such window
}

TEST_F(DropWindow, PictureMovesOnlyWhileATaskRuns) {
  CWndDropLink window(*tasks, 0);
  ASSERT_TRUE(window.Create());
  EXPECT_EQ(window.FrameCount(), 1);
  EXPECT_EQ(window.size(), QSize(16, 12));
  EXPECT_FALSE(window.IsTimerRunning());

  CTaskInfo* task = tasks->AddTask("http://a/1", Folder("a"), false);
  ASSERT_NE(task, nullptr);
  task->status = TASK_RUNNING;
  CTaskEventObserver::NotifyTaskChanged();
  EXPECT_TRUE(window.IsTimerRunning());
  ASSERT_TRUE(WaitFor([&] { return window.FrameCounter() >= 1; }, 3000));

  task->status = TASK_STOP;
  CTaskEventObserver::NotifyTaskChanged();
  EXPECT_FALSE(window.IsTimerRunning());
  const auto counter = window.FrameCounter();
  QTest::qWait(700);
  EXPECT_EQ(window.FrameCounter(), counter);
}

TEST_F(DropWindow, ToggleShowsNearTheTopRightWithItsBalloonThenHides) {
  CWndDropLink window(*tasks, 0);
  ASSERT_TRUE(window.Create());
  const int since = dialogs::LastBalloonTip().serial;
  EXPECT_TRUE(window.Toggle());
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.pos().y(), 100);
  EXPECT_EQ(dialogs::LastBalloonTip().serial, since + 1);
  EXPECT_EQ(dialogs::LastBalloonTip().message, "drop here");
  EXPECT_FALSE(window.Toggle());
  EXPECT_FALSE(window.isVisible());
}

TEST_F(DropWindow, WithoutADropPictureTheFeatureIsAbsent) {
  ASSERT_TRUE(QFile::remove(sandbox.file("skin/test/drop.png")));
  CWndDropLink window(*tasks, 0);
  EXPECT_FALSE(window.Create());
  EXPECT_FALSE(window.Toggle());
  EXPECT_FALSE(window.isVisible());
}
