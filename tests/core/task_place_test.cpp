// How the task list names a task and finds where its pages are, and the found links the
// search dialog offers.
#include "core/found_links.h"
#include "core/task_info.h"
#include "core/task_place.h"
#include "test_support.h"

#include <QDir>
#include <gtest/gtest.h>

using testing_support::Sandbox;

TEST(TaskPlace, ChapterTitleDropsThePagePartWhereverItStands) {
  const struct {
    const char* title;
    const char* name;
  } cases[] = {
      {"Comic 第1话 第1页", "Comic 第1话"},
      {"Comic 第1话 第 12 页 - 漫画站", "Comic 第1话 - 漫画站"},
      {"Comic 第1话(第3页)", "Comic 第1话"},
      {"Comic 第2回 第3/20頁", "Comic 第2回"},
      {"第3话 3/20页", "第3话"},
      {"One Piece Chapter 1 - Page 3", "One Piece Chapter 1"},
      {"One Piece Chapter 1 - page 3 of 20 - Reader", "One Piece Chapter 1 - Reader"},
      {"Chapter 5 - 1/20", "Chapter 5"},
      {"Chapter 5 (3/20)", "Chapter 5"},
      {"Chapter 5 [3 / 20] | Site", "Chapter 5 | Site"},
      {"Vol 2 Ch 3 | 2ページ", "Vol 2 Ch 3"},
      {"제5화 3페이지", "제5화"},
      {"PAGE 7: Chapter 9", "Chapter 9"},
      // Nothing to take away, or nothing would be left.
      {"Chapter 10", "Chapter 10"},
      {"第10话", "第10话"},
      {"Pages of history", "Pages of history"},
      {"Homepage 2", "Homepage 2"},
      {"Issue 2020/10", "Issue 2020/10"}, // a date, not page 2020 of 10
      {"Page 1", "Page 1"},
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(task_place::ChapterTitle(QString::fromUtf8(c.title)), QString::fromUtf8(c.name))
        << c.title;
}

TEST(TaskPlace, APackedChapterIsItsArchiveOnlyWhenItsPagesAreGone) {
  Sandbox box;
  CTaskInfo task;
  task.url = QStringLiteral("http://site/c/1");
  task.folder = box.file("Chapter 1/");
  EXPECT_EQ(task_place::TaskName(task), task.url) << "no title yet";
  EXPECT_EQ(task_place::PlaceName(task), QStringLiteral("Chapter 1"));
  ASSERT_TRUE(testing_support::WriteBytes(box.file("Chapter 1.cbz"), "PK"));
  EXPECT_TRUE(task_place::TaskArchive(task).isEmpty()) << "not finished: no archive yet";
  task.total = task.finish = 3;
  QDir().mkpath(task.folder);
  ASSERT_TRUE(testing_support::WriteBytes(task.folder + "001.jpg", "x"));
  EXPECT_TRUE(task_place::TaskArchive(task).isEmpty()) << "its pages are still loose";
  QDir(task.folder).removeRecursively();
  EXPECT_EQ(task_place::TaskArchive(task), box.file("Chapter 1.cbz"));
  EXPECT_EQ(task_place::PlaceName(task), QStringLiteral("Chapter 1.cbz"));
  task.archive = box.file("elsewhere.cbz"); // packed in this run: as recorded
  EXPECT_EQ(task_place::TaskArchive(task), task.archive);
}

TEST(FoundLinks, AFilterHidesLinksWithoutForgettingTheirMarksAndRowsCountShownLinks) {
  CFoundLinks links;
  links.Assign({{"http://s/1", "/f/One", "One"},
                {"http://s/home", "/f/Home", "Home"},
                {"http://s/2", "/f/Two", "Two"}});
  EXPECT_EQ(links.CheckedRows(), (std::vector<int>{0, 1, 2})) << "all checked at first";
  links.SetChecked(2, false);
  links.SetFilter([](const common::FoundLink& link) { return link.text != "Home"; });
  ASSERT_EQ(links.ShownCount(), 2);
  EXPECT_EQ(links.Shown(1).link.text, "Two");
  EXPECT_FALSE(links.Shown(1).checked);
  links.SetFolder(1, "/f/2");
  EXPECT_EQ(links.Text(), "http://s/1   /f/One\nhttp://s/2   /f/2\n");
  links.CheckAll(false);
  EXPECT_TRUE(links.CheckedRows().empty());
  links.SetFilter({});
  EXPECT_EQ(links.CheckedRows(), (std::vector<int>{1})) << "the hidden link kept its mark";
  EXPECT_EQ(links.Shown(2).link.folder, "/f/2");
  links.Assign({});
  EXPECT_TRUE(links.IsEmpty());
}
