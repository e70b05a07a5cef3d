// The real Gantrell in link-search mode, with its real browser, on a list page served from
// 127.0.0.1. The user's text viewer is replaced by a script that copies the result file.
#include "common/command_file.h"
#include "frontend_stub.h"
#include "local_site.h"
#include "result_file.h"
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

// Site navigation, 1,000 chapters, a contact address, and the awkward links of real list pages.
QString ListPage() {
  QString html = QStringLiteral(
      "<!DOCTYPE html><html><head><title>All chapters</title></head><body>"
      "<script>alert('Welcome!');</script>"
      "<div id='nav'><a href='/'>Home</a> | <a href='/about.html'>About</a></div><ol>");
  for (int i = 1; i <= kChapters; ++i)
    html += QStringLiteral("<li><a href='/ch/%1.html'>Part %1</a></li>").arg(i);
  html += QStringLiteral(
      "</ol><p><a href='mailto:admin@example.com'>Contact</a></p>"
      "<a href='/ch/41.html' target='_blank'>Chapter 41</a>"
      "<a href='/ch/42.html' onclick=\"location.href='/ch/42-first.html'; return false;\">Chapter 42</a>"
      "<a href='/ch/46.html' onclick=\"location.href='/ch/46-first.html'\">Chapter 46</a>"
      "<a href='/ch/1.html'><img src='/cover.png' alt=''></a>"
      "<a href='javascript:void(0)'>Does nothing</a>"
      "<a href='#' onclick='return false'>Also nothing</a>"
      "<a href='#' onclick='Fav.add(this)'>Bookmark</a>"
      "<a href='/ch/43.html'>../../etc</a>"
      "<a href='/ch/44.html'>a/b</a>"
      "<a href='/ch/45.html' onclick=\"alert('Leaving')\">Chapter\n   45</a>"
      "</body></html>");
  return html;
}

// A viewer stand-in: copies the file it is asked to open and notes its path, each by rename so
// the test never reads half a file.
QString WriteViewerScript(const Sandbox& box) {
  const QString script = box.file(QStringLiteral("viewer.sh"));
  const QString dir = box.path();
  const QByteArray text = QStringLiteral(
      "#!/bin/sh\n"
      "cp \"$1\" '%1/copy.tmp' && mv '%1/copy.tmp' '%1/copy'\n"
      "printf '%s' \"$1\" > '%1/path.tmp' && mv '%1/path.tmp' '%1/path'\n").arg(dir).toUtf8();
  testing_support::WriteBytes(script, text);
  QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  return script;
}

/// FOLIVEX_OPENER pointing at `command` while the object lives.
class ViewerOverride {
public:
  explicit ViewerOverride(const QString& command) { qputenv("FOLIVEX_OPENER", command.toUtf8()); }
  ~ViewerOverride() { qunsetenv("FOLIVEX_OPENER"); }
};

} // namespace

TEST(SearchEngine, ListPageYieldsTheChapterLinesAndTheEngineEndsByItself) {
  Sandbox box;
  LocalSite site;
  site.AddPage(QStringLiteral("/list.html"), ListPage());
  const ViewerOverride viewer(WriteViewerScript(box));
  const QString folder = box.file(QStringLiteral("Comics")) + QLatin1Char('/');

  FrontEndStub dialog;
  common::HandOff job;
  job.url = site.Url(QStringLiteral("/list.html"));
  job.folder = folder;
  job.searchLink = QStringLiteral("1");
  QElapsedTimer clock;
  clock.start();
  EngineProcess engine(job, dialog);

  ASSERT_TRUE(WaitFor([&] { return dialog.searchDoneCount == 1; }, 120000));
  const qint64 searchMs = clock.elapsed();
  // The engine waits 6 s before deleting the file; the viewer has long copied it by then.
  ASSERT_TRUE(WaitFor([&] { return QFile::exists(box.file(QStringLiteral("path"))); }, 20000));
  const QString resultPath = QString::fromUtf8(ReadBytes(box.file(QStringLiteral("path"))));
  EXPECT_TRUE(QFile::exists(resultPath));
  ASSERT_TRUE(WaitFor([&] { return engine.Finished(); }, 30000));
  std::cout << "[ figures  ] list page of " << kChapters << " chapters: search done after "
            << searchMs << " ms, engine ended after " << clock.elapsed() << " ms\n";
  EXPECT_EQ(engine.exitCode, 0);
  // Five quiet seconds after the page, then one short click per link: links are read once,
  // and the held page cancels each navigation itself (on a 2-core machine the whole search
  // takes under 10 s; this bound leaves room for a machine loaded with other work).
  EXPECT_LT(searchMs, 90000);
  EXPECT_FALSE(QFile::exists(resultPath));
  EXPECT_TRUE(resultPath.section(QLatin1Char('/'), -1).startsWith(QLatin1Char('t')));

  const QByteArray bytes = ReadBytes(box.file(QStringLiteral("copy")));
  ASSERT_TRUE(search_test::HasUtf16LeMark(bytes));
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
  EXPECT_EQ(search_test::ResultLines(bytes), expected);

  // Every click was cancelled: no chapter page was ever requested, no window opened.
  for (const auto& request : site.Requests()) {
    const QByteArray& path = request.path;
    EXPECT_TRUE(path == "/list.html" || path == "/favicon.ico") << path.constData();
  }
}
