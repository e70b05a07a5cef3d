// Writes screenshots of the main window with the default skin, drawn offscreen:
//   main_window_screenshot <folder>  ->  <folder>/main-window-empty.png, main-window-tasks.png
//   main_window_screenshot <folder> --small  also <folder>/main-window-small.png, the window
//                                            at the skin's smallest size
// The window is built in a sandboxed program folder with five tasks in different states.
#include "main_window_fixture.h"

#include "core/task_event_observer.h"
#include "gui/news_strip.h"

#include <QApplication>
#include <QDir>
#include <cstdio>

namespace {

// The offscreen platform has no window shapes: the mask is applied to the picture instead,
// so the rounded corners show as they do on a desktop.
bool Grab(CFolivexDlg& window, const QString& path) {
  QApplication::processEvents();
  QImage picture = window.grab().toImage().convertToFormat(QImage::Format_ARGB32);
  if (window.Mask()) {
    const QRegion shape = panel_window::MaskRegion(*window.Mask(), picture.size());
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x)
        if (!shape.contains(QPoint(x, y))) picture.setPixel(x, y, qRgba(0, 0, 0, 0));
  }
  if (!picture.save(path, "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: main_window_screenshot <folder>\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  bool ok = true;
  {
    mainwindow_test::MainWindowRig rig;
    rig.Open();
    ok = Grab(*rig.window, out + "/main-window-empty.png") && ok;
  }
  {
    mainwindow_test::MainWindowRig rig;
    // Titles as sites write them (with the page), folders as a user names them; the first
    // chapter was packed as CBZ.
    const auto add = [&rig](const char* title, const char* folder, int finish, int total) {
      CTaskInfo* task = rig.Add(QString::fromUtf8(title), finish, total);
      task->folder = rig.folder.File(QStringLiteral("comics/%1/").arg(QString::fromUtf8(folder)));
      return task;
    };
    add("Moonlit Harbour - Chapter 12 - Page 24", "Moonlit Harbour 12", 24, 24)->archive =
        rig.folder.File(QStringLiteral("comics/Moonlit Harbour 12.cbz"));
    CTaskInfo* running = add("The Clockwork Garden - Chapter 3 - Page 11", "Clockwork Garden 3", 11, 32);
    CTaskInfo* waiting = add("纸灯笼 第7话 第1页", "纸灯笼 第7话", 0, 0);
    CTaskInfo* failed = add("", "Night Train 2", 1, 0);
    add("Seven Seas Express - Chapter 21 (9/28)", "Seven Seas 21", 9, 28);
    CFolivexDlg& window = rig.Open();
    running->status = TASK_RUNNING;
    waiting->status = TASK_WAIT;
    failed->error_text = QStringLiteral("The page image could not be found.");
    rig.List().SelectOnly({1});
    if (auto* news = window.findChild<CNewsStrip*>())
      news->SetNews({{QStringLiteral("Tip: drag rows to change the download order"), QString()}},
                    60000);
    CTaskEventObserver::NotifyTaskChanged();
    ok = Grab(window, out + "/main-window-tasks.png") && ok;
    if (argc > 2 && QString::fromLocal8Bit(argv[2]) == QLatin1String("--small")) {
      window.resize(window.MinTrackSize());
      ok = Grab(window, out + "/main-window-small.png") && ok;
    }
  }
  return ok ? 0 : 1;
}
