// The list window as a real widget: layout and scroll bar, scrolling rules, painting of
// visible items, hidden items, hover and tooltips.
#include "skin/list_window.h"
#include "test_support.h"

#include <QApplication>
#include <QPainter>
#include <QRegularExpression>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using testing_support::WaitFor;

namespace {

struct Log {
  QStringList events;
};

class Item : public FCListItem_Base {
public:
  Item(Log& log, int n) : log_(log), n_(n) {}
  void OnItemMouseEnter() override { log_.events << QString("enter %1").arg(n_); }
  void OnItemMouseLeave() override { log_.events << QString("leave %1").arg(n_); }
  void OnItemHidden() override { log_.events << QString("hidden %1").arg(n_); }
  void DrawListItem(QPainter& painter, int l, int t, int r, int b) override {
    log_.events << QString("draw %1").arg(n_);
    painter.fillRect(QRect(l, t, r - l, b - t), QColor(n_ * 10, 0, 0));
  }

private:
  Log& log_;
  int n_;
};

class ListTest : public ::testing::Test {
protected:
  void SetUp() override {
    host_.resize(300, 200);
    list_ = new FCListWindow(&host_);
    list_->setGeometry(0, 0, 200, 100);
    list_->SetLayout(new FCLayout_FixLineCount(1, 20));
    host_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host_));
  }
  void Fill(int count, bool tips = false) {
    for (int i = 0; i < count; ++i) {
      auto* item = new Item(log_, i);
      if (tips) item->tooltip = QString("item %1").arg(i);
      list_->AddItem(item);
    }
    list_->Relayout();
  }
  Log log_;
  QWidget host_;
  FCListWindow* list_;
};

TEST_F(ListTest, NoItemsNoScrollBar) {
  list_->Relayout();
  EXPECT_FALSE(list_->HasVScroll());
  EXPECT_EQ(list_->VScrollPos(), 0);
}

TEST_F(ListTest, ExactFitKeepsFullWidthAndNoBar) {
  Fill(5); // 5 x 20 = 100 = client height
  EXPECT_FALSE(list_->HasVScroll());
  EXPECT_EQ(list_->Item(4)->Rect(), QRect(0, 80, 200, 20));
}

TEST_F(ListTest, OneLineTooManyAddsTheBarAndNarrowsTheItems) {
  Fill(6);
  ASSERT_TRUE(list_->HasVScroll());
  const int bar = list_->ScrollBarExtent();
  EXPECT_GT(bar, 0);
  EXPECT_EQ(list_->Item(0)->right, 200 - bar);
  const auto info = list_->VScrollInfo();
  EXPECT_EQ(info.min, 0);
  EXPECT_EQ(info.max, 119);
  EXPECT_EQ(info.page, 100);
  // Removing an item makes it fit again: the bar goes and the width comes back.
  list_->RemoveItem(5);
  list_->RemoveItem(99); // out of range: nothing
  list_->Relayout();
  EXPECT_FALSE(list_->HasVScroll());
  EXPECT_EQ(list_->Item(0)->right, 200);
  EXPECT_EQ(list_->ItemCount(), 5);
}

TEST_F(ListTest, GridLayoutDividesTheWidth) {
  list_->SetLayout(new FCLayout_FixLineCount(3, 30));
  Fill(4);
  EXPECT_FALSE(list_->HasVScroll());
  EXPECT_EQ(list_->Item(1)->Rect(), QRect(66, 0, 66, 30));
  EXPECT_EQ(list_->Item(3)->Rect(), QRect(0, 30, 66, 30));
}

TEST_F(ListTest, HugeLineHeightFromASkinStaysInRange) {
  // Rows of 2,000,000,000 pixels would overflow the second row's rectangle.
  list_->SetLayout(new FCLayout_FixLineCount(1, 2000000000));
  Fill(3);
  const int line = FCLayout_FixLineCount::kMaxLineHeight;
  EXPECT_EQ(list_->Item(2)->Rect(), QRect(0, 2 * line, list_->Item(2)->right, line));
  EXPECT_EQ(list_->VScrollInfo().max, 3 * line - 1);
}

TEST_F(ListTest, LinesAreFivePixelsAndPagesOneItemHeight) {
  Fill(20); // content 400, page 100: positions 0..301
  list_->OnVScroll(FCListWindow::SB_LINEDOWN);
  EXPECT_EQ(list_->VScrollPos(), 5);
  list_->OnVScroll(FCListWindow::SB_PAGEDOWN);
  EXPECT_EQ(list_->VScrollPos(), 25);
  list_->OnVScroll(FCListWindow::SB_PAGEUP);
  list_->OnVScroll(FCListWindow::SB_LINEUP);
  list_->OnVScroll(FCListWindow::SB_LINEUP);
  EXPECT_EQ(list_->VScrollPos(), 0);
  list_->OnVScroll(FCListWindow::SB_THUMBTRACK, 1000);
  EXPECT_EQ(list_->VScrollPos(), 300); // the bar keeps max - page + 1 (399 - 100 + 1)
  list_->OnVScroll(FCListWindow::SB_THUMBPOSITION, 40);
  EXPECT_EQ(list_->VScrollPos(), 40);
  list_->OnVScroll(99);
  EXPECT_EQ(list_->VScrollPos(), 40);
  EXPECT_EQ(list_->Item(2)->GetVisibleRect().top(), 0);
}

TEST_F(ListTest, WheelScrollsOneItemPerNotch) {
  Fill(20);
  QWheelEvent down(QPointF(10, 10), list_->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -120),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(list_, &down);
  ASSERT_TRUE(WaitFor([&] { return list_->VScrollPos() == 20; }, 2000));
  QWheelEvent up(QPointF(10, 10), list_->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, 120),
                 Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(list_, &up);
  ASSERT_TRUE(WaitFor([&] { return list_->VScrollPos() == 0; }, 2000));
}

TEST_F(ListTest, ScrollingWithoutItemsOrBarIsIgnored) {
  list_->OnVScroll(FCListWindow::SB_PAGEDOWN);
  EXPECT_EQ(list_->VScrollPos(), 0);
  Fill(2);
  list_->OnVScroll(FCListWindow::SB_PAGEDOWN);
  EXPECT_EQ(list_->VScrollPos(), 0);
}

TEST_F(ListTest, PaintDrawsOnlyItemsMeetingThePaintRectAndReportsHiddenOnes) {
  Fill(20);
  list_->OnVScroll(FCListWindow::SB_THUMBPOSITION, 200); // items 10..14 visible
  QCoreApplication::processEvents(); // the full repaint the scroll asked for
  log_.events.clear();
  list_->repaint(QRect(0, 0, 50, 30)); // items 10 and 11
  EXPECT_TRUE(log_.events.contains("draw 10"));
  EXPECT_TRUE(log_.events.contains("draw 11"));
  EXPECT_FALSE(log_.events.contains("draw 12"));
  EXPECT_TRUE(log_.events.contains("hidden 0"));
  EXPECT_TRUE(log_.events.contains("hidden 19"));
  EXPECT_FALSE(log_.events.contains("hidden 12"));
  const QImage shot = list_->grab().toImage();
  EXPECT_EQ(qRed(shot.pixel(10, 5)), 100); // item 10 at the top
}

TEST_F(ListTest, HoverFollowsTheMouseAndLeavingTheWindowLeavesTheItem) {
  Fill(3);
  QTest::mouseMove(&host_, QPoint(299, 0)); // never a repeat of the last position
  QTest::mouseMove(list_, QPoint(10, 5));
  QTest::mouseMove(list_, QPoint(10, 25));
  EXPECT_EQ(log_.events.filter(QRegularExpression("enter|leave")),
            QStringList({"enter 0", "leave 0", "enter 1"}));
  EXPECT_EQ(list_->Item(1)->hovered, 1);
  QTest::mouseMove(&host_, QPoint(250, 150));
  EXPECT_TRUE(WaitFor([&] { return log_.events.contains("leave 1"); }, 2000));
  EXPECT_EQ(list_->Item(1)->hovered, 0);
  EXPECT_FALSE(list_->IsHovering());
}

TEST_F(ListTest, TooltipsFollowVisibleItems) {
  Fill(20, true);
  ASSERT_NE(list_->ToolTip(), nullptr);
  EXPECT_EQ(list_->ToolTip()->ToolCount(), 20);
  list_->OnVScroll(FCListWindow::SB_THUMBPOSITION, 40);
  EXPECT_EQ(list_->ToolTip()->ToolRect(102), QRect(0, 0, 200 - list_->ScrollBarExtent(), 20));
  EXPECT_EQ(list_->ToolTip()->ToolText(103), "item 3");
  QTest::mouseMove(&host_, QPoint(299, 0));
  QTest::mouseMove(list_, QPoint(10, 25)); // item 3
  ASSERT_TRUE(WaitFor([&] { return list_->ToolTip()->VisibleTip() != nullptr; }, 3000));
}

} // namespace
