// The links of a link search and the result file that carries them to the front-end.
#include "common/search_result_file.h"
#include "engine/search_result.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using common::FoundLink;
using testing_support::Sandbox;
using testing_support::WriteBytes;

TEST(SearchResult, EveryLinkStaysOnOneLineAndSameTextsGetDistinctFolders) {
  engine::CSearchResult result(QStringLiteral("/f/"));
  result.Add(QStringLiteral("http://site/a b\r\nc"), QStringLiteral("Chapter\r\n12\r\n"));
  for (const char* text : {"Chapter 1", "Chapter 1", " Chapter\n1 ", "Chapter 1 2", "", "..."})
    result.Add(QStringLiteral("http://s/x"), QString::fromUtf8(text));
  const std::vector<FoundLink> expected{
      {"http://site/a%20b%0D%0Ac", "/f/Chapter 12", "Chapter 12"},
      {"http://s/x", "/f/Chapter 1", "Chapter 1"},
      {"http://s/x", "/f/Chapter 1 2", "Chapter 1"},
      {"http://s/x", "/f/Chapter 1 3", "Chapter 1"},
      {"http://s/x", "/f/Chapter 1 2 2", "Chapter 1 2"},
      {"http://s/x", "/f/chapter", ""},
      {"http://s/x", "/f/chapter 2", "..."},
  };
  EXPECT_EQ(result.Links(), expected);
  EXPECT_EQ(common::SearchResultLine(expected[1]), QStringLiteral("http://s/x   /f/Chapter 1"));
}

TEST(SearchResultFile, RoundTripKeepsEveryCharacterAndLeavesNoTemporaryFile) {
  Sandbox box;
  const QString path = box.file(QStringLiteral("result.json"));
  const std::vector<FoundLink> links{
      {QString::fromUtf8("http://s/1"), QString::fromUtf8("/f/第1话 😀"), QString::fromUtf8("第1话 \"q\" \\")},
      {QStringLiteral("http://s/2"), QStringLiteral("/f/x"), QString()},
  };
  const common::ListPage page{QString::fromUtf8("海贼王 \"最新\""), QStringLiteral("One Piece"), 1100};
  ASSERT_TRUE(common::WriteSearchResultFile(path, links, page));
  EXPECT_EQ(common::ReadSearchResultFile(path), (common::SearchResult{links, page}));
  EXPECT_EQ(QDir(box.path()).entryList(QDir::Files), QStringList{QStringLiteral("result.json")});
  ASSERT_TRUE(common::WriteSearchResultFile(path, {}));
  EXPECT_EQ(common::ReadSearchResultFile(path), common::SearchResult());
  EXPECT_FALSE(common::WriteSearchResultFile(box.file(QStringLiteral("no/such/folder/r")), links));
}

TEST(SearchResultFile, DamagedFilesAreRefusedAndOddEntriesPassedOver) {
  Sandbox box;
  const QString path = box.file(QStringLiteral("result.json"));
  EXPECT_FALSE(common::ReadSearchResultFile(path).has_value()) << "missing";
  for (const char* bytes : {"", "\xFF\xFE", "[]", "{\"links\": 3}", "{\"links\": [", "null"}) {
    WriteBytes(path, bytes);
    EXPECT_FALSE(common::ReadSearchResultFile(path).has_value()) << bytes;
  }
  WriteBytes(path, "{\"links\": [1, {\"folder\": \"/f/a\"}, {\"url\": \"http://s/1\", \"more\": 1},"
                   " {\"url\": 5}, {\"url\": \"http://s/2\", \"text\": \"T\", \"folder\": \"/f/b\"}],"
                   " \"engine\": \"later\", \"page\": {\"title\": 7, \"count\": -3}}");
  const std::vector<FoundLink> expected{{"http://s/1", "", ""}, {"http://s/2", "/f/b", "T"}};
  EXPECT_EQ(common::ReadSearchResultFile(path), (common::SearchResult{expected, {}}));
}
