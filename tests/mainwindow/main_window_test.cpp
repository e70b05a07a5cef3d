// The main window with the shipped default skin: hiding to the tray and coming back, the exit
// sequence and its stored position, "auto_continue", commands on the selected rows, the tray
// tip, the menus, and an engine's report arriving through the window's message endpoint.
#include "main_window_fixture.h"

#include "common/command_file.h"
#include "common/engine_report.h"
#include "common/ini_rules.h"
#include "common/program_folder.h"
#include "common/protocol.h"
#include "gui/dlg_add_task.h"
#include "gui/site_address.h"
#include "core/task_event_observer.h"
#include "gui/wnd_comic_link_drop.h"
#include "gui/wnd_drop_link.h"
#include "skin/button_base.h"
#include "skin/panel_ctrl.h"
#include "common/skin_loader.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QTimer>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace mainwindow_test;
using testing_support::WaitFor;

QString TrayText(int key) { return FCSkinLoader::LoadLanguageText(QStringLiteral("TRAY"), key); }

void Click(int ctrlId) {
  QWidget* button = FindPanelCtrlWindow(ctrlId);
  ASSERT_NE(button, nullptr) << "skin control " << ctrlId;
  QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

class MainWindowTest : public ::testing::Test {
protected:
  MainWindowRig rig;
};

TEST_F(MainWindowTest, SkinBuildsEveryControlTheWindowUses) {
  CFolivexDlg& window = rig.Open();
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Folivex 1.0"));
  ASSERT_NE(window.TaskList(), nullptr);
  for (int id : {2500, 2501, 2502, 2503, 2508, 2510, 2511, 2600, 2601, 2602, 3000, 3001, 3002})
    EXPECT_NE(FindPanelCtrlWindow(id), nullptr) << id;
  EXPECT_TRUE(window.IsIconShown());
  EXPECT_TRUE(window.DropWindow() && window.DropWindow()->IsCreated()) << "the skin's drop picture";
  // The title band follows the window: the close button keeps its distance to the right edge.
  QWidget* close = FindPanelCtrlWindow(2600);
  const int gap = window.width() - close->mapTo(&window, QPoint(0, 0)).x();
  window.resize(window.width() + 120, window.height() + 40);
  EXPECT_EQ(window.width() - close->mapTo(&window, QPoint(0, 0)).x(), gap);
}

TEST_F(MainWindowTest, EscapeMinimiseAndHideCommandHideToTrayAndATrayClickBringsItBack) {
  CFolivexDlg& window = rig.Open();
  QTest::keyClick(&window, Qt::Key_Escape);
  ASSERT_TRUE(WaitFor([&] { return !window.isVisible(); }, 3000)) << "Escape";
  window.OnTrayLButtonDown();
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(window.isMinimized());

  window.showMinimized();
  ASSERT_TRUE(WaitFor([&] { return !window.isVisible(); }, 3000)) << "minimise box";
  window.OnTrayLButtonDown();
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(window.isMinimized());

  Click(2601);
  EXPECT_FALSE(window.isVisible()) << "button 2601";
  window.OnTrayLButtonDown();
  EXPECT_TRUE(window.isVisible());
  // A click on the icon of a shown window hides it; a click on a notice brings it back, and
  // so does the tray menu's first item.
  window.OnTrayLButtonDown();
  EXPECT_FALSE(window.isVisible()) << "the tray click toggles";
  window.OnTrayMessageClicked();
  EXPECT_TRUE(window.isVisible());
  window.OnTrayLButtonDown();
  QStringList trayItems;
  CFolivexDlg::SetMenuChooser([&](const QMenu& menu) {
    for (QAction* action : menu.actions()) trayItems << action->text();
    return int(CFolivexDlg::kShowWindow);
  });
  window.OnTrayRButtonUp();
  CFolivexDlg::SetMenuChooser({});
  ASSERT_FALSE(trayItems.isEmpty());
  EXPECT_EQ(trayItems[0], TrayText(7));
  EXPECT_TRUE(WaitFor([&] { return window.isVisible(); }, 3000)) << "Show";

  QTest::keyClick(&window, Qt::Key_Return);
  QCoreApplication::processEvents();
  EXPECT_TRUE(window.isVisible()) << "Enter does nothing";
}

TEST_F(MainWindowTest, WithoutATrayTheHideCommandOnlyMinimises) {
  CFolivexDlg& window = rig.Open();
  window.SetTrayAvailability([] { return false; });
  window.OnCommand(CFolivexDlg::kHideToTray);
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(window.isMinimized());
}

TEST_F(MainWindowTest, ExitWhileHiddenKeepsTheLastVisiblePosition) {
  rig.setting.x = 40;
  rig.setting.y = 30;
  rig.setting.width = 500;
  rig.setting.height = 340;
  rig.setting.placed = true; // a place a window stored before
  rig.WriteSettings();
  CFolivexDlg& window = rig.Open();
  EXPECT_EQ(window.geometry(), QRect(40, 30, 500, 340)) << "stored geometry overrides the skin";
  window.setGeometry(150, 120, 520, 360);
  window.OnCommand(CFolivexDlg::kHideToTray);
  ASSERT_FALSE(window.isVisible());

  // The tray menu's exit item, chosen while the window is hidden.
  CFolivexDlg::SetMenuChooser([](const QMenu&) { return int(CFolivexDlg::kExit); });
  window.OnTrayRButtonUp();
  ASSERT_TRUE(WaitFor([&] { return window.HasExited(); }, 3000));
  EXPECT_EQ(rig.exits, 1);
  EXPECT_FALSE(platform::IsWindow(window.Handle())) << "engines can no longer reach the window";

  CSetting stored;
  stored.Read(CSetting::DefaultFile(), QSize(4000, 3000));
  EXPECT_EQ(QRect(stored.x, stored.y, stored.width, stored.height), QRect(150, 120, 520, 360));
}

TEST_F(MainWindowTest, ExitWhileDownloadingAsksUnlessTheUserSaidNotTo) {
  CTaskInfo* task = rig.Add("Running", 2, 9);
  CFolivexDlg& window = rig.Open();
  task->status = TASK_RUNNING;
  rig.boxAnswer = false;
  Click(2600);
  ASSERT_EQ(rig.boxes.size(), 1);
  EXPECT_TRUE(rig.boxes[0].startsWith(QStringLiteral("1 downloads are running"))) << rig.boxes[0].toStdString();
  EXPECT_FALSE(window.HasExited());
  window.close(); // the window system's close asks the same
  EXPECT_EQ(rig.boxes.size(), 2);
  EXPECT_FALSE(window.HasExited());
  rig.setting.ask_exit = 0; // "do not ask again" was ticked once
  Click(2600);
  EXPECT_EQ(rig.boxes.size(), 2);
  EXPECT_TRUE(window.HasExited());
}

TEST_F(MainWindowTest, MaximiseButtonShowsTheStateAndTheTitleDoubleClickToggles) {
  CFolivexDlg& window = rig.Open();
  auto* button = qobject_cast<FCButtonBase*>(FindPanelCtrlWindow(CFolivexDlg::kMaximize));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->GetCheck(), 0);
  Click(2602);
  ASSERT_TRUE(WaitFor([&] { return window.isMaximized(); }, 3000));
  EXPECT_EQ(button->GetCheck(), 1) << "the restore face";
  // Two presses on the title band: the second one comes as a double click.
  const QPoint title(40, 22);
  QTest::mouseDClick(&window, Qt::LeftButton, {}, title);
  ASSERT_TRUE(WaitFor([&] { return !window.isMaximized(); }, 3000));
  EXPECT_EQ(button->GetCheck(), 0);
}

TEST_F(MainWindowTest, ExitStopsAndSavesEveryTask) {
  CTaskInfo* task = rig.Add("Kept", 4, 9);
  task->status = TASK_WAIT;
  CFolivexDlg& window = rig.Open();
  window.setGeometry(60, 70, 480, 300);
  Click(2600);
  ASSERT_TRUE(window.HasExited());
  EXPECT_EQ(task->status, TASK_STOP);
  CTaskInfo reloaded;
  CTaskStore::LoadTaskFile(reloaded, task->ini);
  EXPECT_EQ(reloaded.title, QStringLiteral("Kept"));
  EXPECT_EQ(reloaded.finish, 4);
  CSetting stored;
  stored.Read(CSetting::DefaultFile(), QSize(4000, 3000));
  EXPECT_EQ(QRect(stored.x, stored.y, stored.width, stored.height), QRect(60, 70, 480, 300));
}

TEST_F(MainWindowTest, AutoContinueQueuesTheUnfinishedTaskOnly) {
  CTaskInfo* finished = rig.Add("Done", 12, 12);
  CTaskInfo* unfinished = rig.Add("Half", 5, 12);
  rig.setting.auto_continue = 1;
  rig.Open();
  EXPECT_EQ(finished->status, TASK_STOP);
  EXPECT_NE(unfinished->status, TASK_STOP);
}

TEST_F(MainWindowTest, StartOnThreeSelectedRowsQueuesTheTwoUnfinished) {
  CTaskInfo* a = rig.Add("A", 0, 0);
  CTaskInfo* done = rig.Add("B", 8, 8);
  CTaskInfo* c = rig.Add("C", 2, 9);
  rig.setting.max_download = 0; // nothing starts: the queue stays visible
  rig.Open();
  rig.List().SelectOnly({0, 1, 2});
  Click(2501);
  EXPECT_EQ(a->status, TASK_WAIT);
  EXPECT_EQ(done->status, TASK_STOP);
  EXPECT_EQ(c->status, TASK_WAIT);

  rig.List().SelectOnly({2});
  Click(2502);
  EXPECT_EQ(c->status, TASK_STOP);
  EXPECT_EQ(a->status, TASK_WAIT) << "stop acts on the selected rows only";

  rig.List().SelectOnly({0, 1});
  Click(2503);
  ASSERT_EQ(rig.tasks->Count(), 1);
  EXPECT_EQ(rig.List().ItemCount(), 1);
  EXPECT_EQ((*rig.tasks)[0]->title, QStringLiteral("C"));
}

TEST_F(MainWindowTest, TrayTipListsTheRunningTasksAfterABlankLine) {
  CTaskInfo* a = rig.Add("Alpha", 3, 10);
  rig.Add("Idle", 0, 4);
  CTaskInfo* b = rig.Add("", 0, 0);
  CFolivexDlg& window = rig.Open();
  EXPECT_EQ(window.Tip(), QStringLiteral("Folivex"));
  a->status = TASK_RUNNING;
  b->status = TASK_RUNNING;
  CTaskEventObserver::NotifyTaskChanged();
  const QString label = TrayText(3);
  EXPECT_EQ(window.Tip(), "Folivex\n\n" + label + "Alpha ( 3 / 10 ) \n" + label + b->url +
                              " ( 0 / 0 ) ");
}

TEST_F(MainWindowTest, CheckButtonsFollowTheirCommands) {
  CFolivexDlg& window = rig.Open();
  auto* powerOff = qobject_cast<FCButtonBase*>(FindPanelCtrlWindow(2510));
  ASSERT_NE(powerOff, nullptr);
  EXPECT_FALSE(window.IsShutdownWhenDoneChecked());
  Click(2510);
  EXPECT_EQ(powerOff->GetCheck(), 1);
  EXPECT_TRUE(window.IsShutdownWhenDoneChecked());
  Click(2510);
  EXPECT_FALSE(window.IsShutdownWhenDoneChecked());

  auto* drop = qobject_cast<FCButtonBase*>(FindPanelCtrlWindow(2508));
  Click(2508);
  EXPECT_TRUE(window.DropWindow()->isVisible());
  EXPECT_EQ(drop->GetCheck(), 1);
  Click(2508);
  EXPECT_FALSE(window.DropWindow()->isVisible());
  EXPECT_EQ(drop->GetCheck(), 0);
}

TEST_F(MainWindowTest, ListMenuReversesAndClearsFinishedTasks) {
  rig.Add("One", 3, 3);
  rig.Add("Two", 0, 5);
  rig.Add("Three", 1, 5);
  CFolivexDlg& window = rig.Open();
  CFolivexDlg::SetMenuChooser([](const QMenu&) { return int(CFolivexDlg::kListReverse); });
  window.OnCommand(CFolivexDlg::kListMenu);
  EXPECT_EQ((*rig.tasks)[0]->title, QStringLiteral("Three"));
  EXPECT_EQ(rig.List().Row(0)->task_id, (*rig.tasks)[0]->id);

  CFolivexDlg::SetMenuChooser([](const QMenu&) { return int(CFolivexDlg::kListRemoveFinished); });
  window.OnCommand(CFolivexDlg::kListMenu);
  EXPECT_EQ(rig.tasks->Count(), 2);
  EXPECT_EQ(rig.List().ItemCount(), 2);
}

TEST_F(MainWindowTest, ChoosingTheCurrentLanguageStillShowsTheNoticeAndRewritesIt) {
  CFolivexDlg& window = rig.Open();
  const QList<std::int32_t> languages = FCSkinLoader::ListLanguages();
  const int current = languages.indexOf(FCSkinLoader::GetCurrentLanguage());
  ASSERT_GE(current, 0);
  QStringList shown;
  CFolivexDlg::SetMessageSink([&](const QString& text) { shown << text; });
  QStringList items;
  CFolivexDlg::SetMenuChooser([&](const QMenu& menu) {
    for (QAction* action : menu.actions())
      if (action->menu())
        for (QAction* language : action->menu()->actions())
          items << language->text() + (language->isChecked() ? "*" : "");
    return CFolivexDlg::kFirstLanguage + current;
  });
  const QString file = common::ProgramFolder() + "language/current.ini";
  QFile::remove(file);
  window.OnCommand(CFolivexDlg::kMainMenu);
  EXPECT_EQ(items.size(), languages.size());
  EXPECT_TRUE(items.contains(FCSkinLoader::GetLanguageName(languages[current]) + "*"));
  EXPECT_EQ(shown, QStringList{FCSkinLoader::LoadLanguageText("app", "50")});
  EXPECT_TRUE(QFileInfo::exists(file));
}

// Closes the next modal dialog once it is up and reports what it was.
QString CloseNextModal() {
  QString seen;
  WaitFor([&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return false;
    if (auto* add = qobject_cast<DlgAddTask*>(modal)) seen = "add:" + add->AddressEdit()->text();
    else seen = modal->metaObject()->className();
    static_cast<QDialog*>(modal)->reject();
    return true;
  }, 5000);
  return seen;
}

TEST_F(MainWindowTest, DroppedLinkAndCommandsOpenTheirDialogs) {
  CFolivexDlg& window = rig.Open();
  QString seen;
  QTimer::singleShot(0, [&] { seen = CloseNextModal(); });
  platform::SendMessage(window.Handle(), protocol::WM_APP_ADD_LINK,
                        CComicLinkDrop::LinkMessageParam("http://127.0.0.1/c/1.html"), 0);
  EXPECT_EQ(seen, QStringLiteral("add:http://127.0.0.1/c/1.html"));

  // Any process can send this message: a value that is no link of ours is never followed.
  QString onStack = QStringLiteral("http://127.0.0.1/c/2.html");
  const platform::WPARAM stackAddress = platform::WPARAM(std::intptr_t(&onStack));
  for (platform::WPARAM foreign : {platform::WPARAM(0x10), stackAddress})
    platform::SendMessage(window.Handle(), protocol::WM_APP_ADD_LINK, foreign, 0);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_EQ(onStack, QStringLiteral("http://127.0.0.1/c/2.html"));

  for (int id : {2500, 3000, 3001}) {
    seen.clear();
    QTimer::singleShot(0, [&] { seen = CloseNextModal(); });
    Click(id);
    EXPECT_FALSE(seen.isEmpty()) << id;
  }
  EXPECT_EQ(rig.tasks->Count(), 0) << "cancelled dialogs add nothing";
}

TEST_F(MainWindowTest, SitePagesOpenThroughTheOpenerOnlyAndAFailureSaysWhat) {
  CFolivexDlg& window = rig.Open();
  CFolivexDlg::OpenInBrowser(&window, QStringLiteral("http://127.0.0.1/x.html"));
  CFolivexDlg::OpenInBrowser(&window, QString());
  window.OnCommand(CFolivexDlg::kHelpPage); // no site configured: nothing to open
  EXPECT_EQ(rig.opener.opened, QStringList{QStringLiteral("http://127.0.0.1/x.html")});
  EXPECT_TRUE(rig.boxes.isEmpty());
  // No browser for the address: the user hears which address, and why.
  rig.opener.failWith = 3;
  CFolivexDlg::OpenInBrowser(&window, QStringLiteral("http://127.0.0.1/y.html"));
  ASSERT_EQ(rig.boxes.size(), 1);
  EXPECT_TRUE(rig.boxes[0].contains(QStringLiteral("http://127.0.0.1/y.html"))) << rig.boxes[0].toStdString();
  EXPECT_TRUE(rig.boxes[0].contains(QStringLiteral("xdg-open found no program"))) << rig.boxes[0].toStdString();
  rig.opener.failWith = 0;

  // The main menu's Help item is usable only with a site to open.
  QList<bool> helpEnabled;
  CFolivexDlg::SetMenuChooser([&](const QMenu& menu) {
    for (QAction* action : menu.actions())
      if (action->data().toInt() == CFolivexDlg::kHelpPage) helpEnabled << action->isEnabled();
    return 0;
  });
  window.OnCommand(CFolivexDlg::kMainMenu);
  common::WriteProfileString(dialogs::SiteFile(), "host", "127.0.0.1:9");
  window.OnCommand(CFolivexDlg::kMainMenu);
  CFolivexDlg::SetMenuChooser({});
  EXPECT_EQ(helpEnabled, (QList<bool>{false, true}));
}

TEST_F(MainWindowTest, OnlyTheBareSurfaceAndTheTitleBandMoveTheWindow) {
  CFolivexDlg& window = rig.Open();
  window.resize(600, 400);
  // The hit test is protected: reach it through a member pointer taken inside a subclass,
  // without pretending that the window is an object of that subclass.
  struct Probe : CFolivexDlg {
    static int HitTest(CFolivexDlg& w, const QPoint& pos) { return (w.*(&Probe::OnHitTest))(pos); }
  };
  struct {
    CFolivexDlg& w;
    int OnHitTest(const QPoint& pos) const { return Probe::HitTest(w, pos); }
  } probe{window};
  const auto at = [&](int ctrlId, QPoint inside) {
    return probe.OnHitTest(FindPanelCtrlWindow(ctrlId)->mapTo(&window, inside));
  };
  EXPECT_EQ(probe.OnHitTest(QPoint(2, 2)), HTTOPLEFT);
  EXPECT_EQ(probe.OnHitTest(QPoint(595, 395)), HTBOTTOMRIGHT);
  EXPECT_EQ(probe.OnHitTest(QPoint(599, 200)), HTRIGHT);
  EXPECT_EQ(probe.OnHitTest(QPoint(300, 1)), HTTOP);
  EXPECT_EQ(probe.OnHitTest(QPoint(300, 105)), HTCAPTION) << "between toolbar and list frame";

  // The title band: over the title text (its left end too) and over the band beside it.
  QWidget* band = FindPanelCtrlWindow(2511)->parentWidget();
  EXPECT_EQ(probe.OnHitTest(band->mapTo(&window, QPoint(20, 20))), HTCAPTION);
  EXPECT_EQ(probe.OnHitTest(band->mapTo(&window, QPoint(band->width() - 160, 40))), HTCAPTION);
  EXPECT_EQ(at(2511, {10, 10}), HTCLIENT) << "the menu button keeps its press";

  EXPECT_EQ(at(CFolivexDlg::kTaskListId, {200, 100}), HTCLIENT) << "the empty list area";
  EXPECT_EQ(at(2500, {5, 5}), HTCLIENT);
  QWidget* toolbar = FindPanelCtrlWindow(2500)->parentWidget();
  EXPECT_EQ(probe.OnHitTest(toolbar->mapTo(&window, QPoint(toolbar->width() - 30, 20))), HTCLIENT)
      << "the toolbar background";
  EXPECT_EQ(at(2508, {3, 3}), HTCLIENT);

  // A press on the list (a row or its empty area) stays there instead of travelling on.
  rig.tasks->AddTask(QStringLiteral("http://127.0.0.1/a"), QStringLiteral("/tmp/a/"), false);
  CWndTaskList& list = rig.List();
  for (const QPoint point : {QPoint(100, 5), QPoint(100, list.height() - 5)}) {
    QMouseEvent press(QEvent::MouseButtonPress, point, list.mapToGlobal(point), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&list, &press);
    EXPECT_TRUE(press.isAccepted()) << point.y();
    QMouseEvent release(QEvent::MouseButtonRelease, point, list.mapToGlobal(point),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&list, &release);
  }
}

// A real engine process (the fake engine) says hello and reports through the window's
// message endpoint: title and total, then every page, until the task is finished.
TEST(MainWindowEngineTest, EngineReportsReachTheTaskThroughTheWindow) {
  MainWindowRig rig(QStringLiteral(FAKE_ENGINE_PATH));
  rig.launcher.SetDefaultScript(QStringLiteral("info:3,saveall"));
  CTaskInfo* task = rig.Add("", 0, 0);
  CFolivexDlg& window = rig.Open();
  rig.List().SelectOnly({0});
  window.OnCommand(CFolivexDlg::kStartTasks);
  ASSERT_TRUE(WaitFor([&] { return task->IsFinished(); }, 30000));
  EXPECT_EQ(task->total, 3);
  EXPECT_FALSE(task->title.isEmpty());
  EXPECT_EQ(task->status, TASK_STOP);
  EXPECT_TRUE(WaitFor([&] { return rig.launcher.AllEnded(); }, 10000)) << "told to quit";
  EXPECT_EQ(window.Tip(), QStringLiteral("Folivex"));
}

TEST(MainWindowEngineTest, ACommandFileSentToTheWindowIsReadAndDeleted) {
  MainWindowRig rig;
  CTaskInfo* task = rig.Add("", 0, 0);
  CFolivexDlg& window = rig.Open();
  rig.tasks->StartTask(task->id);
  ASSERT_EQ(task->status, TASK_RUNNING);
  const QString path = common::CommandFilePath(task->id, 1);
  ASSERT_TRUE(common::WriteCommandFile(
      path, common::ReportItems(common::PageInfoReport{task->id, "Sky Pirates", 40})));
  platform::SendMessage(window.Handle(), protocol::WM_APP_ENGINE_COMMAND, task->id, 1);
  EXPECT_FALSE(QFileInfo::exists(path));
  EXPECT_EQ(task->title, QStringLiteral("Sky Pirates"));
  EXPECT_EQ(task->total, 40);
  EXPECT_TRUE(window.Tip().contains(QStringLiteral("Sky Pirates ( 0 / 40 ) ")));
}

} // namespace
