// folivex-get with the real Gantrell and its browser against chapters of a local site: whole
// chapters land in their folders, and a link search of a local list page prints lines that
// --list takes back.
#include "chapter_site.h"
#include "common/auto_init.h"
#include "test_support.h"

#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

constexpr int kRunTimeoutMs = 300000; // browsers on a loaded 2-core machine

struct Result {
  int code = -1;
  QString out;
  QString err;
};

Result RunGet(const QStringList& args, const QString& folder) {
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("FOLIVEX_GET_ENGINE");
  env.insert("FOLIVEX_OPENER", "/bin/false"); // folivex-get replaces it by itself for --links
  process.setProcessEnvironment(env);
  process.setWorkingDirectory(folder);
  process.start(FOLIVEX_GET_PATH, args);
  if (!process.waitForStarted(10000)) return {};
  process.closeWriteChannel();
  if (!process.waitForFinished(kRunTimeoutMs)) {
    process.kill();
    process.waitForFinished(5000);
  }
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          QString::fromUtf8(process.readAllStandardOutput()),
          QString::fromUtf8(process.readAllStandardError())};
}

class RealEngineTest : public ::testing::Test {
protected:
  FCAutoInitGDIPlus magick_; // the chapters' pictures are made here
  LocalSite site_;
  Sandbox box_;
};

} // namespace

TEST_F(RealEngineTest, TwoChaptersDownloadCompletely) {
  const Chapter a = AddChapter(site_, "/a/", ChapterKind::NextLinks, 3);
  const Chapter b = AddChapter(site_, "/b/", ChapterKind::NextLinks, 2);
  const Result r = RunGet({"-j", "2", a.PageUrl(site_, 1), "comics/a", b.PageUrl(site_, 1),
                           "comics/b"},
                          box_.path());
  ASSERT_EQ(r.code, 0) << r.err.toStdString() << r.out.toStdString();
  for (const Chapter* c : {&a, &b}) {
    const QString folder = box_.file("comics/" + c->folder.mid(1));
    for (int page = 1; page <= c->pages; ++page) {
      const QString name = QString("%1.jpg").arg(page, 3, 10, QLatin1Char('0'));
      EXPECT_EQ(ReadBytes(folder + name), c->images[page - 1]) << (folder + name).toStdString();
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), c->pages);
  }
  EXPECT_TRUE(r.out.contains("[1] done 3 pages")) << r.out.toStdString();
  EXPECT_TRUE(r.out.contains("[2] done 2 pages"));
}

TEST_F(RealEngineTest, LinkSearchLinesFeedTheList) {
  const Chapter one = AddChapter(site_, "/one/", ChapterKind::NextLinks, 2);
  site_.AddPage("/list.html",
                QString("<html><body><h1>Chapters</h1>"
                        "<a href=\"%1\">Chapter 1</a><br>"
                        "<a href=\"mailto:editor@example.com\">mail</a><br>"
                        "<a href=\"%2\" target=\"_blank\">Chapter 2</a>"
                        "</body></html>")
                    .arg(one.PageUrl(site_, 1), site_.Url("/two/1.html")));
  const Result r = RunGet({"--links", site_.Url("/list.html"), "found"}, box_.path());
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(r.out.toStdString(),
            (one.PageUrl(site_, 1) + "   found/Chapter 1\n" + site_.Url("/two/1.html") +
             "   found/Chapter 2\n")
                .toStdString());

  // The first line, fed back, downloads its chapter into the folder it names.
  const QString line = r.out.section('\n', 0, 0) + "\n";
  ASSERT_TRUE(WriteBytes(box_.file("list.txt"), line.toUtf8()));
  const Result get = RunGet({"--list", "list.txt"}, box_.path());
  EXPECT_EQ(get.code, 0) << get.err.toStdString();
  EXPECT_EQ(ReadBytes(box_.file("found/Chapter 1/002.jpg")), one.images[1]);
}
