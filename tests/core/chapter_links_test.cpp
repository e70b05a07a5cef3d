// Chapter links found by themselves: which links of a list page are the series' chapters, in
// what order, with what number and folder; and the series name a list page gives.
#include "core/chapter_links.h"
#include "core/series_name.h"

#include <gtest/gtest.h>

using chapter_links::ChapterLink;
using chapter_links::FoundLink;

namespace {

QStringList Numbers(const QList<ChapterLink>& chapters) {
  QStringList numbers;
  for (const ChapterLink& c : chapters) numbers << c.number;
  return numbers;
}

QStringList Urls(const QList<ChapterLink>& chapters) {
  QStringList urls;
  for (const ChapterLink& c : chapters) urls << c.url;
  return urls;
}

} // namespace

TEST(ChapterNumber, LabelsInEveryLanguageAndBareNumbers) {
  const struct {
    const char16_t* text;
    const char* number;
  } rows[] = {
      {u"第12话 决战", "12"},         {u"第12回", "12"},       {u"第 12 章", "12"},
      {u"第十二话", "12"},            {u"第一百零五話", "105"}, {u"第二十话", "20"},
      {u"12話 雨", "12"},             {u"제12화", "12"},        {u"Chapter 12", "12"},
      {u"chapter 12.5: The Storm", "12.5"}, {u"Ch. 7", "7"},   {u"Ch.007", "7"},
      {u"Vol.2 Ch.13", "13"},        {u"Episode 3", "3"},     {u"EP 04", "4"},
      {u"#12", "12"},                {u"12", "12"},           {u"  [012] ", "12"},
      {u"Chapter ０１２", "12"},      {u"Chapter 3.50", "3.5"}, {u"Chapter 8.0", "8"},
      // no chapter number: words that merely contain "ch" or "ep", numbers inside other text
      {u"Watch 12 trailers", ""},     {u"Step 3", ""},         {u"Top 10 series", ""},
      {u"2024-05-01", ""},            {u"", ""},               {u"Next", ""},
  };
  for (const auto& row : rows) {
    const QString text = QString::fromUtf16(row.text);
    EXPECT_EQ(chapter_links::NumberInText(text), QString::fromLatin1(row.number)) << text.toStdString();
  }
  EXPECT_TRUE(chapter_links::HasChapterLabel(QStringLiteral("Ch 3")));
  EXPECT_FALSE(chapter_links::HasChapterLabel(QStringLiteral("3")));
}

TEST(ChapterLinks, AddressShapesIgnoreNumbersOnlyAndKeepHostPathAndQuery) {
  using chapter_links::AddressShape;
  EXPECT_EQ(AddressShape("http://A.example/read/12/5.html"), "a.example/read/#/#.html");
  EXPECT_EQ(AddressShape("http://a.example/s/chapter-12-5"), AddressShape("http://a.example/s/chapter-13"));
  EXPECT_EQ(AddressShape("https://a.example/v?id=12&p=1#top"), "a.example/v?id=#&p=#");
  EXPECT_NE(AddressShape("http://a.example/one/1.html"), AddressShape("http://a.example/two/1.html"));
  EXPECT_NE(AddressShape("http://a.example/c/1"), AddressShape("http://b.example/c/1"));
}

TEST(ChapterLinks, ChineseListNewestFirstAmongOtherSeriesIsReadOldestFirst) {
  // Chapter addresses hold the series id and a chapter id that says nothing of the order.
  const QList<FoundLink> links = {
      {"http://m.example/", "首页"},
      {"http://m.example/rank/1.html", "排行榜"},
      {"http://m.example/comic/77/8001.html", QStringLiteral(u"开始阅读")}, // "start reading", above the list
      {"http://m.example/comic/77/9013.html", QStringLiteral(u"第3话 终章")},
      {"http://m.example/comic/77/8870.html", QStringLiteral(u"第2话")},
      {"http://m.example/comic/77/8001.html", QStringLiteral(u"第1话 开始")},
      {"http://m.example/comic/91/5555.html", QStringLiteral(u"第88话")}, // another series, updated today
  };
  const QList<ChapterLink> chapters = chapter_links::FindChapterLinks(links);
  EXPECT_EQ(Numbers(chapters), QStringList({"1", "2", "3"}));
  EXPECT_EQ(chapters.first().text, QStringLiteral(u"第1话 开始"));
  EXPECT_EQ(chapters.last().url, "http://m.example/comic/77/9013.html");
}

TEST(ChapterLinks, EnglishListKeepsDecimalsAndDropsMenusRankingAndOtherSeries) {
  const QString s = "https://read.example/manga/";
  QList<FoundLink> links = {
      {"https://read.example/", "Home"},
      {"https://read.example/latest?page=2", "2"},
      {"https://read.example/latest?page=3", "3"},
      {s + "tide-keeper", "Tide Keeper"},
      {s + "sky-cook/chapter-88", "Sky Cook Chapter 88"},
      {s + "iron-bloom/chapter-240", "Iron Bloom Chapter 240"},
  };
  for (const char* n : {"14", "13", "12-5", "12", "11"})
    links.append({s + "tide-keeper/chapter-" + n, QString("Chapter %1").arg(QString(n).replace('-', '.'))});
  for (int rank = 1; rank <= 3; ++rank)
    links.append({s + QString("top-%1-series").arg(rank), QString("#%1 Someone else").arg(rank)});
  const QList<ChapterLink> chapters = chapter_links::FindChapterLinks(links);
  EXPECT_EQ(Numbers(chapters), QStringList({"11", "12", "12.5", "13", "14"}));
  EXPECT_EQ(chapters[2].url, s + "tide-keeper/chapter-12-5");
}

TEST(ChapterLinks, NumbersComeFromTheAddressWhenTheTextHasNone) {
  // A webcomic archive: titles only, numbers in the address, oldest first.
  QList<FoundLink> links = {{"http://w.example/about", "About"}};
  const char* titles[] = {"The Door", "A Key", "Rain 2", "The Hall"};
  for (int i = 0; i < 4; ++i) links.append({QString("http://w.example/comic/%1/").arg(i + 1), titles[i]});
  links.append(FoundLink{"http://w.example/comic/4/", "Latest"});
  links.append(FoundLink{"http://w.example/comic/3-5/", "Interlude"}); // a half step between 3 and 4
  QList<ChapterLink> chapters = chapter_links::FindChapterLinks(links);
  EXPECT_EQ(Numbers(chapters), QStringList({"1", "2", "3", "3.5", "4"}));
  EXPECT_EQ(chapters[2].text, "Rain 2"); // the address number wins over a number inside a title

  // Dates are no chapter numbers: such chapters keep their titles as folder names.
  const QList<ChapterLink> dated = chapter_links::FindChapterLinks(
      {{"http://w.example/2024-05-01/", "Spring"}, {"http://w.example/2024-06-01/", "Summer"}});
  EXPECT_EQ(Numbers(dated), QStringList({"", ""}));
  QSet<QString> used;
  QList<ChapterLink> named = dated;
  chapter_links::NameFolders(named, "Seasons", used);
  EXPECT_EQ(named[1].folderName, "Summer");
}

TEST(ChapterLinks, PagesWithoutARealGroupTakeTheLinksNamedAsChapters) {
  const QList<ChapterLink> chapters = chapter_links::FindChapterLinks({
      {"http://a.example/one/1.html", "Chapter 1"},
      {"http://a.example/about.html", "About"},
      {"http://a.example/two/1.html", "Chapter 2"},
      {"http://a.example/news/7.html", "News 7"},
  });
  EXPECT_EQ(Urls(chapters), QStringList({"http://a.example/one/1.html", "http://a.example/two/1.html"}));
  EXPECT_TRUE(chapter_links::FindChapterLinks({{"http://a.example/", "Home"}}).isEmpty());
  EXPECT_TRUE(chapter_links::FindChapterLinks({}).isEmpty());
}

TEST(ChapterLinks, FolderNamesAreSafeDistinctAndNamedAfterTheSeries) {
  QList<ChapterLink> chapters = {{"u1", "Chapter 1", "1", {}},
                                 {"u2", "Chapter 1 (other scan)", "1", {}},
                                 {"u3", "Special: ../../x", "", {}},
                                 {"u4", "Chapter 2.5", "2.5", {}}};
  QSet<QString> used = {"A/B - Chapter 2.5"};
  chapter_links::NameFolders(chapters, "A/B", used);
  EXPECT_EQ(chapters[0].folderName, "A_B - Chapter 1");
  EXPECT_EQ(chapters[1].folderName, "A_B - Chapter 1 2");
  EXPECT_EQ(chapters[2].folderName, "Special: .._.._x");
  EXPECT_EQ(chapters[3].folderName, "A_B - Chapter 2.5");
  EXPECT_EQ(chapter_links::ChapterFolderName("", chapters[3]), "Chapter 2.5");
  EXPECT_EQ(chapter_links::ChapterFolderName(".hidden", chapters[0]), "hidden - Chapter 1");
}

TEST(SeriesName, TitlesAndHeadingsCleanedOfTheSiteName) {
  const struct {
    const char16_t* title;
    const char16_t* heading;
    const char* url;
    const char16_t* series;
  } rows[] = {
      {u"Tide Keeper Manga - Read Online Free - MangaSite", u"", "https://www.manga-site.com/m/1", u"Tide Keeper"},
      {u"MangaSite | Tide Keeper Chapter List", u"", "https://mangasite.net/x", u"Tide Keeper"},
      {u"Read Tide Keeper Manga Online", u"Tide Keeper", "https://other.example/x", u"Tide Keeper"},
      {u"海贼王漫画_海贼王最新章节_某某漫画网", u"", "http://www.mm.example/c/77/", u"海贼王"},
      {u"《海贼王》全集 - 在线阅读", u"海贼王", "http://mm.example/", u"海贼王"},
      {u"Tide Keeper - MangaSite", u"MangaSite", "https://mangasite.com/", u"Tide Keeper"},
      {u"Tide Keeper - MangaSite", u"Tide Keeper (Official)", "https://mangasite.com/", u"Tide Keeper (Official)"},
      {u"Tide Keeper - MangaSite", u"Chapters", "https://mangasite.com/", u"Tide Keeper"},
      {u"Tide Keeper", u"Latest news: servers moved", "https://a.example/", u"Tide Keeper"},
      {u"", u"  Lonely\n Heading ", "https://a.example/", u"Lonely Heading"},
      {u"Spider-Man: The Web - Comics", u"", "https://a.example/", u"Spider-Man: The Web"},
      {u"MangaSite", u"", "https://mangasite.com/", u""},
      {u"", u"", "https://a.example/", u""},
  };
  for (const auto& row : rows) {
    const QString title = QString::fromUtf16(row.title);
    EXPECT_EQ(series_name::SeriesName(title, QString::fromUtf16(row.heading), row.url),
              QString::fromUtf16(row.series))
        << title.toStdString();
  }
}
