// The title, the news strip and the tip icon as skin buttons: each draws over the background
// its skin element gives (or its parent panel's), the strip's text turns red while hovered,
// the title follows its window's title, and the tip icon shows its tip as a skin tooltip.
#include "dialog_fixture.h"
#include "gui/news_strip.h"
#include "gui/wnd_tip_button.h"
#include "gui/wnd_title.h"
#include "skin/panel.h"

#include <QDomDocument>
#include <QTest>

using dialog_tests::DialogTest;
using testing_support::WaitFor;

namespace {

const QRgb kGreen = qRgb(10, 200, 30);
const QRgb kGrey = qRgb(90, 90, 90);

class SkinControls : public DialogTest {
protected:
  SkinControls() { host.resize(300, 100); }

  QDomElement Element(const QString& xml) {
    doc.setContent(xml);
    return doc.documentElement();
  }
  void Show() {
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    QTest::mouseMove(&host, QPoint(290, 90));
    QTest::mouseMove(&host, QPoint(291, 91));
    QCoreApplication::processEvents();
  }
  void Hover(FCButtonBase& button) {
    QTest::mouseMove(&host, QPoint(299, 0));
    QTest::mouseMove(&button, QPoint(5, 5));
    ASSERT_TRUE(WaitFor([&] { return button.IsHovering(); }, 2000));
  }

  QDomDocument doc;
  QWidget host;
};

/// Pixels of `image` (in `area`, the whole image when empty) for which `match` holds.
template <class Match>
int Count(const QImage& image, Match match, QRect area = {}) {
  if (area.isEmpty()) area = image.rect();
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (match(image.pixel(x, y))) ++count;
  return count;
}

bool Bluish(QRgb p) { return qBlue(p) > 200 && qRed(p) < 120 && qGreen(p) < 120; }
bool Reddish(QRgb p) { return qRed(p) > 200 && qGreen(p) < 120 && qBlue(p) < 120; }
bool Whitish(QRgb p) { return qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) > 200; }

TEST_F(SkinControls, NewsStripDrawsItsSkinBackgroundAndHotText) {
  CNewsStrip strip(&host);
  // No site is configured: loading the element works, the download does not start.
  EXPECT_FALSE(strip.Create(Element("<ctrl filltype=\"1\" fillvalue=\"10 200 30\" "
                                    "tooltip=\"news\"/>"),
                            sandbox.path()));
  EXPECT_EQ(strip.DownloadCount(), 0);
  EXPECT_EQ(strip.TooltipText(), "news");
  strip.setGeometry(5, 5, 200, 20);
  Show();

  QImage face = strip.RenderButton();
  EXPECT_EQ(face.pixel(0, 0), kGreen);
  EXPECT_EQ(face.pixel(199, 19), kGreen);
  EXPECT_EQ(Count(face, Bluish), 0); // no items, no text

  strip.SetNews({{"WWWW news", "http://a/1"}}, 60000);
  face = strip.RenderButton();
  EXPECT_GT(Count(face, Bluish), 10);
  EXPECT_EQ(Count(face, Reddish), 0);
  EXPECT_EQ(face.pixel(199, 0), kGreen); // text stays at the left

  Hover(strip);
  face = strip.RenderButton();
  EXPECT_GT(Count(face, Reddish), 10);
  EXPECT_EQ(Count(face, Bluish), 0);
}

TEST_F(SkinControls, NewsStripWithoutFillShowsItsParentPanel) {
  FCPanel panel;
  panel.Create(&host, QRect(0, 0, 300, 100));
  panel.Load(Element("<ctrl filltype=\"1\" fillvalue=\"90 90 90\"/>"), sandbox.path());
  CNewsStrip strip(&panel);
  strip.Create(Element("<ctrl filltype=\"0\"/>"), sandbox.path());
  strip.setGeometry(10, 10, 100, 20);
  const QImage face = strip.RenderButton();
  EXPECT_EQ(face.pixel(0, 0), kGrey);
  EXPECT_EQ(face.pixel(99, 19), kGrey);
}

TEST_F(SkinControls, TitleDrawsItsWindowsTitleTopLeftAndFollowsIt) {
  host.setWindowTitle("Hi");
  CWndTitle title(&host);
  title.LoadButtonAttributes(Element("<ctrl filltype=\"1\" fillvalue=\"10 200 30\"/>"),
                             sandbox.path());
  QPalette palette = title.palette();
  palette.setColor(QPalette::WindowText, Qt::white);
  title.setPalette(palette);
  title.setGeometry(0, 0, 200, 30);
  Show();

  EXPECT_EQ(title.TitleText(), "Hi");
  QImage face = title.RenderButton();
  EXPECT_EQ(face.pixel(199, 29), kGreen);
  EXPECT_GT(Count(face, Whitish, QRect(0, 0, 40, 20)), 5);
  EXPECT_EQ(Count(face, Whitish, QRect(100, 0, 100, 30)), 0);
  EXPECT_EQ(Count(face, Whitish, QRect(0, 25, 200, 5)), 0); // top aligned, one line

  // A title too long for the control is cut: it fills the width but stays on one line.
  host.setWindowTitle(QString("W").repeated(200));
  EXPECT_EQ(title.TitleText(), QString("W").repeated(200));
  face = title.RenderButton();
  EXPECT_GT(Count(face, Whitish, QRect(150, 0, 50, 20)), 5);
  EXPECT_EQ(Count(face, Whitish, QRect(0, 25, 200, 5)), 0);
}

TEST_F(SkinControls, TipButtonShowsItsTipAsASkinTooltip) {
  auto* silent = new CWndTipButton(&host);
  silent->setGeometry(40, 5, 20, 20);
  auto* tip = new CWndTipButton(&host);
  tip->setGeometry(5, 5, 20, 20);
  tip->SetTipText("Where the chapter is");
  EXPECT_EQ(tip->TipText(), "Where the chapter is");
  Show();

  Hover(*tip);
  ASSERT_NE(tip->ToolTip(), nullptr);
  EXPECT_EQ(tip->ToolTip()->InitialDelay(), CWndTipButton::kTooltipDelayMs);
  EXPECT_EQ(tip->ToolTip()->ToolText(100), "Where the chapter is");
  EXPECT_TRUE(WaitFor([&] { return tip->ToolTip()->VisibleTip() != nullptr; }, 3000));

  Hover(*silent); // no text: no tooltip at all
  EXPECT_EQ(silent->ToolTip(), nullptr);
  EXPECT_TRUE(WaitFor([&] { return tip->ToolTip() == nullptr; }, 2000));

  // The face is opaque: the button colour around the centred picture.
  const QImage face = tip->RenderButton();
  EXPECT_EQ(face.pixel(0, 0), tip->palette().button().color().rgb());
}

} // namespace
