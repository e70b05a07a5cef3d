// The skinned host window: size and position from the description, the mask region, broken
// descriptions, the border hit test, and the tray icon coming back.
#include "skin/panel_window.h"
#include "skin/tray_icon.h"
#include "skin_test_util.h"
#include "test_support.h"

#include <QDialog>
#include <QPainter>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using testing_support::Sandbox;

namespace {

class Host : public FCPanelWindowT<QWidget> {
public:
  void OnLoadPanelDescription(const QDomElement& root) override {
    seen = root.attribute("custom");
  }
  QString seen;
};

QString MaskPicture(const Sandbox& box) {
  // 40 x 30 white, with a black 5 x 5 top-left corner and a pixel of blue 0 but red 255.
  QImage mask(40, 30, QImage::Format_RGB32);
  mask.fill(Qt::white);
  QPainter p(&mask);
  p.fillRect(0, 0, 5, 5, Qt::black);
  p.end();
  mask.setPixel(20, 20, qRgb(255, 255, 0));
  mask.save(box.file("mask.png"));
  return "mask.png";
}

QString Description(const QString& rootAttributes, const QString& extra = {}) {
  return "<window " + rootAttributes + ">" + extra +
         "<panel filltype='1' fillvalue='0 128 0'>"
         "<ctrl name='std_button' ctrl_id='1' x='5' y='5' width='20' height='10'"
         " position_x_mode='0'/></panel></window>";
}

TEST(PanelWindow, SizeMinimumAndPositionComeFromTheDescription) {
  Sandbox box;
  Host host;
  const QString path = skin_test::WriteText(
      box.path(), "main.xml",
      Description("width='200' height='120' min_size='150 100' init_pos='30 40' custom='x'"));
  ASSERT_TRUE(host.LoadPanelDescription(path));
  EXPECT_EQ(host.seen, "x");
  EXPECT_EQ(host.size(), QSize(200, 120));
  EXPECT_EQ(host.minimumSize(), QSize(150, 100));
  EXPECT_EQ(host.pos(), QPoint(30, 40));
  ASSERT_NE(host.RootPanel(), nullptr);
  EXPECT_EQ(host.RootPanel()->geometry(), QRect(0, 0, 200, 120));
  host.show();
  host.resize(260, 150);
  EXPECT_EQ(host.RootPanel()->size(), QSize(260, 150));
  EXPECT_EQ(FindPanelCtrlWindow(1)->x(), 65);
}

TEST(PanelWindow, PairsWithoutABlankAndMissingPositionAreIgnored) {
  Sandbox box;
  Host host;
  host.move(11, 12);
  const QString path = skin_test::WriteText(
      box.path(), "main.xml", Description("width='100' height='80' min_size='150' init_pos='7'"));
  ASSERT_TRUE(host.LoadPanelDescription(path));
  EXPECT_EQ(host.MinTrackSize(), QSize(0, 0));
  EXPECT_EQ(host.minimumSize(), QSize(0, 0));
  EXPECT_EQ(host.pos(), QPoint(11, 12));
  EXPECT_EQ(host.size(), QSize(100, 80));
}

TEST(PanelWindow, BorderOneCutsBlackMaskPixelsAndBorderZeroIgnoresTheMask) {
  Sandbox box;
  const QString mask = "<mask filltype='2' fillvalue='" + MaskPicture(box) + "'/>";
  Host shaped;
  ASSERT_TRUE(shaped.LoadPanelDescription(skin_test::WriteText(
      box.path(), "shaped.xml", Description("width='40' height='30' border='1'", mask))));
  EXPECT_TRUE(shaped.windowFlags().testFlag(Qt::FramelessWindowHint));
  const QRegion region = shaped.mask();
  EXPECT_FALSE(region.contains(QPoint(0, 0)));
  EXPECT_FALSE(region.contains(QPoint(4, 4)));
  EXPECT_TRUE(region.contains(QPoint(5, 4)));
  EXPECT_TRUE(region.contains(QPoint(4, 5)));
  EXPECT_FALSE(region.contains(QPoint(20, 20))); // blue 0 counts as black
  EXPECT_TRUE(region.contains(QPoint(39, 29)));
  // Stretched with the window: the cut corner grows too.
  shaped.show();
  shaped.resize(80, 60);
  EXPECT_FALSE(shaped.mask().contains(QPoint(9, 9)));
  EXPECT_TRUE(shaped.mask().contains(QPoint(10, 10)));

  Host framed;
  ASSERT_TRUE(framed.LoadPanelDescription(skin_test::WriteText(
      box.path(), "framed.xml", Description("width='40' height='30' border='0'", mask))));
  EXPECT_FALSE(framed.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(framed.mask().isEmpty());
}

TEST(PanelWindow, MaskRegionOfSolidBlackIsEmpty) {
  QDomDocument doc;
  doc.setContent(QStringLiteral("<mask filltype='1' fillvalue='255 255 0'/>"));
  FCAttribute_Fill fill;
  fill.Load(doc.documentElement(), "/");
  EXPECT_TRUE(panel_window::MaskRegion(fill, {10, 10}).isEmpty());
  doc.setContent(QStringLiteral("<mask filltype='1' fillvalue='0 0 1'/>"));
  fill.Load(doc.documentElement(), "/");
  EXPECT_TRUE((panel_window::MaskRegion(fill, {10, 10}) ^ QRegion(0, 0, 10, 10)).isEmpty());
}

TEST(PanelWindow, BrokenDescriptionsLeaveTheWindowWithoutAPanel) {
  Sandbox box;
  Host host;
  host.resize(77, 66);
  const struct {
    const char* name;
    QString text;
  } cases[] = {
      {"malformed.xml", "<window width='10' height='10'><panel></window>"},
      {"nopanel.xml", "<window width='10' height='10'><mask/></window>"},
      {"zero.xml", "<window width='0' height='10'><panel/></window>"},
      {"badnumber.xml", "<window width='ten' height='10'><panel/></window>"},
      {"empty.xml", ""},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(host.LoadPanelDescription(skin_test::WriteText(box.path(), c.name, c.text)))
        << c.name;
    EXPECT_EQ(host.RootPanel(), nullptr) << c.name;
    EXPECT_EQ(host.size(), QSize(77, 66)) << c.name;
  }
  EXPECT_FALSE(host.LoadPanelDescription(box.file("missing.xml")));
  // Reloading a good description after a bad one works, and so does reloading it again.
  const QString good =
      skin_test::WriteText(box.path(), "good.xml", Description("width='50' height='40'"));
  ASSERT_TRUE(host.LoadPanelDescription(good));
  ASSERT_TRUE(host.LoadPanelDescription(good));
  EXPECT_NE(host.RootPanel(), nullptr);
}

TEST(PanelWindow, UnknownKindsMissingFilesAndBadNumbersStillLoad) {
  Sandbox box;
  FCPanelWindowT<QDialog> dialog;
  ASSERT_TRUE(dialog.LoadPanelDescription(skin_test::WriteText(
      box.path(), "odd.xml",
      "<window width='60' height='40' border='x'><panel filltype='5' fillvalue='nofile.png'>"
      "<ctrl name='widget_from_the_future' x='1'/>"
      "<ctrl name='button_animation' x='q' y='2' width='20' height='20'"
      " state_3image='../nofile.png' mouse_track_animation_out_scale='nan'/>"
      "<ctrl name='panel' filltype='7' fillvalue=''/>"
      "</panel></window>")));
  EXPECT_EQ(dialog.Border(), 0);
  EXPECT_EQ(dialog.RootPanel()->Controls().Count(), 3);
  dialog.show();
  EXPECT_FALSE(dialog.grab().isNull());

  // An absurd size is clamped, and panels nested without end stop at the nesting limit.
  QString nested;
  for (int i = 0; i < 2000; ++i) nested += "<ctrl name='panel' width='5' height='5'>";
  for (int i = 0; i < 2000; ++i) nested += "</ctrl>";
  Host huge;
  ASSERT_TRUE(huge.LoadPanelDescription(skin_test::WriteText(
      box.path(), "huge.xml",
      "<w width='2000000000' height='90000' min_size='99999999 5'><panel>" + nested +
          "</panel></w>")));
  EXPECT_EQ(huge.size(), QSize(panel_window::kMaxWindowSide, panel_window::kMaxWindowSide));
  int depth = 0;
  for (const FCPanel* p = huge.RootPanel(); p && p->Controls().Count() > 0; ++depth)
    p = static_cast<const FCPanel*>(p->Controls()[0]->Window());
  EXPECT_EQ(depth, FCPanel::kMaxNesting);
}

TEST(PanelWindow, BorderHitTestCornersThenEdgesThenCaption) {
  using panel_window::BorderHitTest;
  const QSize size(100, 80);
  EXPECT_EQ(BorderHitTest(size, {0, 0}), HTTOPLEFT);
  EXPECT_EQ(BorderHitTest(size, {9, 9}), HTTOPLEFT);
  EXPECT_EQ(BorderHitTest(size, {95, 2}), HTTOPRIGHT);
  EXPECT_EQ(BorderHitTest(size, {2, 75}), HTBOTTOMLEFT);
  EXPECT_EQ(BorderHitTest(size, {99, 79}), HTBOTTOMRIGHT);
  EXPECT_EQ(BorderHitTest(size, {2, 40}), HTLEFT);
  EXPECT_EQ(BorderHitTest(size, {50, 3}), HTTOP);
  EXPECT_EQ(BorderHitTest(size, {96, 40}), HTRIGHT);
  EXPECT_EQ(BorderHitTest(size, {50, 76}), HTBOTTOM);
  EXPECT_EQ(BorderHitTest(size, {50, 40}), HTCAPTION);
  EXPECT_EQ(BorderHitTest(size, {100, 40}), 0);
  EXPECT_EQ(panel_window::EdgesOf(HTBOTTOMRIGHT), Qt::BottomEdge | Qt::RightEdge);
  EXPECT_EQ(panel_window::EdgesOf(HTCAPTION), Qt::Edges());
}

class HitHost : public FCPanelWindowT<QWidget> {
public:
  int OnHitTest(const QPoint& pos) override {
    hits.append(pos);
    return HTCAPTION;
  }
  QList<QPoint> hits;
};

TEST(PanelWindow, PressesOnPanelsReachTheHostHitTestButNotThroughControls) {
  Sandbox box;
  HitHost host;
  ASSERT_TRUE(host.LoadPanelDescription(skin_test::WriteText(
      box.path(), "main.xml",
      "<w width='100' height='80' border='1'><panel>"
      "<ctrl name='panel' x='10' y='10' width='60' height='50'>"
      "<ctrl name='button_3image' ctrl_id='77' x='30' y='30' width='20' height='10'/>"
      "</ctrl></panel></w>")));
  host.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
  QWidget* nested = host.RootPanel()->Controls()[0]->Window();
  QTest::mousePress(nested, Qt::LeftButton, {}, QPoint(5, 6));
  QTest::mouseRelease(nested, Qt::LeftButton, {}, QPoint(5, 6));
  ASSERT_EQ(host.hits.size(), 1);
  EXPECT_EQ(host.hits[0], QPoint(15, 16));
  QTest::mouseClick(FindPanelCtrlWindow(77), Qt::LeftButton);
  EXPECT_EQ(host.hits.size(), 1);
}

class Tray : public FCTrayIcon {
public:
  void OnTaskbarCreated() override {
    ++created;
    AddIcon(QIcon(), QString(200, 'x'));
  }
  int created = 0;
};

TEST(TrayIcon, ComesBackWhenTheTrayReturnsAndCutsTheTip) {
  Tray tray;
  bool present = true;
  tray.SetTrayProbe([&] { return present; });
  EXPECT_EQ(tray.created, 0); // present from the start: nothing to re-add
  present = false;
  tray.ProbeTray();
  present = true;
  tray.ProbeTray();
  EXPECT_EQ(tray.created, 1);
  tray.ProbeTray();
  EXPECT_EQ(tray.created, 1);
  EXPECT_EQ(tray.Tip().size(), 127);
  tray.SetTip("short");
  EXPECT_EQ(tray.Tip(), "short");
}

} // namespace
