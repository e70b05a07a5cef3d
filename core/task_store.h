#pragma once
// CTaskStore: the ordered, owning list of all task records and their files on disk.
//
// Task file: "task/<id>.ini" in the data folder, UTF-16LE (it starts with FF FE), section
// "app" with the keys "id", "ini", "url", "folder", "title", "total", "finish", "now_index",
// "now_url". A task file is replaced as a whole (written beside it, then renamed over it), so
// a crash leaves the old or the new file, never a mixture.
//
// The list order is the order of the rows and the start order; it survives restarts as
// "task_index" in "setting.ini": the ids in list order, each followed by one space.
//
// Ownership: the store owns its records; a pointer to a record is valid until DeleteTask or
// the store's destruction. Only the user-interface thread touches the store.
#include "common/auto_ptr_list.h"
#include "core/setting.h"
#include "core/task_info.h"

#include <QList>
#include <QString>

class CTaskStore : public FCAutoPtrList<CTaskInfo> {
public:
  /// `setting` supplies and receives "task_id"; it must outlive the store.
  explicit CTaskStore(CSetting& setting);
  virtual ~CTaskStore() = default;

  CSetting& Setting() const { return setting_; }
  /// "setting.ini" in the store folder.
  static QString SettingFile();
  /// "task/" in the store folder.
  static QString TaskFolder();
  /// "task/<id>.ini" in the store folder.
  static QString TaskFilePath(std::int32_t id);
  /// The store folder is the data folder unless this points it elsewhere for the rest of
  /// the process: a tool that runs tasks beside the front-end keeps its own "setting.ini" and
  /// "task/" there and never touches the front-end's. Empty restores the data folder.
  static void SetStoreFolder(const QString& folder);

  /// Hands out the "task_id" setting and writes the next value to "setting.ini" at once.
  /// Ids grow and are never reused; an id that a listed task or a task file on disk already
  /// has is passed over, so a new task never replaces another task's file.
  std::int32_t AllocateTaskId();
  /// The first record in list order with this id, or null.
  CTaskInfo* FindTask(std::int32_t id) const;
  /// Whether some record's address equals `url` exactly (letter case counts).
  bool HasTaskWithUrl(const QString& url) const;
  /// Index of the record in the list, or -1.
  int IndexOfTask(const CTaskInfo* record) const { return Find(record); }

  /// Puts the list in reverse order.
  void ReverseOrder();
  /// Moves the tasks of `ids` to the insertion index `index`: the list becomes the tasks not
  /// named that stood before `index`, then the named ones, then the rest, each run in its old
  /// order. Ids that name no task are ignored.
  void MoveTasks(const QList<std::int32_t>& ids, int index);

  /// Fills `record` from the task file at `path`; keys that are missing leave the field as it is.
  static void LoadTaskFile(CTaskInfo& record, const QString& path);
  /// Writes the record's persisted fields into the file named by its `ini`. False when the
  /// file could not be written (for example without a "task/" folder); the record stays valid.
  static bool SaveTaskFile(const CTaskInfo& record);

  /// Replaces the list by every valid task file of "task/" (one whose "ini" names the file
  /// itself), ordered by "task_index" first and then by file name. Of several files with one
  /// id only one loads ("<id>.ini" first). Files that do not load stay on disk untouched. Afterwards "task_id" lies above every loaded id. No observer is
  /// notified.
  void LoadAllTasks();
  /// Writes every task file and "task_index". False when some write failed.
  bool SaveAllTasks() const;
  /// The "task_index" text of the current list order.
  QString TaskIndexText() const;

private:
  CSetting& setting_;
};
