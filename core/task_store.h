#pragma once
// CTaskStore: the ordered, owning list of all task records and their files on disk.
//
// Task file: "task/<id>.ini" in the data folder, UTF-16LE (it starts with FF FE), section
// "app" with the keys "id", "ini", "url", "folder", "title", "total", "finish", "now_index",
// "now_url", and "made_folder" while it is set. "ini" names the file relative to the data
// folder ("task/100.ini"); a file is always taken for the one it is, wherever it now lies, so
// a moved or renamed program or data folder keeps its tasks, and an older file's absolute
// "ini" is read the same way. A task file is written only when its bytes change, whole:
// into a temporary file beside it, flushed to the disk, renamed over it.
//
// Damaged files are repaired or kept aside, never dropped: numbers that are no numbers or lie
// outside their range take their defaults and the file is written again; a file that lost its
// FF FE mark is read all the same; a file that cannot be read as a task (no address, no id) is
// renamed "<name>.broken" and listed once in SetAsideFiles(). A task whose folder is not a
// full path, or was cut short, loads marked failed with that reason.
//
// The list order is the order of the rows and the start order; it survives restarts as
// "task_index" in "setting.ini": the ids in list order, each followed by one space. It is
// written whenever the list changes, and never names fewer tasks than were loaded unless the
// user removed them.
//
// Ownership: the store owns its records; a pointer to a record is valid until DeleteTask or
// the store's destruction. Only the user-interface thread touches the store.
#include "common/auto_ptr_list.h"
#include "core/setting.h"
#include "core/task_info.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

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
  /// The "ini" value of a task file: its path relative to the store folder ("task/100.ini").
  static QString RelativeTaskFile(const QString& path);
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

  /// Puts the list in reverse order, and writes "task_index".
  void ReverseOrder();
  /// Moves the tasks of `ids` to the insertion index `index`: the list becomes the tasks not
  /// named that stood before `index`, then the named ones, then the rest, each run in its old
  /// order. Ids that name no task are ignored. Writes "task_index".
  void MoveTasks(const QList<std::int32_t>& ids, int index);

  /// The most pages a chapter is taken to have; larger counts in a task file are damage.
  static constexpr std::int32_t kMaxPages = 99999;

  /// Fills `record` from the task file at `path` by the rules above; keys that are missing
  /// leave the field as it is. `ini` becomes `path`. False when the file cannot be read as a
  /// task (unreadable, no address, no id).
  static bool LoadTaskFile(CTaskInfo& record, const QString& path);
  /// The bytes of the record's task file.
  static QByteArray TaskFileBytes(const CTaskInfo& record);
  /// Writes the record's task file (named by its `ini`) when its bytes changed since it was
  /// last read or written. False when the file could not be written (for example without a
  /// "task/" folder); the record stays valid and is written again at the next save.
  static bool SaveTaskFile(CTaskInfo& record);

  /// Replaces the list by every task file of "task/", ordered by "task_index" first and then
  /// by file name. Of several files with one id only one loads ("<id>.ini" first); the others
  /// stay on disk untouched. Repaired files are written at once, unreadable ones set aside.
  /// Afterwards "task_id" lies above every loaded id. No observer is notified.
  void LoadAllTasks();
  /// Files the latest LoadAllTasks set aside as "<name>.broken" (their new paths).
  const QStringList& SetAsideFiles() const { return setAside_; }
  /// Writes every task file that changed and "task_index". False when some write failed.
  bool SaveAllTasks();
  /// Writes "task_index", with the settings, when they changed; the list changed (a task
  /// added, removed, moved).
  bool SaveTaskIndex() const;
  /// The user removed the task of `id`: "task_index" may leave it out from now on.
  void ForgetTask(std::int32_t id) { removedIds_.insert(id); }
  /// The "task_index" text: the current list order, then every loaded task that is no longer
  /// listed but was not removed by the user.
  QString TaskIndexText() const;

private:
  CSetting& setting_;
  QList<std::int32_t> loadedIds_; ///< the ids LoadAllTasks listed, in order
  QSet<std::int32_t> removedIds_; ///< ids the user removed since
  QStringList setAside_;
};
