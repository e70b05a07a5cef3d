// Builds a sample skinned window offscreen (a shaped window with a nine-grid frame, a gradient
// panel, image buttons, a check box and a list) and writes a screenshot of it to the PNG file
// named on the command line.
#include "skin/button_base.h"
#include "skin/list_window.h"
#include "skin/panel_window.h"
#include "skin_test_util.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>

namespace {

class Row : public FCListItem_Base {
public:
  explicit Row(int n) : n_(n) {}
  void DrawListItem(QPainter& painter, int l, int t, int r, int b) override {
    painter.fillRect(QRect(l, t, r - l, b - t), n_ % 2 ? QColor(235, 240, 250) : Qt::white);
    painter.drawText(QRect(l + 6, t, r - l, b - t), Qt::AlignVCenter,
                     QString("Chapter %1 - page %2 of 24").arg(n_ + 1).arg((n_ * 7) % 24));
  }

private:
  int n_;
};

void WriteSkin(const QString& folder) {
  QList<QColor> frame;
  for (int k = 0; k < 9; ++k) frame << (k == 4 ? QColor(250, 250, 250) : QColor(60, 90, 140));
  frame[0] = frame[2] = frame[6] = frame[8] = QColor(40, 60, 100);
  skin_test::WriteBlocks(folder, "frame.png", 3, 3, {8, 8}, frame);
  skin_test::WriteBlocks(folder, "button.png", 3, 1, {60, 24},
                         {QColor(90, 130, 200), QColor(120, 170, 240), QColor(50, 80, 150)});
  skin_test::WriteBlocks(folder, "box.png", 3, 1, {14, 14},
                         {Qt::white, QColor(220, 230, 255), QColor(180, 200, 240)});
  skin_test::WriteSolid(folder, "mark.png", {8, 8}, QColor(30, 120, 30));
  // Mask: white with black rounded-off corners.
  QImage mask(16, 16, QImage::Format_RGB32);
  mask.fill(Qt::black);
  QPainter p(&mask);
  p.setBrush(Qt::white);
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(QRect(0, 0, 16, 16), 5, 5);
  p.end();
  mask.save(folder + "/mask.png");
  skin_test::WriteText(
      folder, "main.xml",
      "<window width='420' height='300' border='1' min_size='300 200'>"
      "<mask filltype='1' fillvalue='255 255 255'/>"
      "<panel filltype='7' fillvalue='frame.png'>"
      " <ctrl name='panel' x='8' y='8' width='404' height='40' resize_x_mode='0'"
      "  filltype='3' fillvalue='40 60 120 120 160 230'>"
      "  <ctrl name='button_3image' ctrl_id='10' x='8' y='8' width='60' height='24'"
      "   filltype='0' state_3image='button.png' tooltip='Add a task'/>"
      "  <ctrl name='button_animation' ctrl_id='11' x='76' y='8' width='60' height='24'"
      "   filltype='0' state_3image='button.png'/>"
      "  <ctrl name='button_check' ctrl_id='12' x='150' y='12' width='160' height='16'"
      "   filltype='0' state_3image='box.png' image='mark.png' text='Shut down when done'/>"
      " </ctrl>"
      " <ctrl name='std_button' ctrl_id='13' x='332' y='262' width='80' height='26'"
      "  position_x_mode='0' position_y_mode='0' text='Close'/>"
      "</panel></window>");
}

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: skin_screenshot <output.png>\n");
    return 2;
  }
  QTemporaryDir dir;
  WriteSkin(dir.path());
  FCPanelWindowT<QWidget> window;
  if (!window.LoadPanelDescription(dir.filePath("main.xml"))) {
    std::fprintf(stderr, "description did not load\n");
    return 1;
  }
  auto* list = new FCListWindow(window.RootPanel());
  list->setGeometry(8, 56, 404, 198);
  list->SetLayout(new FCLayout_FixLineCount(1, 26));
  for (int i = 0; i < 12; ++i) list->AddItem(new Row(i));
  list->show();
  list->Relayout();
  if (auto* check = qobject_cast<FCButtonBase*>(FindPanelCtrlWindow(12))) check->SetCheck(1);
  window.show();
  app.processEvents();
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(QFileInfo(out).absolutePath());
  if (!window.grab().save(out, "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  std::printf("%s\n", qPrintable(QFileInfo(out).absoluteFilePath()));
  return 0;
}
