#include "cli/link_search_run.h"

#include "cli/text_output.h"
#include "common/program_folder.h"
#include "core/chapter_links.h"
#include "core/chapter_search.h"
#include "platform/process.h"

#include "cli/progress_output.h"

#include <QCoreApplication>
#include <QTimer>

namespace folivex_get {

CLinkSearchRun::CLinkSearchRun(platform::FIProgramLauncher& launcher,
                               const QString& engineProgram, std::FILE* out, std::FILE* err)
    : client_(launcher), engineProgram_(engineProgram), out_(out), err_(err) {
  client_.SetDoneCallback([this](const LinkSearchOutcome& outcome) {
    if (done_) return;
    done_ = true;
    // End after the reply: the engine waits in its send until then.
    if (outcome.pageFailed) {
      WriteText(err_, QStringLiteral("folivex-get: the list page could not be loaded (%1)\n")
                          .arg(CChapterSearch::PageFailureReason(outcome.status)));
      QTimer::singleShot(0, [this] { End(kFailed); });
      return;
    }
    if (!outcome.received) {
      WriteText(err_, QStringLiteral("folivex-get: the search result could not be read\n"));
      QTimer::singleShot(0, [this] { End(kFailed); });
      return;
    }
    lines_ = ResultLines(chaptersOnly_ ? Chapters(outcome, url_, folder_) : outcome.links);
    QTimer::singleShot(0, [this] { End(kDone); });
  });
}

std::vector<common::FoundLink> CLinkSearchRun::Chapters(const LinkSearchOutcome& outcome,
                                                        const QString& url, const QString& base) {
  std::vector<common::FoundLink> links;
  for (const chapter_links::ChapterLink& chapter :
       chapter_links::NamedChapters(outcome.links, outcome.page, url))
    links.push_back({chapter.url, base + chapter.folderName, chapter.text});
  return links;
}

QStringList CLinkSearchRun::ResultLines(const std::vector<common::FoundLink>& links) {
  QStringList lines;
  for (const common::FoundLink& link : links)
    lines.append(CProgressOutput::Printable(common::SearchResultLine(link)));
  return lines;
}

int CLinkSearchRun::Run(const QString& url, const QString& folder) {
  url_ = url;
  folder_ = common::WithTrailingSlash(folder);
  if (!scratch_.isValid()) {
    WriteText(err_, QStringLiteral("folivex-get: no temporary folder for the search result\n"));
    return kFailed;
  }
  // The result file goes with the run folder, whatever ends the run.
  client_.SetResultFolder(scratch_.path());
  if (!client_.Start(engineProgram_, url, folder)) {
    WriteText(err_, QStringLiteral("folivex-get: cannot start the engine %1\n").arg(engineProgram_));
    return kFailed;
  }

  QTimer hello;
  hello.setSingleShot(true);
  QObject::connect(&hello, &QTimer::timeout, [this] {
    if (client_.Engine() == 0 && !done_) {
      WriteText(err_, QStringLiteral("folivex-get: the engine did not start\n"));
      End(kFailed);
    }
  });
  hello.start(helloTimeoutMs_);
  QTimer whole;
  whole.setSingleShot(true);
  QObject::connect(&whole, &QTimer::timeout, [this] {
    if (done_) return;
    WriteText(err_, QStringLiteral("folivex-get: the link search did not finish in time\n"));
    End(kFailed);
  });
  whole.start(searchTimeoutMs_);
  // An engine that dies (or quits) without reporting would otherwise be waited for in vain.
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [this] {
    if (done_ || client_.Engine() == 0 || platform::IsWindow(client_.Engine())) return;
    WriteText(err_, QStringLiteral("folivex-get: the engine ended without a result\n"));
    End(kFailed);
  });
  watch.start(1000);

  QCoreApplication::exec();
  if (exitCode_ != kDone) {
    // The engine is told to quit; one that does not end (or never said hello, so cannot hear
    // it) is ended by its process id, and its browser with it.
    client_.Quit();
    platform::AwaitProcessesEnd({client_.EngineProcess()}, kEngineTermAfterMs, kEngineKillAfterMs);
    return exitCode_;
  }

  for (const QString& line : lines_) WriteText(out_, line + QLatin1Char('\n'));
  if (lines_.isEmpty())
    WriteText(err_, chaptersOnly_ ? QStringLiteral("folivex-get: no chapters found\n")
                                  : QStringLiteral("folivex-get: no chapter links found\n"));
  return kDone;
}

void CLinkSearchRun::End(int exitCode) {
  if (exitCode_ >= 0) return;
  exitCode_ = exitCode;
  QCoreApplication::exit(0);
}

void CLinkSearchRun::Interrupt(int exitCode) {
  done_ = true;
  client_.Quit();
  End(exitCode);
}

} // namespace folivex_get
