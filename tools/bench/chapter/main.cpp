// Chapter walk benchmark: seconds per page from engine start to the last page-saved report,
// over a local chapter (30 pages by default), repeated; prints each run and the median.
//   bench_chapter [pages] [runs] [list|links|button|enter]
#include "chapter_site.h"
#include "common/library_init.h"
#include "common/command_file.h"
#include "frontend_stub.h"
#include "test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace testing_support;

namespace {

ChapterKind KindNamed(const QString& name) {
  if (name == "list") return ChapterKind::PageList;
  if (name == "button") return ChapterKind::PageBoxButton;
  if (name == "enter") return ChapterKind::PageBoxEnter;
  return ChapterKind::NextLinks;
}

// One walk; returns seconds per page, or a negative value when the walk did not complete.
double RunOnce(LocalSite& site, const Chapter& chapter, int run) {
  Sandbox sandbox;
  FrontEndStub frontEnd;
  int saved = 0;
  bool stalled = false;
  QElapsedTimer clock;
  const bool verbose = qEnvironmentVariableIsSet("BENCH_VERBOSE");
  frontEnd.onReport = [&](const common::EngineReport& report) {
    if (verbose)
      std::printf("%6.3f %s\n", clock.elapsed() / 1000.0,
                  qPrintable(common::ReportItems(report).join(QLatin1Char('|'))));
    if (std::holds_alternative<common::StallReport>(report)) stalled = true;
    if (const auto* page = std::get_if<common::PageSavedReport>(&report)) saved = page->page;
    if (stalled || saved >= chapter.pages) frontEnd.QuitEngine();
  };
  common::HandOff job;
  job.id = 900 + run;
  job.index = 1;
  job.url = chapter.PageUrl(site, 1);
  job.folder = sandbox.path() + "/";
  clock.start();
  EngineProcess engine(job, frontEnd);
  const bool done = WaitFor([&] { return saved >= chapter.pages || stalled; }, 600000);
  const double seconds = clock.elapsed() / 1000.0;
  WaitFor([&] { return engine.Finished(); }, 30000);
  if (!done || stalled) return -1;
  return seconds / chapter.pages;
}

} // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  ImageLibraryInit magick;
  const QStringList args = app.arguments();
  const int pages = args.size() > 1 ? std::max(1, args[1].toInt()) : 30;
  const int runs = args.size() > 2 ? std::max(1, args[2].toInt()) : 3;
  const QString kind = args.size() > 3 ? args[3] : QStringLiteral("links");

  std::vector<double> perPage;
  for (int run = 0; run < runs; ++run) {
    // A fresh chapter per run: image addresses are new to every engine anyway, and the
    // server's request log stays small.
    LocalSite site;
    const Chapter chapter = AddChapter(site, QStringLiteral("/c%1/").arg(run), KindNamed(kind), pages);
    const double value = RunOnce(site, chapter, run);
    if (value < 0) {
      std::printf("run %d: walk did not complete\n", run + 1);
      continue;
    }
    std::printf("run %d: %d pages, %.3f s per page\n", run + 1, pages, value);
    std::fflush(stdout);
    perPage.push_back(value);
  }
  if (perPage.empty()) return 1;
  std::sort(perPage.begin(), perPage.end());
  std::printf("chapter walk (%s): median %.3f s per page over %zu runs (target <= 0.65)\n",
              kind.toLatin1().constData(), perPage[perPage.size() / 2], perPage.size());
  return 0;
}
