// Long strips without a browser: which of the images a scroll has shown count as pages, and
// the record that lets a restarted engine skip the pages it saved.
#include "engine/long_strip.h"
#include "test_support.h"

#include <QFile>
#include <gtest/gtest.h>

using engine::CollectStripPages;
using engine::StripRecord;

namespace {

// Pretends to fetch: the address names the size ("w x h"), "fail" fails; each fetch makes
// a real temporary file, as the real fetch does.
struct FakeFetch {
  testing_support::Sandbox sandbox;
  QStringList fetched;
  QStringList temporaryFiles;
  std::unique_ptr<CPageImageInfo> operator()(const QString& url) {
    fetched << url;
    if (url == QLatin1String("fail")) return nullptr;
    auto image = std::make_unique<CPageImageInfo>();
    image->url = url;
    image->temporaryPath = sandbox.file(QString::number(fetched.size()));
    testing_support::WriteBytes(image->temporaryPath, "x");
    temporaryFiles << image->temporaryPath;
    image->width = url.section('x', 0, 0).toInt();
    image->height = url.section('x', 1, 1).toInt();
    image->extension = QStringLiteral(".png");
    return image;
  }
};

} // namespace

TEST(LongStrip, PagesAreTheLargeImagesInOrderEachAddressOnce) {
  const QStringList sources{"100x40", "640x900", "fail", "728x90", "301x401", "640x900", "300x2000", ""};
  FakeFetch fetch;
  const auto pages = CollectStripPages(sources, std::ref(fetch), fetch.temporaryFiles);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].position, 1);
  EXPECT_EQ(pages[1].position, 4);
  // The repeated page and the empty address are not fetched; small images lose their files.
  EXPECT_EQ(fetch.fetched, (QStringList{"100x40", "640x900", "fail", "728x90", "301x401", "300x2000"}));
  EXPECT_EQ(fetch.temporaryFiles, (QStringList{pages[0].image->temporaryPath, pages[1].image->temporaryPath}));
  EXPECT_FALSE(QFile::exists(fetch.sandbox.file("1")));

  // A restart fetches only the positions it asks for; ones that are gone are passed over.
  FakeFetch resumed;
  const std::vector<int> rest{4, 99};
  const auto after = CollectStripPages(sources, std::ref(resumed), resumed.temporaryFiles, &rest);
  ASSERT_EQ(after.size(), 1u);
  EXPECT_EQ(resumed.fetched, QStringList{"301x401"});
}

TEST(LongStrip, RecordRoundTripsAndAnythingElseReadsAsNone) {
  testing_support::Sandbox sandbox;
  const QString folder = sandbox.file("c") + "/";
  const QString url = QStringLiteral("https://site/strip.html");
  StripRecord record{3, {1, 4, 9}};
  ASSERT_TRUE(record.Save(folder, url));
  auto read = StripRecord::Load(folder, url);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->firstPage, 3);
  EXPECT_EQ(read->positions, (std::vector<int>{1, 4, 9}));
  EXPECT_EQ(read->LastPage(), 5);
  EXPECT_FALSE(StripRecord::Load(sandbox.file("other") + "/", url)) << "another task's folder";

  const QString path = StripRecord::PathFor(folder, url);
  for (const QByteArray& bad : {QByteArray("https://other/\n1\n1\n2\n"), QByteArray(url.toUtf8() + "\n0\n1\n2\n"),
                                QByteArray(url.toUtf8() + "\n1\n1\n-2\n"), QByteArray(url.toUtf8() + "\n1\n5\n"),
                                QByteArray(url.toUtf8() + "\nx\n1\n2\n")}) {
    ASSERT_TRUE(testing_support::WriteBytes(path, bad));
    EXPECT_FALSE(StripRecord::Load(folder, url)) << bad.toStdString();
  }
  StripRecord::Remove(folder, url);
  EXPECT_FALSE(QFile::exists(path));
}
