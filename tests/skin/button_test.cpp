// Skin buttons as real widgets: state faces, check state, hover, tooltips and the fade.
#include "skin/button_3image.h"
#include "skin/button_animation.h"
#include "skin/button_check.h"
#include "skin_test_util.h"
#include "test_support.h"

#include <QDomDocument>
#include <QLabel>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using skin_test::At;
using testing_support::Sandbox;
using testing_support::WaitFor;

namespace {

class ButtonTest : public ::testing::Test {
protected:
  void SetUp() override {
    // States: normal red, hover green, pressed blue; 10 x 10 each.
    skin_test::WriteBlocks(box_.path(), "states.png", 3, 1, {10, 10},
                           {Qt::red, Qt::green, Qt::blue});
    skin_test::WriteSolid(box_.path(), "mark.png", {4, 4}, Qt::yellow);
    skin_test::WriteSolid(box_.path(), "wide.png", {100, 10}, Qt::white);
    window_.resize(200, 100);
  }
  QDomElement Element(const QString& xml) {
    doc_.setContent(xml);
    return doc_.documentElement();
  }
  template <class Button>
  Button* Make(const QString& xml, QRect rect = QRect(10, 10, 40, 20)) {
    auto* button = new Button(&window_);
    button->Load(Element(xml), box_.path() + "/");
    button->setGeometry(rect);
    button->show();
    return button;
  }
  void Show() {
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    // Start with the mouse away from every button (it stays where the last test left it).
    // Two moves, so at least one is not a repeat of the last position (repeats are dropped).
    QTest::mouseMove(&window_, QPoint(150, 90));
    QTest::mouseMove(&window_, QPoint(151, 91));
    QCoreApplication::processEvents();
  }
  /// Moves the mouse onto the button (from a corner of the window, so the move is never a
  /// repeat of the last position) and waits until the button sees it.
  void Hover(FCButtonBase* button) {
    QTest::mouseMove(&window_, QPoint(199, 0));
    QTest::mouseMove(button, QPoint(5, 5));
    EXPECT_TRUE(WaitFor([&] { return button->IsHovering(); }, 2000));
  }
  /// Moves the mouse away onto the window and waits until the button sees it.
  void Unhover(FCButtonBase* button) {
    QTest::mouseMove(&window_, QPoint(150, 90));
    EXPECT_TRUE(WaitFor([&] { return !button->IsHovering(); }, 2000));
  }

  Sandbox box_;
  QDomDocument doc_;
  QWidget window_;
};

TEST_F(ButtonTest, ThreeImageShowsNormalHoverAndPressedFaces) {
  auto* button = Make<FCButton3Image>("<c filltype='0' state_3image='states.png'/>");
  Show();
  EXPECT_EQ(At(button->RenderButton(), 20, 10), qRgb(255, 0, 0));
  Hover(button);
  ASSERT_TRUE(button->IsHovering());
  EXPECT_EQ(At(button->RenderButton(), 20, 10), qRgb(0, 255, 0));
  button->SetCheck(1); // checked shows pressed until cleared
  EXPECT_EQ(At(button->RenderButton(), 20, 10), qRgb(0, 0, 255));
  button->SetCheck(0);
  Unhover(button);
  EXPECT_EQ(At(button->RenderButton(), 20, 10), qRgb(255, 0, 0));
  button->setDown(true);
  EXPECT_EQ(At(button->RenderButton(), 20, 10), qRgb(0, 0, 255));
}

TEST_F(ButtonTest, StateImageNotDivisibleByThreeGivesNoFaceButKeepsTheBackground) {
  auto* button =
      Make<FCButton3Image>("<c filltype='1' fillvalue='9 8 7' state_3image='wide.png'/>");
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(button->States()[i].IsEmpty());
  EXPECT_EQ(At(button->RenderButton(), 20, 10), qRgb(9, 8, 7));
  auto* missing = Make<FCButton3Image>("<c state_3image='none.png'/>");
  EXPECT_EQ(At(missing->RenderButton(), 1, 1), qRgb(0, 0, 0)); // no filltype: black
}

TEST_F(ButtonTest, FillTypeZeroOnAParentThatIsNoPanelShowsTheParentsBackground) {
  QPalette palette = window_.palette();
  palette.setColor(QPalette::Window, QColor(10, 200, 30));
  window_.setPalette(palette);
  auto* onWindow = Make<FCButton3Image>("<c filltype='0' state_3image='wide.png'/>");
  EXPECT_EQ(At(onWindow->RenderButton(), 5, 5), qRgb(10, 200, 30));
}

TEST_F(ButtonTest, ClickDoesNotChangeTheCheckState) {
  auto* button = Make<FCButtonCheck>("<c state_3image='states.png' image='mark.png'/>");
  Show();
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(button->GetCheck(), 0);
  button->SetCheck(1);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(button->GetCheck(), 1);
}

TEST_F(ButtonTest, CheckedAndHoveredCheckShowsPressedBoxMarkAndLabel) {
  auto* button = Make<FCButtonCheck>(
      "<c filltype='1' fillvalue='255 255 255' state_3image='states.png' image='mark.png'"
      " text='Label text'/>",
      QRect(10, 10, 120, 20));
  Show();
  Hover(button);
  button->SetCheck(1);
  const QImage face = button->RenderButton();
  EXPECT_EQ(At(face, 2, 2), qRgb(255, 255, 0)); // the mark at natural size over the box
  EXPECT_EQ(At(face, 7, 7), qRgb(0, 0, 255));   // pressed box piece beyond the mark
  EXPECT_EQ(At(face, 12, 15), qRgb(255, 255, 255)); // below the box: background
  bool textDrawn = false;
  for (int x = 10; x < 120 && !textDrawn; ++x)
    for (int y = 0; y < 20 && !textDrawn; ++y) textDrawn = At(face, x, y) != qRgb(255, 255, 255);
  EXPECT_TRUE(textDrawn);
  button->SetCheck(0);
  EXPECT_EQ(At(button->RenderButton(), 2, 2), qRgb(0, 255, 0)); // hover box, no mark
  EXPECT_EQ(button->Label(), "Label text");
}

TEST_F(ButtonTest, TooltipAppearsAfterItsDelayWithLineBreaksAndGoesOnLeave) {
  auto* button = Make<FCButton3Image>("<c tooltip='first\\nsecond' state_3image='states.png'/>");
  auto* silent = Make<FCButton3Image>("<c state_3image='states.png'/>", QRect(60, 10, 40, 20));
  Show();
  EXPECT_EQ(button->TooltipText(), "first\nsecond");
  Hover(button);
  ASSERT_NE(button->ToolTip(), nullptr);
  EXPECT_EQ(button->ToolTip()->InitialDelay(), 250);
  ASSERT_TRUE(WaitFor([&] { return button->ToolTip()->VisibleTip() != nullptr; }, 3000));
  QLabel* tip = button->ToolTip()->VisibleTip();
  EXPECT_EQ(tip->text(), "first\nsecond");
  EXPECT_LE(tip->maximumWidth(), 500);
  Unhover(button);
  EXPECT_EQ(button->ToolTip(), nullptr);
  Hover(silent);
  EXPECT_EQ(silent->ToolTip(), nullptr);
}

TEST_F(ButtonTest, FadeStepsWithOutScaleTwo) {
  auto* button = Make<FCButtonAnimation>(
      "<c state_3image='states.png' mouse_track_animation_interval='5'"
      " mouse_track_animation_max_step='10' mouse_track_animation_out_scale='2.0'/>");
  Show();
  FCMouseTrackAnimationTimer& timer = button->Timer();
  EXPECT_EQ(timer.interval, 5);
  EXPECT_DOUBLE_EQ(timer.out_scale, 2.0);
  Hover(button);
  EXPECT_EQ(timer.direction, 1);
  ASSERT_TRUE(WaitFor([&] { return !timer.IsTimerRunning(); }, 5000));
  EXPECT_EQ(timer.step, 10); // faded in over 10 ticks
  EXPECT_EQ(button->TotalSteps(), 10);
  EXPECT_EQ(At(button->RenderButton(), 20, 10), qRgb(0, 255, 0)); // full hover face

  // Leaving from full opacity starts at 20 of 20; stop it halfway by hand.
  timer.interval = 100000; // keep the real ticks away while stepping by hand
  Unhover(button);
  EXPECT_EQ(timer.direction, 0);
  EXPECT_EQ(timer.step, 20);
  EXPECT_EQ(button->TotalSteps(), 20);
  timer.StopTimer();
  timer.interval = 5;
  for (int i = 0; i < 10; ++i) timer.OnTimerNotify();
  EXPECT_EQ(timer.step, 10);
  const QImage half = button->RenderButton(); // hover face at 10/20 over the normal face
  EXPECT_NEAR(qGreen(half.pixel(20, 10)), 127, 2);
  EXPECT_NEAR(qRed(half.pixel(20, 10)), 128, 2);
  // Entering again continues at 5 of 10.
  timer.interval = 100000;
  Hover(button);
  EXPECT_EQ(timer.direction, 1);
  EXPECT_EQ(timer.step, 5);
  EXPECT_EQ(button->TotalSteps(), 10);
  timer.interval = 5;
  timer.StartTimer(5);
  ASSERT_TRUE(WaitFor([&] { return !timer.IsTimerRunning(); }, 5000));
  EXPECT_EQ(timer.step, 10);
  Unhover(button);
  ASSERT_TRUE(WaitFor([&] { return !timer.IsTimerRunning(); }, 5000));
  EXPECT_EQ(timer.step, 0);
  EXPECT_EQ(At(button->RenderButton(), 20, 10), qRgb(255, 0, 0));
}

TEST_F(ButtonTest, ZeroIntervalOrStepDisablesTheFade) {
  auto* button = Make<FCButtonAnimation>(
      "<c state_3image='states.png' mouse_track_animation_max_step='0'"
      " mouse_track_animation_out_scale='zero'/>");
  Show();
  Hover(button);
  EXPECT_FALSE(button->Timer().IsTimerRunning());
  EXPECT_DOUBLE_EQ(button->Timer().out_scale, 1.0);
  EXPECT_EQ(button->TotalSteps(), 1); // never 0
  Unhover(button);
  EXPECT_FALSE(button->Timer().IsTimerRunning());
}

} // namespace
