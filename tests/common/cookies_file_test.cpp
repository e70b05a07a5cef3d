// A user's cookies.txt: what is a cookie, what is skipped, and what is said about it.
#include "common/cookies_file.h"

#include "test_support.h"

#include <QFile>
#include <gtest/gtest.h>

using common::FileCookie;

TEST(CookiesFile, LinesOfEveryExporterAreReadAndTheRestIsNamedOnce) {
  const QByteArray text =
      "# Netscape HTTP Cookie File\n\n"                                          // 1, 2
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
      "x.com\tTRUE\t/\tFALSE\t0\tn\tv\textra\n";                                 // 13
  const common::CookiesFile file = common::ParseCookiesText(text, 1700000000);
  ASSERT_EQ(file.cookies.size(), 3u);
  EXPECT_EQ(file.cookies[0], (FileCookie{"example.com", true, "/", false, 0, "session", "abc", false}));
  EXPECT_EQ(file.cookies[1], (FileCookie{"shop.example.com", false, "/cart", true, 1900000000, "id", "7=x", true}));
  EXPECT_EQ(file.cookies[2], (FileCookie{"127.0.0.1", false, "/", false, 0, "empty", "", false}));
  EXPECT_EQ(file.malformedLines, (QList<int>{7, 8, 9, 10, 11, 12, 13}));
  EXPECT_EQ(common::MalformedLinesWarning("c", file.malformedLines), "c: malformed lines 7, 8, 9, 10, 11, 12 and 13 skipped");
  EXPECT_EQ(common::MalformedLinesWarning("c.txt", {3}), "c.txt: malformed line 3 skipped");
  EXPECT_TRUE(common::MalformedLinesWarning("c.txt", QList<int>(12, 1)).endsWith("1 (12 in all) skipped"));
}

TEST(CookiesFile, WhatCannotBeReadSaysWhy) {
  testing_support::Sandbox box;
  QFile big(box.file("big.txt"));
  ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(common::kMaxCookiesFileBytes + 1));
  big.close();
  for (const QString& bad : {box.file("missing.txt"), box.path(), big.fileName()}) {
    const common::CookiesFile file = common::ReadCookiesFile(bad);
    EXPECT_TRUE(file.error.contains(bad)) << file.error.toStdString();
    EXPECT_TRUE(file.cookies.empty());
  }
}
