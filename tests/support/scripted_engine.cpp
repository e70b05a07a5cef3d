// A scripted stand-in for the engine. It speaks the real protocol: reads and deletes the
// hand-off file, says hello to the window named there, plays a script of reports and ends on
// WM_APP_ENGINE_QUIT. It is started in one of two ways:
//
//   scripted_engine <hand-off file> <program folder> <script>
//     The front-end tests' way: the script is the third argument, the page-info title is
//     "Title <id>", and nothing is written to the task folder.
//   scripted_engine <hand-off file>
//     The way folivex-get starts Gantrell. The script comes in the address's query, so every
//     task of one run can behave differently:
//       http://127.0.0.1:9/chapter?n=1&script=info:3,saveall
//     The page-info title is "Chapter <n>", the engine's process id is written to the file
//     "engine-pid" in the task folder, every saved page leaves a small file "<page>.png"
//     (three digits) there, and WM_APP_ENGINE_QUIT leaves the file "quit-received" there. The program folder (for "skin/cmd/") comes from
//     FOLIVEX_TEST_APP_DIR. In link-search mode ("search_link" set) it writes "lines" links
//     (query "lines=N") into the job's result file, tells the window it is done and ends. With
//     "fail=S" in the query it writes nothing and tells the window that the list page could not
//     be loaded, with HTTP status S (0: no answer). With "listfile=PATH" the links of the file
//     PATH follow, read at the search ("ADDRESS TEXT" each: the address, one space, the link
//     text), and "title=T" gives the list page the title T.
//
// The script is a comma-separated list of steps:
//   info:T      page-info report "100" with the title and total T
//   save        page-saved report "101" for the current page, then go on to the next page
//   saveall     "save" until the page number passes the last "info" total
//   stall       stall report "102"
//   stallfirst  "stall", but only in an engine that started at page 1
//   failwhile:P "stall" and end the script while the file P exists
//   pause:MS    let MS milliseconds pass (messages are handled meanwhile)
//   crash       end at once without a word
//   linger:MS   once told to quit, stay MS milliseconds before ending (a browser closing)
// A script that starts with "silent" never says hello; a "deaf" step anywhere makes the engine
// ignore WM_APP_ENGINE_QUIT and SIGTERM, as an engine stuck in a long call does. After the
// script the engine waits for WM_APP_ENGINE_QUIT. It never outlives 60 s, whatever happens.
#include "common/command_file.h"
#include "common/engine_report.h"
#include "common/program_folder.h"
#include "common/protocol.h"
#include "common/search_result_file.h"
#include "platform/window_message.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QTimer>
#include <QUrlQuery>
#include <csignal>
#include <cstdlib>

namespace {

class EngineWindow : public platform::MessageWindow {
public:
  bool quit = false;
  bool deaf = false;
  QString markerFolder; // where "quit-received" goes; empty: no marker
  platform::LRESULT WindowProc(std::uint32_t message, platform::WPARAM, platform::LPARAM) override {
    if (message == protocol::WM_APP_ENGINE_QUIT && !deaf) {
      quit = true;
      QFile marker(markerFolder + "quit-received");
      if (!markerFolder.isEmpty() && marker.open(QIODevice::WriteOnly)) marker.close();
      QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    }
    return 0;
  }
};

struct Engine {
  common::HandOff job;
  QUrlQuery query;
  EngineWindow window;
  QString title;       // page-info title
  bool pageFiles = false; // "save" leaves "<page>.png" in the task folder
  int command = 1;
  int page = 1;
  int total = 0;
  int firstPage = 1;
  int lingerMs = 0;

  void Send(const common::EngineReport& report) {
    const QString path = common::CommandFilePath(*job.id, command);
    common::WriteCommandFile(path, common::ReportItems(report));
    platform::SendMessage(job.hwnd, protocol::WM_APP_ENGINE_COMMAND, *job.id, command);
    ++command;
    QFile::remove(path);
  }

  void Save() {
    if (pageFiles) {
      QFile image(job.folder.value_or(QString()) + QString::asprintf("%03d.png", page));
      if (image.open(QIODevice::WriteOnly)) image.write("\x89PNG page " + QByteArray::number(page));
    }
    Send(common::PageSavedReport{*job.id, page, job.url.value_or(QString()) + "#" + QString::number(page)});
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
    if (name == "info") {
      total = value;
      Send(common::PageInfoReport{*job.id, title, total});
    } else if (name == "save") {
      Save();
    } else if (name == "saveall") {
      while (!window.quit && page <= total) Save();
    } else if (name == "stall" || (name == "stallfirst" && firstPage == 1)) {
      Send(common::StallReport{*job.id});
    } else if (name == "pause") {
      Pause(value);
    } else if (name == "failwhile") {
      if (QFile::exists(step.section(':', 1))) {
        Send(common::StallReport{*job.id});
        return false;
      }
    } else if (name == "crash") {
      std::_Exit(3);
    } else if (name == "linger") {
      lingerMs = value;
    }
    return !window.quit;
  }

  int Search() {
    if (query.hasQueryItem("fail")) {
      platform::SendMessage(job.hwnd, protocol::WM_APP_SEARCH_DONE, protocol::SEARCH_DONE_PAGE_FAILED,
                            query.queryItemValue("fail").toInt());
      return 0;
    }
    std::vector<common::FoundLink> links;
    const int lines = query.queryItemValue("lines").toInt();
    for (int i = 1; i <= lines; ++i)
      links.push_back({QString("http://127.0.0.1:9/c/%1").arg(i),
                       job.folder.value_or(QString()) + QString("Chapter %1 \u00e9t\u00e9").arg(i),
                       QString("Chapter %1 \u00e9t\u00e9").arg(i)});
    if (query.hasQueryItem("listfile")) {
      QFile list(query.queryItemValue("listfile", QUrl::FullyDecoded));
      list.open(QIODevice::ReadOnly);
      for (const QString& line : QString::fromUtf8(list.readAll()).split('\n', Qt::SkipEmptyParts))
        links.push_back({line.section(' ', 0, 0), job.folder.value_or(QString()) + line.section(' ', 1),
                         line.section(' ', 1)});
    }
    const common::ListPage page{query.queryItemValue("title", QUrl::FullyDecoded), {}, 0};
    const QString file = job.searchResult.value_or(QString());
    const bool written = !file.isEmpty() && common::WriteSearchResultFile(file, links, page);
    const platform::LRESULT reply = platform::SendMessage(
        job.hwnd, protocol::WM_APP_SEARCH_DONE,
        written ? protocol::SEARCH_DONE_WRITTEN : protocol::SEARCH_DONE_NOT_WRITTEN, window.Handle());
    if (written && reply != protocol::ENGINE_HELLO_ACCEPTED) QFile::remove(file);
    return 0;
  }
};

} // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 2) return 2;
  const bool scriptArgument = args.size() >= 4;
  common::SetProgramFolder(scriptArgument ? args[2] : qEnvironmentVariable("FOLIVEX_TEST_APP_DIR"));
  QTimer::singleShot(60000, [] { QCoreApplication::exit(4); });

  Engine engine;
  engine.job = common::ReadHandOffFile(args[1]);
  QFile::remove(args[1]);
  QStringList steps;
  bool search = false;
  if (scriptArgument) {
    if (!engine.job.id) return 2;
    engine.title = "Title " + QString::number(*engine.job.id);
    steps = args[3].split(',', Qt::SkipEmptyParts);
  } else {
    engine.job.id = engine.job.id.value_or(-1);
    engine.query = QUrlQuery(QUrl(engine.job.url.value_or(QString())).query());
    engine.title = "Chapter " + engine.query.queryItemValue("n");
    engine.pageFiles = true;
    engine.window.markerFolder = engine.job.folder.value_or(QString());
    QFile pidFile(engine.window.markerFolder + "engine-pid");
    if (!engine.window.markerFolder.isEmpty() && pidFile.open(QIODevice::WriteOnly))
      pidFile.write(QByteArray::number(QCoreApplication::applicationPid()));
    search = !engine.job.searchLink.value_or(QString()).isEmpty();
    steps = engine.query.queryItemValue("script").split(',', Qt::SkipEmptyParts);
  }
  engine.page = engine.firstPage = engine.job.index.value_or(1);
  if (steps.removeAll("deaf") > 0) {
    engine.window.deaf = true;
    std::signal(SIGTERM, SIG_IGN);
  }

  if (!steps.isEmpty() && steps.first() == "silent") return app.exec();
  const platform::LRESULT reply = platform::SendMessage(
      engine.job.hwnd, protocol::WM_APP_ENGINE_HELLO, *engine.job.id, engine.window.Handle());
  if (reply != protocol::ENGINE_HELLO_ACCEPTED) return 1;
  if (search) return engine.Search();

  int code = 0;
  for (const QString& step : steps) {
    engine.Pause(20); // let the other side's timers run between reports
    if (!engine.Step(step)) break;
  }
  if (!engine.window.quit) code = app.exec();
  QThread::msleep(engine.lingerMs);
  return code;
}
