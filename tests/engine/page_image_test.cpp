// Choosing, fetching, decoding and saving page images against a local HTTP server.
#include "common/library_init.h"
#include "engine/image_decode.h"
#include "engine/image_fetch.h"
#include "engine/image_source.h"
#include "engine/page_image.h"
#include "fake_document.h"
#include "image_bytes.h"
#include "local_site.h"
#include "test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <unistd.h>

using testing_support::BodyLength;
using testing_support::FakeDocument;
using testing_support::LocalSite;
using testing_support::MakeImageBytes;
using testing_support::MakePngDeclaring;
using testing_support::Resource;
using testing_support::Sandbox;

namespace {

class PageImageTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    curl_ = new CurlGlobal;
    magick_ = new ImageLibraryInit;
  }
  static void TearDownTestSuite() {
    delete magick_;
    delete curl_;
  }
  void TearDown() override {
    for (const QString& path : temporary_) QFile::remove(path);
  }

  // Serves a picture under a path unique to this test, so the process-wide tried set
  // never hides it from another test.
  QString Serve(const QString& name, int width, int height, const char* format = "PNG") {
    const QString path = Unique(name);
    site_.Add(path, MakeImageBytes(width, height, format), "image/png");
    return path;
  }
  QString Unique(const QString& name) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return QStringLiteral("/%1/%2").arg(QString::fromLatin1(info->name()), name);
  }
  std::unique_ptr<CPageImageInfo> Fetch(const QString& path,
                                        std::optional<common::FailureReport>* failure = nullptr) {
    return engine::FetchImage(site_.Url(path), {site_.Url(QStringLiteral("/page.html")), userAgent_},
                              temporary_, failure);
  }

  static CurlGlobal* curl_;
  static ImageLibraryInit* magick_;
  LocalSite site_;
  QStringList temporary_;
  QString userAgent_; ///< the browser's, as the view passes it; empty: not known yet
};

CurlGlobal* PageImageTest::curl_ = nullptr;
ImageLibraryInit* PageImageTest::magick_ = nullptr;

} // namespace

TEST_F(PageImageTest, ThresholdIsInclusiveAndTheScanStopsAtTheFirstPageImage) {
  FakeDocument doc;
  const QString shorter = Serve("short.png", 300, 200);
  const QString tall = Serve("tall.png", 300, 2000);
  const QString wide = Serve("wide.png", 2000, 400);
  const QString missing = Unique("missing.png");
  const QString exact = Serve("exact.png", 301, 401);
  const QString after = Serve("after.png", 800, 1200);
  for (const QString& path : {shorter, tall, wide, missing, exact, after})
    doc.AddImage(site_.Url(path));
  // The downloads land in a folder of this test's own, so every file left can be counted.
  Sandbox temp;
  const QByteArray oldTemp = qgetenv("TMPDIR");
  qputenv("TMPDIR", QFile::encodeName(temp.path()));
  struct Restore {
    QByteArray value;
    ~Restore() { value.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", value); }
  } restore{oldTemp};

  engine::PageImageChoice choice;
  engine::ChoosePageImage(&doc, {site_.Url("/page.html"), {}}, temporary_, choice);
  ASSERT_TRUE(choice.chosen);
  EXPECT_EQ(choice.chosen->url, site_.Url(exact));
  EXPECT_EQ(choice.chosen->width, 301);
  EXPECT_EQ(choice.chosen->height, 401);
  EXPECT_EQ(choice.chosen->extension, ".png");
  ASSERT_TRUE(choice.candidate);
  EXPECT_EQ(choice.candidate->url, site_.Url(tall));
  EXPECT_EQ(site_.RequestCount(after), 0);
  // Only the chosen image and the candidate keep a file: the replaced candidate, the loser
  // and the failed fetch left nothing behind.
  EXPECT_EQ(site_.RequestCount(missing), 1);
  EXPECT_EQ(temporary_, QStringList({choice.candidate->temporaryPath, choice.chosen->temporaryPath}));
  EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files).size(), 2);
  for (const QString& path : temporary_) EXPECT_TRUE(QFile::exists(path));
}

TEST_F(PageImageTest, ImagesAddedDuringTheScanAreSeenButCannotHoldItForEver) {
  // A script adds the page image while the scan downloads the first picture.
  FakeDocument doc;
  doc.AddImage(site_.Url(Serve("logo.png", 100, 40)));
  const QString page = Serve("page.png", 640, 900);
  int listings = 0;
  doc.onListing = [&] {
    if (++listings == 2) doc.AddImage(site_.Url(page));
  };
  engine::PageImageChoice choice;
  engine::ChoosePageImage(&doc, {site_.Url("/page.html"), {}}, temporary_, choice);
  ASSERT_TRUE(choice.chosen);
  EXPECT_EQ(choice.chosen->url, site_.Url(page));

  // A page that adds another small picture for every one fetched: the scan still ends.
  FakeDocument endless;
  const QByteArray small = MakeImageBytes(20, 20, "PNG");
  int added = 0;
  endless.onListing = [&] {
    const QString path = Unique(QStringLiteral("more%1.png").arg(++added));
    site_.Add(path, small, "image/png");
    endless.AddImage(site_.Url(path));
  };
  engine::PageImageChoice none;
  engine::ChoosePageImage(&endless, {site_.Url("/page.html"), {}}, temporary_, none);
  EXPECT_FALSE(none.chosen);
  EXPECT_EQ(site_.Requests().size(), 2u + engine::kMaxFetchesPerScan);
}

TEST_F(PageImageTest, EqualHeightsKeepTheFirstAndTriedAddressesAreNeverFetchedAgain) {
  FakeDocument doc;
  const QString first = Serve("first.png", 100, 300);
  const QString second = Serve("second.png", 250, 300);
  doc.AddImage(site_.Url(first));
  doc.AddImage(site_.Url(second));

  engine::PageImageChoice choice;
  engine::ChoosePageImage(&doc, {site_.Url("/page.html"), {}}, temporary_, choice);
  EXPECT_FALSE(choice.chosen);
  ASSERT_TRUE(choice.candidate);
  EXPECT_EQ(choice.candidate->url, site_.Url(first));

  // Another view meeting the same addresses (as on the next page) gets nothing.
  engine::PageImageChoice next;
  engine::ChoosePageImage(&doc, {site_.Url("/page2.html"), {}}, temporary_, next);
  EXPECT_FALSE(next.candidate);
  EXPECT_EQ(site_.RequestCount(first), 1);
  EXPECT_EQ(site_.RequestCount(second), 1);
}

TEST_F(PageImageTest, RequestCarriesRefererAcceptBlockAndUserAgent) {
  const QString path = Serve("a.png", 400, 500);
  ASSERT_TRUE(Fetch(path));
  const auto requests = site_.Requests();
  ASSERT_EQ(requests.size(), 1);
  const auto& r = requests.front();
  EXPECT_EQ(r.Header("Referer"), site_.Url("/page.html").toUtf8());
  EXPECT_EQ(r.Header("Accept"), "*/*");
  EXPECT_EQ(r.Header("Accept-Encoding"), "gzip, deflate");
  // Before the browser has told its own user agent, a Chromium-like one goes out.
  EXPECT_EQ(r.Header("User-Agent"), engine::ImageUserAgent({}).toUtf8());
  EXPECT_TRUE(engine::ImageUserAgent({}).contains("Chrome/"));
  userAgent_ = QStringLiteral("Agent/1\r\nX-Evil: 1");
  ASSERT_TRUE(Fetch(path));
  EXPECT_EQ(site_.Requests().back().Header("User-Agent"), "Agent/1X-Evil: 1");
  EXPECT_TRUE(site_.Requests().back().Header("X-Evil").isEmpty());
  // A referring page with a line break cannot add headers of its own.
  EXPECT_EQ(engine::ImageRequestHeaders("http://x/\r\nX-Evil: 1").front(),
            QStringLiteral("Referer: http://x/X-Evil: 1"));
}

TEST_F(PageImageTest, EveryAddressOfARedirectGetsItsOwnCookies) {
  Resource moved;
  moved.status = 302;
  moved.headers = {{"Location", Unique("guarded.png").toUtf8()}};
  site_.Add(Unique("moved.png"), moved);
  Resource guarded{MakeImageBytes(400, 500, "PNG"), "image/png"};
  guarded.requiredCookies = {"id=7"};
  site_.Add(Unique("guarded.png"), guarded);
  QStringList asked;
  const engine::CookieSource cookies = [&](const QString& url) {
    asked << url;
    return url.endsWith("guarded.png") ? QStringLiteral("id=7; theme=dark")
                                       : QStringLiteral("first=1");
  };
  auto image = engine::FetchImage(site_.Url(Unique("moved.png")),
                                  {site_.Url("/page.html"), {}, cookies}, temporary_);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->height, 500);
  EXPECT_EQ(asked, QStringList({site_.Url(Unique("moved.png")), site_.Url(Unique("guarded.png"))}));
  const auto requests = site_.Requests();
  ASSERT_EQ(requests.size(), 2);
  EXPECT_EQ(requests[0].Header("Cookie"), "first=1");
  EXPECT_EQ(requests[1].Header("Cookie"), "id=7; theme=dark");

  // Without the cookies the image is refused; without a source none are sent.
  EXPECT_FALSE(Fetch(Unique("guarded.png")));
  EXPECT_TRUE(site_.Requests().last().Header("Cookie").isEmpty());
}

TEST_F(PageImageTest, ATricklingServerIsLeftTheMomentTheEngineIsToldToEnd) {
  Resource slow{MakeImageBytes(400, 500, "PNG"), "image/png"};
  slow.trickleMs = 250;
  site_.Add(Unique("slow.png"), slow);
  QElapsedTimer clock;
  clock.start();
  std::thread quit([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    engine::SetImageFetchAbort(true);
  });
  auto image = Fetch(Unique("slow.png"));
  const qint64 took = clock.elapsed();
  quit.join();
  engine::SetImageFetchAbort(false);
  EXPECT_FALSE(image);
  EXPECT_LT(took, 1500);
  EXPECT_TRUE(temporary_.isEmpty());
}

TEST_F(PageImageTest, ContentLengthIsCheckedOnlyWhenStated) {
  const QByteArray png = MakeImageBytes(400, 500, "PNG");
  Resource none{png, "image/png"};
  none.length = BodyLength::None;
  site_.Add(Unique("none.png"), none);
  const auto accepted = Fetch(Unique("none.png"));
  ASSERT_TRUE(accepted);
  EXPECT_EQ(accepted->width, 400);

  Resource wrong{png, "image/png"};
  wrong.length = BodyLength::Wrong;
  wrong.statedLength = png.size() + 100;
  site_.Add(Unique("wrong.png"), wrong);
  EXPECT_FALSE(Fetch(Unique("wrong.png")));
}

TEST_F(PageImageTest, AnAnswerWithoutALengthIsLeftAtTheSizeCap) {
  // No length for libcurl's own limit: only counting the bytes as they come stops a stream
  // before it fills the disk (the decoder refuses the file only afterwards).
  Resource endless{QByteArray(1 << 20, 'x'), "image/png"};
  endless.length = BodyLength::None;
  endless.repeatUpTo = 2 * engine::kMaxImageBytes;
  site_.Add(Unique("endless.png"), endless);
  EXPECT_FALSE(Fetch(Unique("endless.png")));
  EXPECT_TRUE(temporary_.isEmpty()) << "the partial file is removed";
  EXPECT_LT(site_.BytesSent(Unique("endless.png")), engine::kMaxImageBytes * 3 / 2);
}

TEST_F(PageImageTest, CompressedAnswersToTheOfferedEncodingAreDecoded) {
  // The request offers deflate; a server taking it up sends a zlib stream (qCompress output
  // after its 4-byte size prefix), whose length is what Content-Length states.
  const QByteArray png = MakeImageBytes(400, 500, "PNG");
  Resource deflated{qCompress(png).mid(4), "image/png"};
  deflated.headers.append(qMakePair(QByteArray("Content-Encoding"), QByteArray("deflate")));
  site_.Add(Unique("deflated.png"), deflated);
  const auto image = Fetch(Unique("deflated.png"));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 400);
  EXPECT_EQ(image->height, 500);

  // A compressed body cut short of its stated length is still refused.
  Resource cut = deflated;
  cut.length = BodyLength::Wrong;
  cut.statedLength = deflated.body.size() + 100;
  site_.Add(Unique("cut.png"), cut);
  EXPECT_FALSE(Fetch(Unique("cut.png")));
}

TEST_F(PageImageTest, NonPicturesAndErrorPagesAreRejected) {
  site_.Add(Unique("page.jpg"), "<html><body>not found</body></html>", "image/jpeg");
  EXPECT_FALSE(Fetch(Unique("page.jpg")));
  const QByteArray svg = "<?xml version=\"1.0\"?><svg xmlns=\"http://www.w3.org/2000/svg\" "
                         "width=\"500\" height=\"800\"></svg>";
  site_.Add(Unique("drawing.png"), svg, "image/png");
  EXPECT_FALSE(Fetch(Unique("drawing.png")));
  Resource missing{MakeImageBytes(400, 500, "PNG"), "image/png"};
  missing.status = 404;
  site_.Add(Unique("missing.png"), missing);
  EXPECT_FALSE(Fetch(Unique("missing.png")));
  EXPECT_FALSE(Fetch(Unique("never-registered.png")));
  // Only web addresses are fetched.
  EXPECT_FALSE(engine::FetchImage("file:///etc/hostname", {}, temporary_));
  EXPECT_FALSE(engine::FetchImage("", {}, temporary_));
}

TEST_F(PageImageTest, DeclaredHugePicturesAreRefusedNotDecoded) {
  site_.Add(Unique("bomb.png"), MakePngDeclaring(100000, 100000), "image/png");
  EXPECT_FALSE(Fetch(Unique("bomb.png")));
  site_.Add(Unique("square.png"), MakePngDeclaring(29000, 29000), "image/png");
  EXPECT_FALSE(Fetch(Unique("square.png")));
  // A valid picture beyond the side limit is refused too, while a slimmer one decodes.
  Sandbox sandbox;
  ASSERT_TRUE(testing_support::WriteBytes(sandbox.file("long.png"), MakeImageBytes(31000, 4, "PNG")));
  EXPECT_FALSE(engine::DecodeImageFile(sandbox.file("long.png")));
  ASSERT_TRUE(testing_support::WriteBytes(sandbox.file("ok.png"), MakeImageBytes(29000, 4, "PNG")));
  EXPECT_TRUE(engine::DecodeImageFile(sandbox.file("ok.png")));
}

TEST_F(PageImageTest, FormatComesFromTheLeadingBytesAndNamesTheExtension) {
  struct Case {
    const char* coder;
    const char* extension;
  };
  for (const Case& c : {Case{"JPEG", ".jpg"}, Case{"PNG", ".png"}, Case{"GIF", ".gif"},
                        Case{"BMP", ".bmp"}, Case{"TIFF", ".tif"}}) {
    const QString path = Unique(QStringLiteral("pic.%1").arg(c.coder));
    // Served under a misleading name and type: only the bytes count.
    site_.Add(path, MakeImageBytes(320, 410, c.coder), "application/octet-stream");
    const auto image = Fetch(path);
    ASSERT_TRUE(image) << c.coder;
    EXPECT_EQ(image->extension, QString::fromLatin1(c.extension)) << c.coder;
    EXPECT_EQ(image->width, 320) << c.coder;
  }
  if (common::CanDecodeImage(common::ImageFormat::WebP)) {
    site_.Add(Unique("pic.webp"), MakeImageBytes(320, 410, "WEBP"), "image/webp");
    const auto webp = Fetch(Unique("pic.webp"));
    ASSERT_TRUE(webp);
    EXPECT_EQ(webp->extension, ".webp");
  }
  // An icon is a skin picture format, never a page image.
  site_.Add(Unique("pic.ico"), testing_support::MakeIconBytes(), "image/png");
  EXPECT_FALSE(Fetch(Unique("pic.ico")));
}

TEST_F(PageImageTest, SavedPageReplacesOnlyItsOwnFormatAndGetsANewFilesMode) {
  Sandbox sandbox;
  const QString folder = sandbox.path() + "/";
  const auto png = Fetch(Serve("p.png", 400, 500, "PNG"));
  const auto jpg = Fetch(Serve("p.jpg", 400, 500, "JPEG"));
  ASSERT_TRUE(png && jpg);

  ASSERT_TRUE(testing_support::WriteBytes(folder + "012.png", "old page"));
  ASSERT_TRUE(engine::SavePageImageFile(*png, folder, 12));
  EXPECT_EQ(testing_support::ReadBytes(folder + "012.png"),
            testing_support::ReadBytes(png->temporaryPath));
  EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"012.png"});

  ASSERT_TRUE(testing_support::WriteBytes(folder + "012.png", "old page"));
  ASSERT_TRUE(engine::SavePageImageFile(*jpg, folder, 12));
  EXPECT_EQ(testing_support::ReadBytes(folder + "012.png"), "old page");
  EXPECT_EQ(testing_support::ReadBytes(folder + "012.jpg"),
            testing_support::ReadBytes(jpg->temporaryPath));
  EXPECT_TRUE(QFile::exists(jpg->temporaryPath)); // the view deletes it later

  // A saved page has the mode of any new file, not the temporary file's private 0600.
  EXPECT_EQ(testing_support::FileMode(png->temporaryPath), 0600);
  int page = 13;
  for (const auto& [mask, mode] : {std::pair{022, 0644}, std::pair{027, 0640}}) {
    testing_support::ScopedUmask umask(mask);
    ASSERT_TRUE(engine::SavePageImageFile(*png, folder, page));
    EXPECT_EQ(testing_support::FileMode(folder + QStringLiteral("%1.png").arg(page++, 3, 10, QLatin1Char('0'))), mode) << std::oct << mask;
  }
}

TEST_F(PageImageTest, AFailedPageWriteSaysWhyAndLeavesNoHalfPage) {
  const auto png = Fetch(Serve("full.png", 400, 500, "PNG"));
  ASSERT_TRUE(png);
  Sandbox sandbox;
  const QString folder = sandbox.path() + "/";
  ASSERT_TRUE(testing_support::WriteBytes(folder + "005.png", "the page so far"));
  // A write into /dev/full fails as a write on a full disk does (ENOSPC).
  ASSERT_TRUE(QFile::link("/dev/full", folder + ".005.png.part"));
  common::FailureReport failure;
  EXPECT_FALSE(engine::SavePageImageFile(*png, folder, 5, &failure));
  EXPECT_EQ(failure.reason, common::FailureReason::DiskFull);
  EXPECT_EQ(testing_support::ReadBytes(folder + "005.png"), "the page so far");
  EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{"005.png"});

  EXPECT_FALSE(engine::SavePageImageFile(*png, folder + "missing/", 5, &failure));
  EXPECT_EQ(failure.reason, common::FailureReason::FolderNotWritable);
  EXPECT_FALSE(failure.detail.isEmpty());

}

TEST_F(PageImageTest, EveryRefusedImageSaysWhy) {
  using common::FailureReason;
  site_.Add(Unique("page.jpg"), "<html><body>not found</body></html>", "image/jpeg");
  Resource missing{MakeImageBytes(400, 500, "PNG"), "image/png"};
  missing.status = 404;
  site_.Add(Unique("missing.png"), missing);
  Resource cut{MakeImageBytes(400, 500, "PNG"), "image/png"};
  cut.length = BodyLength::Wrong;
  cut.statedLength = cut.body.size() + 100;
  site_.Add(Unique("cut.png"), cut);
  Resource huge{"x", "image/png"};
  huge.length = BodyLength::Wrong;
  huge.statedLength = engine::kMaxImageBytes + 1;
  site_.Add(Unique("huge.png"), huge);
  Resource loop;
  loop.status = 302;
  loop.headers = {{"Location", Unique("loop.png").toUtf8()}};
  site_.Add(Unique("loop.png"), loop);
  const QString closedPort = QStringLiteral("http://127.0.0.1:%1/x.png").arg(testing_support::ClosedPort());
  const struct {
    QString url;
    FailureReason reason;
    QString detail; ///< the start of the detail
  } cases[] = {
      {site_.Url(Unique("page.jpg")), FailureReason::ImageNotPicture, ""},
      {site_.Url(Unique("missing.png")), FailureReason::ImageHttpError, "404"},
      {site_.Url(Unique("cut.png")), FailureReason::ImageCutShort, ""},
      {site_.Url(Unique("huge.png")), FailureReason::ImageTooLarge, ""},
      {site_.Url(Unique("loop.png")), FailureReason::ImageRedirects, ""},
      {closedPort, FailureReason::ImageNoAnswer, "Couldn't connect"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url.toStdString());
    std::optional<common::FailureReport> failure;
    EXPECT_FALSE(engine::FetchImage(c.url, {site_.Url("/page.html")}, temporary_, &failure));
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->reason, c.reason);
    EXPECT_TRUE(c.detail.isEmpty() || failure->detail.startsWith(c.detail)) << failure->detail.toStdString();
  }
  EXPECT_TRUE(temporary_.isEmpty());
}

TEST_F(PageImageTest, PageNumbersHaveAtLeastThreeDigitsAndFailuresAreReported) {
  EXPECT_EQ(engine::PageImageFileName("/t/", 7, ".jpg"), "/t/007.jpg");
  EXPECT_EQ(engine::PageImageFileName("/t/", 1234, ".png"), "/t/1234.png");
  const auto png = Fetch(Serve("q.png", 400, 500));
  ASSERT_TRUE(png);
  Sandbox sandbox;
  EXPECT_FALSE(engine::SavePageImageFile(*png, sandbox.path() + "/missing/", 3));
  EXPECT_FALSE(QFile::exists(sandbox.path() + "/missing/003.png"));
}

TEST_F(PageImageTest, DataAddressesCarryTheirBytesAndBlobAddressesAreNeverFetched) {
  const QByteArray png = MakeImageBytes(320, 410, "PNG");
  const QString base64 = QString::fromLatin1(png.toBase64());
  // data: addresses carry their bytes, in base64 (also broken by blanks or escapes) or not.
  EXPECT_EQ(engine::DecodeDataUrl("DATA:;BASE64," + base64.left(8) + "%0A " + base64.mid(8)), png);
  EXPECT_EQ(engine::DecodeDataUrl("data:text/plain,a%20b,c"), QByteArray("a b,c"));
  for (const QString& bad : {"data:image/png;base64,@@@", "data:image/png;base64", "http://x/a.png"})
    EXPECT_FALSE(engine::DecodeDataUrl(bad)) << bad.toStdString();

  // A blob: address the page cannot give is nothing, never a request; bytes that are no
  // picture leave no file behind.
  EXPECT_FALSE(engine::ObtainImage("blob:" + site_.Url("/gone"), {}, temporary_));
  EXPECT_FALSE(engine::ObtainImage("data:image/png;base64,AAAA", {}, temporary_));
  EXPECT_TRUE(temporary_.isEmpty());
  EXPECT_TRUE(site_.Requests().isEmpty());
}
