// The task-file loader on any file: a task file is repaired or kept aside, never dropped, and
// what loads is a task the front-end can hold: an id, an address, counts within their range,
// written back in a form that loads again as the same task.
#include "common/ini_rules.h"
#include "core/setting.h"
#include "core/task_store.h"
#include "fuzz_support.h"

#include <QDir>
#include <QFile>

namespace {

QString Store() { return fuzz_support::ScratchFolder() + QStringLiteral("/store/"); }

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_support::StartApplication(false);
  CTaskStore::SetStoreFolder(Store());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  QDir(Store()).removeRecursively();
  QDir().mkpath(Store() + QStringLiteral("task"));
  const QString file = CTaskStore::TaskFilePath(100);
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  {
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) return 0;
  }

  CSetting setting;
  CTaskStore store(setting);
  store.LoadAllTasks();
  if (store.Count() == 0) {
    // Kept aside, every byte of it.
    QFile aside(file + QStringLiteral(".broken"));
    FUZZ_CHECK(aside.open(QIODevice::ReadOnly) && aside.readAll() == bytes);
    FUZZ_CHECK(store.SetAsideFiles().size() == 1);
    return 0;
  }
  FUZZ_CHECK(store.Count() == 1);
  CTaskInfo& task = *store[0];
  FUZZ_CHECK(task.id > 0 && !task.url.isEmpty() && task.ini == file);
  FUZZ_CHECK(task.total >= 0 && task.total <= CTaskStore::kMaxPages);
  FUZZ_CHECK(task.finish >= 0 && task.finish <= CTaskStore::kMaxPages);
  FUZZ_CHECK(task.now_index >= 1 && task.now_index <= CTaskStore::kMaxPages);

  task.title += QStringLiteral("!"); // a change, so the file is written in this build's form
  FUZZ_CHECK(store.SaveAllTasks());
  CTaskInfo again;
  FUZZ_CHECK(CTaskStore::LoadTaskFile(again, file));
  FUZZ_CHECK(again.id == task.id && again.total == task.total && again.finish == task.finish &&
             again.now_index == task.now_index &&
             again.folder_cut == (task.folder.size() >= common::kLongestProfileString));
  return 0;
}
