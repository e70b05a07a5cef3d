// Task records on disk: load order from "task_index", id allocation, files that must be left
// alone, and the exact file format.
#include "common/ini_rules.h"
#include "common/profile.h"
#include "core/task_event_observer.h"
#include "frontend_fixture.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using frontend_test::ProgramFolderSandbox;
using frontend_test::WriteTaskFile;

class TaskStoreTest : public ::testing::Test {
protected:
  // A valid task file of `id` in the sandbox's task folder.
  void WriteTask(std::int32_t id, const QString& url = QString()) {
    const QString path = CTaskStore::TaskFilePath(id);
    WriteTaskFile(path, {{"id", QString::number(id)},
                         {"ini", path},
                         {"url", url.isEmpty() ? "http://site/" + QString::number(id) : url},
                         {"folder", "/tmp/c/"}});
  }
  void SetTaskIndex(const QString& text) {
    common::WriteProfileString(CTaskStore::SettingFile(), "task_index", text);
  }
  std::vector<std::int32_t> Order() const {
    std::vector<std::int32_t> ids;
    for (const auto& record : store) ids.push_back(record->id);
    return ids;
  }

  ProgramFolderSandbox folder;
  CSetting setting;
  CTaskStore store{setting};
};

TEST_F(TaskStoreTest, TaskIndexDecidesTheOrder) {
  WriteTask(100);
  WriteTask(101);
  SetTaskIndex("101 100 ");
  store.LoadAllTasks();
  EXPECT_EQ(Order(), (std::vector<std::int32_t>{101, 100}));
}

TEST_F(TaskStoreTest, UnknownRepeatedAndEmptyIndexEntriesOnlyAffectOrder) {
  WriteTask(100);
  WriteTask(101);
  SetTaskIndex("7 abc 100  100");
  store.LoadAllTasks();
  EXPECT_EQ(Order(), (std::vector<std::int32_t>{100, 101}));
  for (const auto& record : store) EXPECT_EQ(record->status, TASK_STOP);
}

TEST_F(TaskStoreTest, MissingIndexStillLoadsEveryValidFile) {
  WriteTask(102);
  WriteTask(100);
  store.LoadAllTasks();
  EXPECT_EQ(store.Count(), 2);
}

TEST_F(TaskStoreTest, FileNamingAnotherPathIsSkippedAndLeftOnDisk) {
  WriteTask(100);
  const QString moved = CTaskStore::TaskFilePath(101);
  WriteTaskFile(moved, {{"id", "101"}, {"ini", "/old/program/task/101.ini"}, {"url", "http://x/"}});
  const QByteArray before = testing_support::ReadBytes(moved);
  store.LoadAllTasks();
  EXPECT_EQ(Order(), (std::vector<std::int32_t>{100}));
  EXPECT_EQ(testing_support::ReadBytes(moved), before);

  // Once its "ini" names the file again it loads.
  common::WriteProfileString(moved, "ini", moved);
  store.LoadAllTasks();
  EXPECT_EQ(store.Count(), 2);
}

TEST_F(TaskStoreTest, TwoFilesWithOneIdLoadOnce) {
  // A copy renamed by hand that still carries id 100: the id must keep naming one task, or a
  // delete or an engine report would reach the other record and its file.
  const QString copy = CTaskStore::TaskFolder() + "0copy.ini";
  WriteTaskFile(copy, {{"id", "100"}, {"ini", copy}, {"url", "http://site/copy"}});
  WriteTask(100);
  WriteTask(101);
  const QByteArray before = testing_support::ReadBytes(copy);
  store.LoadAllTasks();
  EXPECT_EQ(Order(), (std::vector<std::int32_t>{100, 101}));
  EXPECT_EQ(store.FindTask(100)->url, "http://site/100") << "the file named after the id wins";
  EXPECT_EQ(testing_support::ReadBytes(copy), before);

  // Without "<id>.ini" the first of the others by name loads.
  const QString second = CTaskStore::TaskFolder() + "1copy.ini";
  WriteTaskFile(second, {{"id", "100"}, {"ini", second}, {"url", "http://site/second"}});
  QFile::remove(CTaskStore::TaskFilePath(100));
  store.LoadAllTasks();
  ASSERT_EQ(store.Count(), 2);
  EXPECT_EQ(store.FindTask(100)->url, "http://site/copy");
}

TEST_F(TaskStoreTest, FileWithoutNowIndexStartsAtPageOne) {
  const QString path = CTaskStore::TaskFilePath(100);
  WriteTaskFile(path, {{"id", "100"}, {"ini", path}, {"url", "http://x/"}, {"finish", "4"}});
  store.LoadAllTasks();
  ASSERT_EQ(store.Count(), 1);
  EXPECT_EQ(store[0]->now_index, 1);
  EXPECT_EQ(store[0]->finish, 4);
}

TEST_F(TaskStoreTest, IdsGrowAndAreStoredAtOnce) {
  EXPECT_EQ(store.AllocateTaskId(), 100);
  EXPECT_EQ(common::ReadProfileString(CTaskStore::SettingFile(), "task_id").value_or(""), "101");
  EXPECT_EQ(store.AllocateTaskId(), 101);
}

TEST_F(TaskStoreTest, LostSettingsNeverHandOutALoadedId) {
  WriteTask(100);
  WriteTask(105);
  store.LoadAllTasks(); // no setting.ini: the counter would start at 100
  EXPECT_EQ(store.AllocateTaskId(), 106);
}

TEST_F(TaskStoreTest, IdOfASkippedFileOnDiskIsPassedOver) {
  // A file that did not load must still never be replaced by a new task's file.
  const QString foreign = CTaskStore::TaskFilePath(100);
  WriteTaskFile(foreign, {{"id", "100"}, {"ini", "/elsewhere/100.ini"}});
  const QByteArray before = testing_support::ReadBytes(foreign);
  store.LoadAllTasks();
  EXPECT_EQ(store.AllocateTaskId(), 101);
  EXPECT_EQ(testing_support::ReadBytes(foreign), before);
}

TEST_F(TaskStoreTest, SavedFileIsUtf16WithEveryKeyInOrder) {
  CTaskInfo record;
  record.id = 100;
  record.ini = CTaskStore::TaskFilePath(100);
  record.url = "http://site/c/1.html";
  record.folder = "/tmp/漫画/";
  record.title = "第一话 \"quoted\"";
  record.total = 12;
  record.finish = 3;
  record.now_index = 3;
  record.now_url = "http://site/c/3.html";
  record.status = TASK_RUNNING;
  record.error_text = "not persisted";
  {
    testing_support::ScopedUmask umask(027);
    ASSERT_TRUE(CTaskStore::SaveTaskFile(record));
  }
  EXPECT_EQ(testing_support::FileMode(record.ini), 0640) << "the mode of any new file";

  const QByteArray bytes = testing_support::ReadBytes(record.ini);
  ASSERT_TRUE(bytes.startsWith("\xff\xfe"));
  const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                                          (bytes.size() - 2) / 2);
  qsizetype last = -1;
  for (const char* key : {"id=", "ini=", "url=", "folder=", "title=", "total=", "finish=",
                          "now_index=", "now_url="}) {
    const qsizetype at = text.indexOf(QString::fromLatin1("\n") + key);
    EXPECT_GT(at, last) << key;
    last = at;
  }
  EXPECT_FALSE(text.contains("status")) << text.toStdString();
  EXPECT_FALSE(QFileInfo::exists(record.ini + ".saving"));

  CTaskInfo loaded;
  CTaskStore::LoadTaskFile(loaded, record.ini);
  EXPECT_EQ(loaded.title, record.title);
  EXPECT_EQ(loaded.folder, record.folder);
  EXPECT_EQ(loaded.total, 12);
  EXPECT_EQ(loaded.now_url, record.now_url);
  EXPECT_EQ(loaded.status, TASK_STOP);
  EXPECT_TRUE(loaded.error_text.isEmpty());
}

TEST_F(TaskStoreTest, SaveAllWritesTaskIndexWithTrailingSpaces) {
  WriteTask(100);
  WriteTask(101);
  WriteTask(105);
  SetTaskIndex("105 100");
  store.LoadAllTasks();
  EXPECT_EQ(store.TaskIndexText(), "105 100 101 ");
  ASSERT_TRUE(store.SaveAllTasks());
  // The profile reader trims the trailing blank.
  EXPECT_EQ(common::ReadProfileString(CTaskStore::SettingFile(), "task_index").value_or(""),
            "105 100 101");
}

TEST_F(TaskStoreTest, MovingSelectedTasksKeepsEachRunInOrder) {
  for (std::int32_t id : {100, 101, 102, 103, 104}) WriteTask(id);
  SetTaskIndex("100 101 102 103 104");
  store.LoadAllTasks();
  store.MoveTasks({101, 103}, 0);
  EXPECT_EQ(Order(), (std::vector<std::int32_t>{101, 103, 100, 102, 104}));
  store.MoveTasks({101, 100}, 5);
  EXPECT_EQ(Order(), (std::vector<std::int32_t>{103, 102, 104, 101, 100}));
  store.MoveTasks({104, 999}, 2);
  EXPECT_EQ(Order(), (std::vector<std::int32_t>{103, 102, 104, 101, 100}));
  store.ReverseOrder();
  EXPECT_EQ(Order(), (std::vector<std::int32_t>{100, 101, 104, 102, 103}));
}

} // namespace
