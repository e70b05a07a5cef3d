// The task list window inside the main window, driven by real mouse and key events: selection
// with Shift and Control, Control+A, dragging rows (dead zone, above the first and below the
// last row, scrolling while the pointer is above the list), and what a row draws.
#include "main_window_fixture.h"

#include "core/task_event_observer.h"
#include "skin/panel_ctrl.h"
#include "common/skin_loader.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace mainwindow_test;
using testing_support::WaitFor;

constexpr int kRowHeight = 40; // item_height of the default skin: a name and its folder

class TaskListTest : public ::testing::Test {
protected:
  // `count` tasks titled T0, T1, ... and the window showing them.
  CWndTaskList& Open(int count) {
    for (int i = 0; i < count; ++i) rig.Add(QStringLiteral("T%1").arg(i), i, 10);
    rig.Open();
    return rig.List();
  }
  QPoint RowPoint(int row, int dy = 0) const {
    const QRect rect = rig.List().Row(row)->GetVisibleRect();
    return QPoint(rect.left() + 60, rect.center().y() + dy);
  }
  QStringList Order() const {
    QStringList titles;
    for (const auto& task : *rig.tasks) titles << task->title;
    return titles;
  }
  QList<int> Selected() const {
    QList<int> rows;
    for (int i = 0; i < rig.List().ItemCount(); ++i)
      if (rig.List().Row(i)->selected) rows << i;
    return rows;
  }
  void Press(const QPoint& at, Qt::KeyboardModifiers keys = {}) {
    QTest::mousePress(&rig.List(), Qt::LeftButton, keys, at);
  }
  void MoveTo(const QPoint& at) {
    QMouseEvent move(QEvent::MouseMove, at, rig.List().mapToGlobal(at), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&rig.List(), &move);
  }
  void Release(const QPoint& at) { QTest::mouseRelease(&rig.List(), Qt::LeftButton, {}, at); }
  // Draws row `row` alone into a picture of its own size.
  QImage DrawRow(int row) const {
    const QRect rect = rig.List().Row(row)->Rect();
    QImage image(rect.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(FCPanelCtrl::DefaultCtrlFont());
    rig.List().Row(row)->DrawListItem(painter, 0, 0, rect.width(), rect.height());
    return image;
  }

  MainWindowRig rig;
};

TEST_F(TaskListTest, RowsFollowTheTasks) {
  CWndTaskList& list = Open(3);
  ASSERT_EQ(list.ItemCount(), 3);
  EXPECT_EQ(list.Row(1)->GetVisibleRect().height(), kRowHeight) << "item_height of the skin";
  CTaskInfo* added = rig.Add("New", 0, 0);
  ASSERT_EQ(list.ItemCount(), 4);
  EXPECT_EQ(list.Row(3)->task_id, added->id);
  rig.tasks->DeleteTask((*rig.tasks)[1]);
  ASSERT_EQ(list.ItemCount(), 3);
  EXPECT_EQ(list.Row(1)->task_id, (*rig.tasks)[1]->id);
  EXPECT_EQ(list.Row(2)->GetVisibleRect().top(), 2 * kRowHeight) << "rows laid out again";
}

TEST_F(TaskListTest, OnlyAnEmptyListShowsTheHint) {
  CWndTaskList& list = Open(0);
  const auto inkInTheMiddle = [&] {
    const QImage image = list.grab().toImage();
    int ink = 0;
    for (int x = 0; x < image.width(); ++x)
      ink += image.pixel(x, image.height() / 2) != qRgb(255, 255, 255);
    return ink;
  };
  EXPECT_GT(inkInTheMiddle(), 10);
  rig.Add("One", 0, 0);
  EXPECT_EQ(inkInTheMiddle(), 0) << "the rows replace the hint";
}

TEST_F(TaskListTest, ClickControlAndShiftSelection) {
  CWndTaskList& list = Open(6);
  // Shift with nothing selected: from the first row to the clicked one.
  QTest::mouseClick(&list, Qt::LeftButton, Qt::ShiftModifier, RowPoint(2));
  EXPECT_EQ(Selected(), (QList<int>{0, 1, 2}));
  QTest::mouseClick(&list, Qt::LeftButton, Qt::ShiftModifier, RowPoint(4));
  EXPECT_EQ(Selected(), (QList<int>{2, 3, 4}));
  QTest::mouseClick(&list, Qt::LeftButton, Qt::ShiftModifier, RowPoint(3));
  EXPECT_EQ(Selected(), (QList<int>{2, 3, 4})) << "strictly between: unchanged";
  QTest::mouseClick(&list, Qt::LeftButton, Qt::ControlModifier, RowPoint(3));
  EXPECT_EQ(Selected(), (QList<int>{2, 4}));
  QTest::mouseClick(&list, Qt::LeftButton, {}, RowPoint(5));
  EXPECT_EQ(Selected(), (QList<int>{5}));
  QTest::mouseClick(&list, Qt::LeftButton, {}, QPoint(60, list.height() - 5));
  EXPECT_TRUE(Selected().isEmpty()) << "a click below the rows clears the selection";

  QTest::keyClick(&list, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(Selected(), (QList<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(list.SelectedIds().size(), 6);
}

TEST_F(TaskListTest, DraggingSelectedRowsAboveTheFirstAndBelowTheLastRow) {
  CWndTaskList& list = Open(5);
  list.SelectOnly({1, 3});
  Press(RowPoint(3));
  MoveTo(RowPoint(2));
  EXPECT_TRUE(list.IsDragging());
  MoveTo(RowPoint(0, -6)); // upper half of row 0
  EXPECT_EQ(list.DropIndex(), 0);
  Release(RowPoint(0, -6));
  EXPECT_EQ(Order(), (QStringList{"T1", "T3", "T0", "T2", "T4"}));
  EXPECT_EQ(Selected(), (QList<int>{0, 1})) << "the dropped rows stay selected";
  EXPECT_EQ(list.DropIndex(), -1);

  list.SelectOnly({0, 2});
  Press(RowPoint(0));
  MoveTo(QPoint(60, list.height() - 10)); // below the last row
  EXPECT_EQ(list.DropIndex(), 5);
  Release(QPoint(60, list.height() - 10));
  EXPECT_EQ(Order(), (QStringList{"T3", "T2", "T4", "T1", "T0"}));
  EXPECT_EQ(Selected(), (QList<int>{3, 4}));
}

TEST_F(TaskListTest, ADragInsideTheDeadZoneIsAClick) {
  CWndTaskList& list = Open(4);
  list.SelectOnly({1, 3});
  Press(RowPoint(1));
  MoveTo(RowPoint(1) + QPoint(8, 8));
  EXPECT_FALSE(list.IsDragging());
  Release(RowPoint(1) + QPoint(8, 8));
  EXPECT_EQ(Order(), (QStringList{"T0", "T1", "T2", "T3"}));
  EXPECT_EQ(Selected(), (QList<int>{1}));
}

TEST_F(TaskListTest, HoldingThePointerAboveTheListScrollsUp) {
  CWndTaskList& list = Open(40);
  list.OnVScroll(FCListWindow::SB_PAGEDOWN);
  list.OnVScroll(FCListWindow::SB_PAGEDOWN);
  const int start = list.VScrollPos();
  ASSERT_GT(start, 0);
  const QPoint press = QPoint(60, 14);
  Press(press);
  MoveTo(QPoint(60, -20));
  ASSERT_NE(list.UpTimer(), nullptr);
  EXPECT_EQ(list.DownTimer(), nullptr);
  EXPECT_TRUE(WaitFor([&] { return list.VScrollPos() < start; }, 3000));
  MoveTo(QPoint(60, 40));
  EXPECT_EQ(list.UpTimer(), nullptr) << "back inside: no timer";
  Release(QPoint(60, 40));
}

TEST_F(TaskListTest, TipHasOneLinePerDetailAndAPackedChapterNamesItsArchive) {
  Open(1);
  CTaskInfo* task = (*rig.tasks)[0];
  task->title = QStringLiteral("Comic 第2话 第1页");
  task->start_count = 3;
  const QString tip = rig.List().TipText(task->id);
  EXPECT_FALSE(tip.contains(QStringLiteral("\n\n"))) << "no blank lines";
  const QStringList lines = tip.split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 5) << qPrintable(tip);
  EXPECT_TRUE(lines[0].endsWith(QStringLiteral("Comic 第2话"))) << "the name without its page";
  EXPECT_TRUE(lines[2].endsWith(task->folder));
  EXPECT_TRUE(lines[3].contains(QStringLiteral("0 / 10")));
  EXPECT_TRUE(lines[4].contains(QStringLiteral("2"))) << "restarts: starts minus one";
  task->start_count = 1;
  EXPECT_EQ(rig.List().TipText(task->id).split(QLatin1Char('\n')).size(), 4);
  EXPECT_TRUE(rig.List().TipText(-5).isEmpty());

  task->archive = QStringLiteral("/comics/Comic 2.cbz");
  EXPECT_EQ(rig.List().TipText(task->id).split(QLatin1Char('\n'))[2],
            FCSkinLoader::LoadLanguageText(QStringLiteral("LIST"), 5) + task->archive);
}

TEST_F(TaskListTest, ProgressBarIsClampedAndAZeroTotalShowsZeroOfZero) {
  rig.Add("Over", 30, 20);
  rig.Add("Half", 10, 20);
  rig.Add("Unknown", 0, 0);
  rig.Open();
  const int width = rig.List().Row(0)->Rect().width();
  const int y = kRowHeight / 2;
  const int innerLeft = width - 200 + 6, innerRight = width - 100 - 7;
  const QImage over = DrawRow(0);
  const QImage half = DrawRow(1);
  const QImage unknown = DrawRow(2);
  const QRgb border = qRgb(100, 137, 183);
  EXPECT_EQ(over.pixel(innerLeft - 1, y), border);
  EXPECT_EQ(over.pixel(innerRight + 1, y), border);
  const QRgb done = over.pixel(innerLeft, y);
  EXPECT_EQ(over.pixel(innerRight, y), done) << "30 of 20 fills the whole bar";
  EXPECT_EQ(half.pixel(innerLeft, y), done);
  EXPECT_NE(half.pixel(innerRight, y), done) << "10 of 20 fills half";
  EXPECT_NE(unknown.pixel(innerLeft, y), done) << "no total: nothing done";

  // The count column of a zero total reads "0 / 0", drawn as a "0 / 0" text would be.
  QImage expected(unknown.size(), QImage::Format_ARGB32);
  expected.fill(Qt::white);
  {
    QPainter painter(&expected);
    painter.setFont(FCPanelCtrl::DefaultCtrlFont());
    painter.setPen(Qt::black);
    painter.drawText(QRect(width - 100, 0, 100, kRowHeight), Qt::AlignCenter | Qt::TextSingleLine,
                     QStringLiteral("0 / 0"));
  }
  const QRect column(width - 100, 0, 100, kRowHeight);
  EXPECT_EQ(unknown.copy(column), expected.copy(column));
}

TEST_F(TaskListTest, ARowWhoseTaskVanishedDrawsNothing) {
  Open(1);
  rig.List().Row(0)->task_id = -7;
  const QImage image = DrawRow(0);
  QImage blank(image.size(), image.format());
  blank.fill(Qt::white);
  EXPECT_EQ(image, blank);
}

TEST_F(TaskListTest, DoubleClickOpensTheFolderOrThePackedChapterThroughTheOpenerAndAFailureSaysWhat) {
  CWndTaskList& list = Open(2);
  QDir().mkpath((*rig.tasks)[1]->folder);
  // A double click: press and release, then the double-click event of the second press.
  QTest::mouseClick(&list, Qt::LeftButton, {}, RowPoint(1));
  QMouseEvent twice(QEvent::MouseButtonDblClick, RowPoint(1), list.mapToGlobal(RowPoint(1)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&list, &twice);
  QTest::mouseRelease(&list, Qt::LeftButton, {}, RowPoint(1));
  EXPECT_EQ(rig.opener.opened, QStringList{(*rig.tasks)[1]->folder});

  // A folder deleted meanwhile: only the notice, nothing opened.
  QStringList shown;
  CFolivexDlg::SetMessageSink([&](const QString& text) { shown << text; });
  QDir((*rig.tasks)[1]->folder).removeRecursively();
  QCoreApplication::sendEvent(&list, &twice);
  EXPECT_EQ(rig.opener.opened.size(), 1);
  EXPECT_EQ(shown, QStringList{FCSkinLoader::LoadLanguageText(QStringLiteral("LIST"), 30)});

  CTaskInfo* task = (*rig.tasks)[0];
  // Packed in an earlier run: the folder is gone, "FOLDER.cbz" beside it is the chapter.
  task->finish = task->total = 10;
  const QString archive = QDir::cleanPath(task->folder) + QStringLiteral(".cbz");
  QDir().mkpath(QFileInfo(archive).path());
  ASSERT_TRUE(testing_support::WriteBytes(archive, "PK"));
  list.SelectOnly({0});
  list.OpenFirstSelectedFolder();
  EXPECT_EQ(rig.opener.shownInFolder, QStringList{archive});
  EXPECT_EQ(rig.opener.opened.size(), 1);

  // Nothing opened the folder: the message names what was to be opened.
  QDir().mkpath((*rig.tasks)[1]->folder);
  rig.opener.failWith = -1;
  list.SelectOnly({1});
  list.OpenFirstSelectedFolder();
  ASSERT_EQ(rig.boxes.size(), 1);
  EXPECT_TRUE(rig.boxes[0].contains((*rig.tasks)[1]->folder)) << rig.boxes[0].toStdString();
  EXPECT_TRUE(rig.boxes[0].contains(QStringLiteral("could not be started")));
}

TEST_F(TaskListTest, RowMenuAndDeleteKeyActOnTheSelectionAndRemovingAsksWhenItMust) {
  CWndTaskList& list = Open(4);
  // Without an engine to start, a started task still runs until the watchdog gives it up.
  const auto command = [&](int row, int id) {
    CWndTaskList::SetMenuChooser([id](const QMenu&) { return id; });
    QTest::mouseClick(&list, Qt::RightButton, {}, RowPoint(row));
    CWndTaskList::SetMenuChooser({});
  };
  // A right click on a selected row keeps the selection: start goes to both rows.
  list.SelectOnly({0, 1});
  command(1, CFolivexDlg::kStartTasks);
  EXPECT_EQ(Selected(), (QList<int>{0, 1}));
  EXPECT_EQ((*rig.tasks)[0]->status, TASK_WAIT);
  EXPECT_EQ((*rig.tasks)[1]->status, TASK_WAIT);
  ASSERT_TRUE(WaitFor([&] { return rig.tasks->CountTasks(TASK_RUNNING) == 1; }, 5000));
  command(3, CWndTaskList::kMenuCopyAddress); // on another row: that row alone
  EXPECT_EQ(Selected(), QList<int>{3});
  EXPECT_EQ(QGuiApplication::clipboard()->text(), (*rig.tasks)[3]->url);

  // Removing a running task asks once; "No" keeps everything.
  list.SelectOnly({0, 1, 2});
  rig.boxAnswer = false;
  command(0, CFolivexDlg::kDeleteTasks);
  ASSERT_EQ(rig.boxes.size(), 1);
  EXPECT_TRUE(rig.boxes[0].startsWith(QStringLiteral("1 of these tasks are downloading")))
      << rig.boxes[0].toStdString();
  EXPECT_EQ(rig.tasks->Count(), 4);
  rig.boxAnswer = true;
  command(0, CFolivexDlg::kDeleteTasks);
  EXPECT_EQ(rig.boxes.size(), 2);
  EXPECT_EQ(Order(), QStringList{"T3"});
  EXPECT_EQ(rig.tasks->CountTasks(TASK_RUNNING), 0);

  // The trash button removes stopped tasks without a question; the Delete key always asks.
  rig.Add("T4", 0, 10);
  list.SelectOnly({0});
  rig.window->OnCommand(CFolivexDlg::kDeleteTasks);
  EXPECT_EQ(rig.boxes.size(), 2);
  EXPECT_EQ(Order(), QStringList{"T4"});
  list.SelectOnly({0});
  rig.boxAnswer = false;
  QTest::keyClick(&list, Qt::Key_Delete);
  ASSERT_EQ(rig.boxes.size(), 3);
  EXPECT_TRUE(rig.boxes[2].startsWith(QStringLiteral("Remove the 1 selected tasks")));
  EXPECT_EQ(rig.tasks->Count(), 1);
  rig.boxAnswer = true;
  QTest::keyClick(&list, Qt::Key_Delete);
  EXPECT_EQ(rig.tasks->Count(), 0);
}

} // namespace
