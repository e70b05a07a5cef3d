// Chapter links found by themselves: which links of a list page are the series' chapters, in
// what order, with what number and folder; and the series name a list page gives.
#include "core/chapter_links.h"
#include "core/series_name.h"

#include <gtest/gtest.h>

using chapter_links::ChapterLink;
using chapter_links::FoundLink;

TEST(ChapterNumber, LabelsInEveryLanguageAndBareNumbers) {
  const struct {
    const char16_t* text;
    const char* number;
  } rows[] = {
      {u"第12话 决战", "12"},         {u"第12回", "12"},       {u"第 12 章", "12"},
      {u"第十二话", "12"},            {u"第一百零五話", "105"}, {u"12話 雨", "12"},
      {u"제12화", "12"},              {u"Chapter 12", "12"},   {u"EP 04", "4"},
      {u"chapter 12.5: The Storm", "12.5"}, {u"Ch. 7", "7"},   {u"Ch.007", "7"},
      {u"Vol.2 Ch.13", "13"},        {u"Episode 3", "3"},     {u"#12", "12"},
      {u"12", "12"},                 {u"  [012] ", "12"},
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

TEST(ChapterLinks, ListPagesGiveTheirChaptersOnlyOldestFirst) {
  // Addresses are paths on one site; a chapter is "NUMBER PATH" in the expected reading order.
  const struct {
    const char* what;
    QList<FoundLink> links;
    QStringList chapters;
  } rows[] = {
      {"Chinese, newest first, a start-reading link above it, another series' update below",
       {{"/", "Home"}, {"/rank/1.html", "Ranking"}, {"/comic/77/8001.html", QStringLiteral(u"开始阅读")},
        {"/comic/77/9013.html", QStringLiteral(u"第3话 终章")}, {"/comic/77/8870.html", QStringLiteral(u"第2话")},
        {"/comic/77/8001.html", QStringLiteral(u"第1话 开始")}, {"/comic/91/5555.html", QStringLiteral(u"第88话")}},
       {"1 /comic/77/8001.html", "2 /comic/77/8870.html", "3 /comic/77/9013.html"}},
      {"English among page numbers, a ranking and other series' latest chapters",
       {{"/latest?page=2", "2"}, {"/latest?page=3", "3"}, {"/m/sky/chapter-88", "Sky Chapter 88"},
        {"/m/tide/chapter-12-5", "Chapter 12.5"}, {"/m/tide/chapter-12", "Chapter 12"}, {"/m/tide/chapter-11", "Chapter 11"},
        {"/m/iron/chapter-240", "Iron Chapter 240"}, {"/m/top-1", "#1 Sky"}, {"/m/top-2", "#2 Iron"}},
       {"11 /m/tide/chapter-11", "12 /m/tide/chapter-12", "12.5 /m/tide/chapter-12-5"}},
      {"a webcomic archive: titles only, numbers in the address, a half step",
       {{"/about", "About"}, {"/comic/1/", "The Door"}, {"/comic/2/", "Rain 2"}, {"/comic/3/", "The Hall"},
        {"/comic/3/", "Latest"}, {"/comic/2-5/", "Interlude"}},
       {"1 /comic/1/", "2 /comic/2/", "2.5 /comic/2-5/", "3 /comic/3/"}},
      {"dates are no chapter numbers", {{"/2024-05-01/", "Spring"}, {"/2024-06-01/", "Summer"}},
       {" /2024-05-01/", " /2024-06-01/"}},
      {"no group of two: the links named as chapters",
       {{"/one/1.html", "Chapter 1"}, {"/about.html", "About"}, {"/two/1.html", "Chapter 2"}, {"/news/7.html", "News 7"}},
       {"1 /one/1.html", "2 /two/1.html"}},
      {"nothing numbered", {{"/", "Home"}}, {}},
  };
  for (const auto& row : rows) {
    QList<FoundLink> links = row.links;
    for (FoundLink& link : links) link.url.prepend("http://s.example");
    QStringList chapters;
    for (const ChapterLink& c : chapter_links::FindChapterLinks(links))
      chapters << c.number + " " + c.url.mid(QString("http://s.example").size());
    EXPECT_EQ(chapters, row.chapters) << row.what;
  }
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
      {u"Read Tide Keeper Manga Online", u"Tide Keeper", "https://other.example/x", u"Tide Keeper"},
      {u"海贼王漫画_海贼王最新章节_某某漫画网", u"", "http://www.mm.example/c/77/", u"海贼王"},
      {u"《海贼王》全集 - 在线阅读", u"海贼王", "http://mm.example/", u"海贼王"},
      {u"Tide Keeper - MangaSite", u"Tide Keeper (Official)", "https://mangasite.com/", u"Tide Keeper (Official)"},
      {u"Tide Keeper - MangaSite", u"Chapters", "https://mangasite.com/", u"Tide Keeper"},
      {u"Tide Keeper", u"Latest news: servers moved", "https://a.example/", u"Tide Keeper"},
      {u"", u"  Lonely\n Heading ", "https://a.example/", u"Lonely Heading"},
      {u"Spider-Man: The Web - Comics", u"", "https://a.example/", u"Spider-Man: The Web"},
      {u"MangaSite", u"", "https://mangasite.com/", u""},
  };
  for (const auto& row : rows) {
    const QString title = QString::fromUtf16(row.title);
    EXPECT_EQ(series_name::SeriesName(title, QString::fromUtf16(row.heading), row.url),
              QString::fromUtf16(row.series))
        << title.toStdString();
  }
}
