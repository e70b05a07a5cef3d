// Panels built from descriptions: the resize rule, layout of real child windows, parent
// backgrounds, commands, the factory and malformed descriptions.
#include "skin/panel.h"
#include "skin/panel_ctrl_factory.h"
#include "skin/skin_events.h"
#include "skin_test_util.h"

#include <QApplication>
#include <QDomDocument>
#include <QPainter>
#include <QPushButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using skin_test::At;

namespace {

FCAttribute_Position Pos(int x, int y, int w, int h, int pxm, int pym, int rxm, int rym) {
  FCAttribute_Position p;
  p.x = x;
  p.y = y;
  p.width = w;
  p.height = h;
  p.position_x_mode = pxm;
  p.position_y_mode = pym;
  p.resize_x_mode = rxm;
  p.resize_y_mode = rym;
  return p;
}

TEST(PositionRule, EveryModeFollowsTheParent) {
  FCAttribute_Position keepLeft = Pos(10, 20, 30, 40, 1, 1, 1, 1);
  keepLeft.OnParentResize(100, 100, 150, 80);
  EXPECT_EQ(keepLeft.x, 10);
  EXPECT_EQ(keepLeft.y, 20);
  EXPECT_EQ(keepLeft.width, 30);

  FCAttribute_Position keepRight = Pos(10, 20, 30, 40, 0, 0, 1, 1);
  keepRight.OnParentResize(100, 100, 150, 80);
  EXPECT_EQ(keepRight.x, 60);
  EXPECT_EQ(keepRight.y, 0);

  FCAttribute_Position grow = Pos(10, 20, 30, 40, 1, 1, 0, 0);
  grow.OnParentResize(100, 100, 150, 80);
  EXPECT_EQ(grow.width, 80);
  EXPECT_EQ(grow.height, 20);

  // Centred with the grown width; a control wider than the parent gets a negative x, and
  // the division truncates toward zero.
  FCAttribute_Position centre = Pos(0, 0, 30, 141, 2, 2, 0, 1);
  centre.OnParentResize(100, 100, 121, 100);
  EXPECT_EQ(centre.width, 51);
  EXPECT_EQ(centre.x, 35);
  EXPECT_EQ(centre.y, -20); // (100 - 141) / 2 = -20.5 -> -20

  FCAttribute_Position toCentre = Pos(0, 0, 10, 10, 3, 3, 1, 1);
  toCentre.to_center_x = -20;
  toCentre.to_center_y = 5;
  toCentre.OnParentResize(100, 100, 101, 40);
  EXPECT_EQ(toCentre.x, 30);
  EXPECT_EQ(toCentre.y, 25);

  FCAttribute_Position odd = Pos(7, 7, 10, 10, 9, -3, 1, 1); // unknown modes keep the left edge
  odd.OnParentResize(100, 100, 300, 300);
  EXPECT_EQ(odd.x, 7);
  EXPECT_EQ(odd.y, 7);
}

class PanelTest : public ::testing::Test {
protected:
  /// A top-level host with a root panel built from `xml` (the panel element).
  FCPanel* Build(const QString& xml, QSize size) {
    doc_.setContent(xml);
    host_ = std::make_unique<QWidget>();
    host_->resize(size);
    auto* panel = new FCPanel;
    panel->Create(host_.get(), QRect(QPoint(0, 0), size));
    panel->Load(doc_.documentElement(), "/nonexistent/");
    panel->show();
    host_->show();
    return panel;
  }
  QDomDocument doc_;
  std::unique_ptr<QWidget> host_;
};

TEST_F(PanelTest, ControlsStartWhereDescribedAndFollowLaterResizes) {
  FCPanel* panel = Build(
      "<panel filltype='1' fillvalue='0 0 255'>"
      "<ctrl name='std_button' ctrl_id='501' x='10' y='10' width='50' height='20'"
      " position_x_mode='0' text='OK'/>"
      "<CTRL name='button_3image' ctrl_id='502' x='0' y='70' width='40' height='30'"
      " resize_x_mode='0' position_y_mode='0'/>"
      "<ctrl name='no_such_kind' ctrl_id='503' x='1' y='1' width='5' height='5'/>"
      "<other name='std_button' ctrl_id='504'/>"
      "</panel>",
      {200, 100});
  ASSERT_EQ(panel->Controls().Count(), 3); // the unknown kind keeps its description
  QWidget* ok = FindPanelCtrlWindow(501);
  QWidget* image = FindPanelCtrlWindow(502);
  ASSERT_NE(ok, nullptr);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(FindPanelCtrlWindow(503), nullptr);
  EXPECT_EQ(FindPanelCtrlWindow(504), nullptr);
  EXPECT_EQ(static_cast<QPushButton*>(ok)->text(), "OK");
  EXPECT_EQ(ok->geometry(), QRect(10, 10, 50, 20));

  panel->resize(260, 140);
  EXPECT_EQ(ok->geometry(), QRect(70, 10, 50, 20));
  EXPECT_EQ(image->geometry(), QRect(0, 110, 100, 30));
  EXPECT_EQ(panel->StoredSize(), QSize(260, 140));

  // A minimised (empty) client area changes nothing; restoring the size changes nothing.
  panel->resize(0, 0);
  EXPECT_EQ(ok->geometry(), QRect(70, 10, 50, 20));
  panel->resize(260, 140);
  EXPECT_EQ(ok->geometry(), QRect(70, 10, 50, 20));
  EXPECT_EQ(panel->Controls()[2]->x, 1); // no window: not laid out
}

TEST_F(PanelTest, WithoutFillTypeThePanelIsBlackAndFillTypeZeroShowsTheParent) {
  FCPanel* panel = Build(
      "<panel filltype='1' fillvalue='255 0 0'>"
      "<ctrl name='panel' x='10' y='10' width='40' height='40'/>"
      "<ctrl name='panel' x='60' y='10' width='40' height='40' filltype='0'>"
      "  <ctrl name='panel' x='5' y='5' width='20' height='20' filltype='0'/>"
      "</ctrl>"
      "</panel>",
      {120, 60});
  const QImage shot = host_->grab().toImage();
  EXPECT_EQ(At(shot, 2, 2), qRgb(255, 0, 0));
  EXPECT_EQ(At(shot, 20, 20), qRgb(0, 0, 0));   // nested panel without filltype: black
  EXPECT_EQ(At(shot, 62, 12), qRgb(255, 0, 0)); // fill type 0: the parent's red
  EXPECT_EQ(At(shot, 70, 20), qRgb(255, 0, 0)); // nested twice

  auto* middle = static_cast<FCPanel*>(panel->Controls()[1]->Window());
  auto* inner = static_cast<FCPanel*>(middle->Controls()[0]->Window());
  // The inner panel asks its fill-0 parent: answered, but nothing is painted and the
  // request does not travel further up.
  QImage canvas(20, 20, QImage::Format_ARGB32_Premultiplied);
  canvas.fill(Qt::green);
  {
    QPainter painter(&canvas);
    EXPECT_TRUE(DrawParentPanel(inner, painter));
  }
  EXPECT_EQ(At(canvas, 10, 10), qRgb(0, 255, 0));
  // The middle panel asks the red root panel, which paints the part under the child.
  canvas.fill(Qt::green);
  {
    QPainter painter(&canvas);
    EXPECT_TRUE(DrawParentPanel(middle, painter));
  }
  EXPECT_EQ(At(canvas, 10, 10), qRgb(255, 0, 0));
  // A plain widget is no panel.
  QWidget plain;
  QWidget child(&plain);
  QPainter painter(&canvas);
  EXPECT_FALSE(DrawParentPanel(&child, painter));
  EXPECT_FALSE(DrawParentPanel(&plain, painter));
}

class CommandSink : public QWidget {
public:
  bool event(QEvent* e) override {
    if (e->type() == FCCommandEvent::EventType()) {
      auto* command = static_cast<FCCommandEvent*>(e);
      ids.append(command->ctrlId);
      command->result = 42;
      return true;
    }
    return QWidget::event(e);
  }
  QList<int> ids;
};

TEST(PanelCommands, ClicksOfNestedControlsReachTheTopLevelWindow) {
  QDomDocument doc;
  doc.setContent(QStringLiteral("<panel><ctrl name='panel' x='0' y='0' width='100' height='50' filltype='0'>"
                 "<ctrl name='std_button' ctrl_id='700' x='5' y='5' width='60' height='25'/>"
                 "<ctrl name='button_check' ctrl_id='701' x='5' y='30' width='60' height='20'/>"
                 "</ctrl></panel>"));
  CommandSink sink;
  sink.resize(100, 50);
  auto* panel = new FCPanel;
  panel->Create(&sink, QRect(0, 0, 100, 50));
  panel->Load(doc.documentElement(), "/");
  panel->show();
  sink.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&sink));
  QTest::mouseClick(FindPanelCtrlWindow(700), Qt::LeftButton);
  QTest::mouseClick(FindPanelCtrlWindow(701), Qt::LeftButton);
  EXPECT_EQ(sink.ids, QList<int>({700, 701}));
  FCCommandEvent direct(5, 0, nullptr);
  QApplication::sendEvent(panel, &direct);
  EXPECT_EQ(direct.result, 42);
}

TEST(PanelFactory, DerivedFactoryComesFirstAndReplacingDeletesTheOldOne) {
  static int deleted = 0;
  class Factory : public FCPanelCtrlFactory {
  public:
    ~Factory() override { ++deleted; }
    QWidget* CreateCtrl(const QDomElement& e, const QString& kind, const QRect& r, QWidget* p,
                        int id, const QString& folder) override {
      if (kind == "my_kind") {
        auto* w = new QWidget(p);
        SetCtrlId(w, id);
        w->setGeometry(r);
        return w;
      }
      return FCPanelCtrlFactory::CreateCtrl(e, kind, r, p, id, folder);
    }
  };
  SetPanelCtrlFactory(new Factory);
  deleted = 0;
  SetPanelCtrlFactory(new Factory);
  EXPECT_EQ(deleted, 1);
  QDomDocument doc;
  doc.setContent(QStringLiteral("<panel><ctrl name='my_kind' ctrl_id='900' width='3' height='4'/>"
                 "<ctrl name='std_button' ctrl_id='901'/></panel>"));
  {
    QWidget host;
    auto* panel = new FCPanel;
    panel->Create(&host, QRect(0, 0, 10, 10));
    panel->Load(doc.documentElement(), "/");
    ASSERT_NE(FindPanelCtrlWindow(900), nullptr);
    EXPECT_EQ(FindPanelCtrlWindow(900)->size(), QSize(3, 4));
    EXPECT_NE(FindPanelCtrlWindow(901), nullptr);
  }
  EXPECT_EQ(FindPanelCtrlWindow(900), nullptr); // descriptions left with their panel
  SetPanelCtrlFactory(new FCPanelCtrlFactory);
  EXPECT_EQ(deleted, 2);
}

TEST(PanelFonts, OnlyDescriptionsNamingAFontGetTheirOwn) {
  QDomDocument doc;
  doc.setContent(QStringLiteral("<panel><ctrl name='std_button' ctrl_id='1' font_weight='700' point_size='12'/>"
                 "<ctrl name='std_button' ctrl_id='2'/>"
                 "<ctrl name='std_button' ctrl_id='3' point_size='x'/></panel>"));
  QWidget host;
  auto* panel = new FCPanel;
  panel->Create(&host, QRect(0, 0, 10, 10));
  panel->Load(doc.documentElement(), "/");
  const FCPanelCtrl* bold = panel->Controls()[0];
  ASSERT_NE(bold->Font(), nullptr);
  EXPECT_EQ(bold->Font()->weight(), QFont::Bold);
  EXPECT_EQ(bold->Font()->pointSize(), 12);
  EXPECT_EQ(panel->Controls()[1]->Font(), nullptr);
  EXPECT_EQ(panel->Controls()[1]->Window()->font(), FCPanelCtrl::DefaultCtrlFont());
  EXPECT_EQ(panel->Controls()[2]->Font(), nullptr); // a bad number is ignored
  EXPECT_EQ(FCPanelCtrl::DefaultCtrlFont().pointSize(), 9);
}

} // namespace
