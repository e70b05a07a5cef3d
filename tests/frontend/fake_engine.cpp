// A stand-in engine for the scheduling tests. It speaks the real protocol: reads and deletes
// the hand-off file, says hello to the front-end window named there, then plays a script of
// reports, and ends on WM_APP_ENGINE_QUIT.
//
//   fake_engine <hand-off file> <program folder> <script>
//
// The script is a comma-separated list of steps:
//   info:T   page-info report "100" with the title "Title <id>" and total T
//   save     page-saved report "101" for the current page, then go on to the next page
//   saveall  "save" until the page number passes the last "info" total
//   stall    stall report "102"
//   pause:MS let MS milliseconds pass (messages are handled meanwhile)
//   crash    end at once without a word
// A script that starts with "silent" never says hello. After the script the engine waits for
// WM_APP_ENGINE_QUIT. It never outlives 60 s, whatever happens.
#include "common/command_file.h"
#include "common/program_folder.h"
#include "common/protocol.h"
#include "platform/window_message.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <cstdlib>

namespace {

class EngineWindow : public platform::MessageWindow {
public:
  bool quit = false;
  platform::LRESULT WindowProc(std::uint32_t message, platform::WPARAM, platform::LPARAM) override {
    if (message == protocol::WM_APP_ENGINE_QUIT) {
      quit = true;
      QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    }
    return 0;
  }
};

struct Engine {
  common::HandOff job;
  EngineWindow window;
  int command = 1;
  int page = 1;
  int total = 0;

  void Send(const QStringList& items) {
    const QString path = common::CommandFilePath(*job.id, command);
    common::WriteCommandFile(path, items);
    platform::SendMessage(job.hwnd, protocol::WM_APP_ENGINE_COMMAND, *job.id, command);
    ++command;
    QFile::remove(path);
  }

  void Save() {
    Send({"101", QString::number(*job.id), QString::number(page),
          job.url.value_or(QString()) + "#" + QString::number(page)});
    ++page;
  }

  void Pause(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!window.quit && clock.elapsed() < ms)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }

  // Plays one step; false ends the script.
  bool Step(const QString& step) {
    const QString name = step.section(':', 0, 0);
    const int value = step.section(':', 1, 1).toInt();
    const QString id = QString::number(*job.id);
    if (name == "info") {
      total = value;
      Send({"100", id, "Title " + id, QString::number(total)});
    } else if (name == "save") {
      Save();
    } else if (name == "saveall") {
      while (!window.quit && page <= total) Save();
    } else if (name == "stall") {
      Send({"102", id});
    } else if (name == "pause") {
      Pause(value);
    } else if (name == "crash") {
      std::_Exit(3);
    }
    return !window.quit;
  }
};

} // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 4) return 2;
  common::SetProgramFolder(args[2]);
  QTimer::singleShot(60000, [] { QCoreApplication::exit(4); });

  Engine engine;
  engine.job = common::ReadHandOffFile(args[1]);
  QFile::remove(args[1]);
  if (!engine.job.id) return 2;
  engine.page = engine.job.index.value_or(1);

  QStringList steps = args[3].split(',', Qt::SkipEmptyParts);
  if (!steps.isEmpty() && steps.first() == "silent") return app.exec();
  const platform::LRESULT reply = platform::SendMessage(
      engine.job.hwnd, protocol::WM_APP_ENGINE_HELLO, *engine.job.id, engine.window.Handle());
  if (reply != protocol::ENGINE_HELLO_ACCEPTED) return 1;

  for (const QString& step : steps) {
    engine.Pause(20); // let the front-end's timers run between reports
    if (!engine.Step(step)) return 0;
  }
  return engine.window.quit ? 0 : app.exec();
}
