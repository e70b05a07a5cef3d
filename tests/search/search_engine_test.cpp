// The real Gantrell in link-search mode, with its real browser, on a list page served from
// 127.0.0.1: it writes what it found into the file the job names, and opens nothing.
#include "chapter_site.h"
#include "common/command_file.h"
#include "frontend_stub.h"
#include "local_site.h"
#include "common/protocol.h"
#include "common/search_result_file.h"
#include "test_support.h"

#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>
#include <iostream>

using testing_support::EngineProcess;
using testing_support::FrontEndStub;
using testing_support::LocalSite;
using testing_support::ReadBytes;
using testing_support::Sandbox;
using testing_support::WaitFor;

namespace {

constexpr int kChapters = 1000;

} // namespace

TEST(SearchEngine, ListPageYieldsTheChapterLinesAndTheEngineEndsByItself) {
  Sandbox box;
  LocalSite site;
  site.AddPage(QStringLiteral("/list.html"), testing_support::LinkSearchListPage(kChapters));
  qputenv("FOLIVEX_OPENER", "/bin/false"); // were anything opened, it would show below
  const QString folder = box.file(QStringLiteral("Comics")) + QLatin1Char('/');

  FrontEndStub dialog;
  common::HandOff job;
  job.url = site.Url(QStringLiteral("/list.html"));
  job.folder = folder;
  job.searchLink = QStringLiteral("1");
  job.searchResult = box.file(QStringLiteral("result.json"));
  QElapsedTimer clock;
  clock.start();
  EngineProcess engine(job, dialog);

  ASSERT_TRUE(WaitFor([&] { return dialog.searchDoneCount == 1; }, 120000));
  const qint64 searchMs = clock.elapsed();
  EXPECT_EQ(dialog.searchDone.first, protocol::SEARCH_DONE_WRITTEN);
  ASSERT_TRUE(WaitFor([&] { return engine.Finished(); }, 30000));
  std::cout << "[ figures  ] list page of " << kChapters << " chapters: search done after "
            << searchMs << " ms, engine ended after " << clock.elapsed() << " ms\n";
  EXPECT_EQ(engine.exitCode, 0);
  // Five quiet seconds after the page, then one short click per link: links are read once,
  // and the held page cancels each navigation itself (on a 2-core machine the whole search
  // takes under 10 s; this bound leaves room for a machine loaded with other work).
  EXPECT_LT(searchMs, 90000);
  // The dialog took the result: the engine leaves the file to it.
  const auto links = common::ReadSearchResultFile(*job.searchResult);
  ASSERT_TRUE(links.has_value());
  QStringList lines;
  for (const common::FoundLink& link : links->links) lines << common::SearchResultLine(link);
  const auto line = [&](const QString& path, const QString& name) {
    return site.Url(path) + QStringLiteral("   ") + folder + name;
  };
  QStringList expected{line(QStringLiteral("/"), QStringLiteral("Home")),
                       line(QStringLiteral("/about.html"), QStringLiteral("About"))};
  for (int i = 1; i <= kChapters; ++i)
    expected << line(QStringLiteral("/ch/%1.html").arg(i), QStringLiteral("Part %1").arg(i));
  expected << line(QStringLiteral("/ch/41.html"), QStringLiteral("Chapter 41"))
           << line(QStringLiteral("/ch/42-first.html"), QStringLiteral("Chapter 42"))
           << line(QStringLiteral("/ch/46-first.html"), QStringLiteral("Chapter 46"))
           << line(QStringLiteral("/ch/1.html"), QStringLiteral("chapter"))
           << line(QStringLiteral("/ch/43.html"), QStringLiteral("_.._etc"))
           << line(QStringLiteral("/ch/44.html"), QStringLiteral("a_b"))
           << line(QStringLiteral("/ch/45.html"), QStringLiteral("Chapter 45"));
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(links->links.back().text, QStringLiteral("Chapter 45")) << "the text on one line";

  // Every click was cancelled: no chapter page was ever requested, no window opened.
  for (const auto& request : site.Requests()) {
    const QByteArray& path = request.path;
    EXPECT_TRUE(path == "/list.html" || path == "/favicon.ico") << path.constData();
  }
}
