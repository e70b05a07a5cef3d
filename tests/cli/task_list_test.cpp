// Chapter list lines: the link-search format and its variations. Where their folders may lead
// is the front-ends' folder rule, tested with both callers in tests/frontend.
#include "cli/task_list.h"

#include "test_support.h"

#include <gtest/gtest.h>

using namespace folivex_get;
using testing_support::Sandbox;

TEST(TaskList, LinkSearchLinesWithSpacesAndLineEnds) {
  Sandbox box;
  const QString text = "http://a/c/1   comics/Chapter 1\r\n"
                       "   http://a/c/2 comics/Chapter 2  \n"
                       "\thttp://a/c/3\t\tcomics/Chapter  3\n"
                       "\n"
                       "   \n"
                       "# a note\n"
                       "http://a/c/4   comics/Ch\u00e4pter 4";
  const TaskList list = ParseTaskList(text, box.path());
  EXPECT_TRUE(list.rejected.isEmpty()) << list.rejected.join('\n').toStdString();
  ASSERT_EQ(list.entries.size(), 4);
  EXPECT_EQ(list.entries[0].url, "http://a/c/1");
  EXPECT_EQ(list.entries[0].folder, box.path() + "/comics/Chapter 1");
  EXPECT_EQ(list.entries[1].url, "http://a/c/2");
  EXPECT_EQ(list.entries[1].folder, box.path() + "/comics/Chapter 2"); // trailing spaces go
  EXPECT_EQ(list.entries[2].folder, box.path() + "/comics/Chapter  3"); // inner spaces stay
  EXPECT_EQ(list.entries[3].line, 7);
  EXPECT_EQ(list.entries[3].folder, box.path() + "/comics/Ch\u00e4pter 4");
}

TEST(TaskList, MalformedLinesAreRefusedOneByOne) {
  Sandbox box;
  const QString text = "http://a/c/1\n"           // no folder
                       "http://a/c/2      \n"     // only spaces after it
                       "comics/x   http://a/c/3\n" // the wrong way round
                       "javascript:go()   x\n"
                       "http://a/c/4   ok\n"
                       "http://a/c/5   tab\there\n" // control characters in the folder name
                       "http://a/c/6   nul" + QString(QChar(0)) + "\r\n"
                       "http://a/c/7   esc\x1b[2J\n";
  const TaskList list = ParseTaskList(text, box.path());
  ASSERT_EQ(list.entries.size(), 1);
  EXPECT_EQ(list.entries[0].line, 5);
  ASSERT_EQ(list.rejected.size(), 7);
  EXPECT_TRUE(list.rejected[0].startsWith("line 1:"));
  EXPECT_TRUE(list.rejected[3].startsWith("line 4:"));
  EXPECT_EQ(list.rejected[4], "line 6: the folder name \"tab\\there\" holds a control character");
  EXPECT_TRUE(list.rejected[5].contains("\"nul\\0\"") && list.rejected[6].contains("\"esc\\x1b[2J\""));
}

TEST(TaskList, EngineResultFileIsReadAsUtf16) {
  const QString line = "http://a/c/1   comics/\u7b2c1\u8bdd\r\n";
  QByteArray bytes("\xFF\xFE");
  bytes.append(reinterpret_cast<const char*>(line.utf16()), line.size() * 2);
  EXPECT_EQ(DecodeListText(bytes), line);
  EXPECT_EQ(DecodeListText("\xEF\xBB\xBFhttp://a   b"), "http://a   b");
  EXPECT_EQ(DecodeListText(line.toUtf8()), line);
}
