// A user's cookies.txt: what is a cookie, what is skipped, and what is said about it.
#include "common/cookies_file.h"

#include "test_support.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using common::FileCookie;
using common::ParseCookiesText;

namespace {
constexpr qint64 kNow = 1700000000;
} // namespace

TEST(CookiesFile, LinesOfEveryExporterAreReadAndTheRestIsNamed) {
  const QByteArray text =
      "# Netscape HTTP Cookie File\n"                                          // 1
      "\n"                                                                       // 2
      ".example.com\tTRUE\t/\tFALSE\t0\tsession\tabc\n"                          // 3
      "#HttpOnly_shop.example.com\tFALSE\t/cart\tTRUE\t1900000000\tid\t7=x\r\n"  // 4
      "127.0.0.1\tFALSE\t/\tFALSE\t0\tempty\n"                                   // 5: no value
      "old.example.com\tFALSE\t/\tFALSE\t1600000000\tgone\t1\n"                  // 6: expired
      "bad line without tabs\n"                                                  // 7
      "x.com\tMAYBE\t/\tFALSE\t0\tn\tv\n"                                        // 8
      "x.com\tTRUE\tnoslash\tFALSE\t0\tn\tv\n"                                   // 9
      "x.com\tTRUE\t/\tFALSE\tsoon\tn\tv\n"                                      // 10
      "x.com\tTRUE\t/\tFALSE\t0\t\tv\n"                                          // 11
      "x.com\tTRUE\t/\tFALSE\t0\tn\tv;evil=1\n"                                  // 12
      "x.com\tTRUE\t/\tFALSE\t0\tn\tv\textra\n"                                  // 13
      "   \t \n";                                                                 // 14
  const common::CookiesFile file = ParseCookiesText(text, kNow);
  EXPECT_TRUE(file.error.isEmpty());
  ASSERT_EQ(file.cookies.size(), 3u);
  EXPECT_EQ(file.cookies[0], (FileCookie{"example.com", true, "/", false, 0, "session", "abc", false}));
  EXPECT_EQ(file.cookies[1],
            (FileCookie{"shop.example.com", false, "/cart", true, 1900000000, "id", "7=x", true}));
  EXPECT_EQ(file.cookies[2], (FileCookie{"127.0.0.1", false, "/", false, 0, "empty", "", false}));
  EXPECT_EQ(file.malformedLines, (QList<int>{7, 8, 9, 10, 11, 12, 13}));
}

TEST(CookiesFile, OneWarningNamesTheSkippedLines) {
  EXPECT_EQ(common::MalformedLinesWarning("c.txt", {}), "");
  EXPECT_EQ(common::MalformedLinesWarning("c.txt", {3}), "c.txt: malformed line 3 skipped");
  EXPECT_EQ(common::MalformedLinesWarning("c.txt", {3, 7, 9}),
            "c.txt: malformed lines 3, 7 and 9 skipped");
  QList<int> many;
  for (int i = 1; i <= 12; ++i) many << i * 2;
  EXPECT_EQ(common::MalformedLinesWarning("c.txt", many),
            "c.txt: malformed lines 2, 4, 6, 8, 10, 12, 14, 16, 18 and 20 (12 in all) skipped");
}

TEST(CookiesFile, TheFileIsOnlyReadAndWhatCannotBeReadSaysWhy) {
  testing_support::Sandbox box;
  const QString path = box.file("cookies.txt");
  const QByteArray text = "127.0.0.1\tFALSE\t/\tFALSE\t0\tmember\t7\n";
  ASSERT_TRUE(testing_support::WriteBytes(path, text));
  ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner));
  const QDateTime modified = QFileInfo(path).lastModified();
  const common::CookiesFile file = common::ReadCookiesFile(path);
  ASSERT_EQ(file.cookies.size(), 1u);
  EXPECT_EQ(file.cookies[0].value, "7");
  EXPECT_EQ(testing_support::ReadBytes(path), text);
  EXPECT_EQ(QFileInfo(path).lastModified(), modified);

  EXPECT_TRUE(common::ReadCookiesFile(box.file("missing.txt")).error.contains("missing.txt"));
  EXPECT_FALSE(common::ReadCookiesFile(box.path()).error.isEmpty()) << "a folder";
  QFile big(box.file("big.txt"));
  ASSERT_TRUE(big.open(QIODevice::WriteOnly));
  ASSERT_TRUE(big.resize(common::kMaxCookiesFileBytes + 1));
  big.close();
  const common::CookiesFile tooBig = common::ReadCookiesFile(big.fileName());
  EXPECT_FALSE(tooBig.error.isEmpty());
  EXPECT_TRUE(tooBig.cookies.empty());
}
