// Result lines and the result file of a link search.
#include "engine/search_result.h"
#include "result_file.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using engine::SearchResultLine;
using testing_support::ReadBytes;

TEST(SearchResultLine, AddressThreeSpacesFolderAndLinkText) {
  EXPECT_EQ(SearchResultLine(QStringLiteral("http://site/c/12.html"), QStringLiteral("/home/u/Comics/"),
                             QStringLiteral("Chapter 12")),
            QStringLiteral("http://site/c/12.html   /home/u/Comics/Chapter 12\r\n"));
}

TEST(SearchResultLine, EveryLinkStaysOnOneLine) {
  const QString line = SearchResultLine(QStringLiteral("http://site/a b\r\nc"), QStringLiteral("/f/"),
                                        QStringLiteral("Chapter\r\n12\r\n"));
  EXPECT_EQ(line, QStringLiteral("http://site/a%20b%0D%0Ac   /f/Chapter 12\r\n"));
  EXPECT_EQ(line.count(QLatin1Char('\n')), 1);
  EXPECT_EQ(line.count(QLatin1Char('\r')), 1);
}

TEST(SearchResultLines, LinksWithTheSameTextGetDistinctFolders) {
  engine::CSearchResultLines lines(QStringLiteral("/f/"));
  for (const char* text : {"Chapter 1", "Chapter 1", " Chapter\n1 ", "Chapter 1 2", "", "..."})
    lines.Add(QStringLiteral("http://s/x"), QString::fromUtf8(text));
  EXPECT_EQ(lines.Text(), QStringLiteral("http://s/x   /f/Chapter 1\r\n"
                                         "http://s/x   /f/Chapter 1 2\r\n"
                                         "http://s/x   /f/Chapter 1 3\r\n"
                                         "http://s/x   /f/Chapter 1 2 2\r\n"
                                         "http://s/x   /f/chapter\r\n"
                                         "http://s/x   /f/chapter 2\r\n"));
}

TEST(SearchResultFile, TempFileStartsWithFFFEAndHoldsUtf16Le) {
  const QString text = QString::fromUtf8("http://s/1   /f/第1话 😀\r\n");
  const QString path = engine::CreateSearchResultFile(text);
  ASSERT_FALSE(path.isEmpty());
  EXPECT_EQ(QFileInfo(path).absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
  EXPECT_TRUE(QFileInfo(path).fileName().startsWith(QLatin1Char('t')));
  const QByteArray bytes = ReadBytes(path);
  QFile::remove(path);
  ASSERT_TRUE(search_test::HasUtf16LeMark(bytes));
  EXPECT_EQ(bytes.size(), 2 + text.size() * 2); // no terminating zero
  EXPECT_EQ(bytes.mid(2, 4), QByteArray("h\0t\0", 4));
  EXPECT_EQ(search_test::DecodeResult(bytes), text);
}

TEST(SearchResultFile, EmptyResultIsJustTheMarkAndReadableLikeANewFile) {
  testing_support::ScopedUmask umask(022);
  const QString path = engine::CreateSearchResultFile(QString());
  ASSERT_FALSE(path.isEmpty());
  EXPECT_EQ(ReadBytes(path), QByteArray("\xFF\xFE", 2));
  EXPECT_EQ(testing_support::FileMode(path), 0644) << "the user's viewer may run as anyone";
  QFile::remove(path);
}
