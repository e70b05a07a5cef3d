#include "core/task_store.h"

#include "common/data_folder.h"
#include "common/ini_rules.h"
#include "common/profile.h"
#include "common/program_folder.h"
#include "core/failure_text.h"
#include "core/folder_rule.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <memory>
#include <vector>

namespace {

const QString kTaskIndex = QStringLiteral("task_index");
const QString kApp = common::kAppSection;

std::size_t HashOf(const QByteArray& bytes) {
  // 0 is "to be written"; a file that hashes to 0 is merely written once more.
  return std::size_t(qHash(bytes, 0x5eed));
}

// The file name "<digits>.ini" names an id; 0 for any other name.
std::int32_t IdOfFileName(const QString& path) {
  const QString name = QFileInfo(path).completeBaseName();
  const std::optional<std::int32_t> id = common::ParseStrictInt32(name);
  return id && *id > 0 && name == QString::number(*id) ? *id : 0;
}

// Renames a file that cannot be read as a task out of the way, keeping every byte of it.
QString SetAside(const QString& path) {
  QString target = path + QStringLiteral(".broken");
  for (int n = 2; QFileInfo::exists(target); ++n)
    target = path + QStringLiteral(".broken.%1").arg(n);
  return QFile::rename(path, target) ? target : QString();
}

// The ids named by "task_index": maximal runs of non-space characters, each by the decimal rule.
std::vector<std::int32_t> ParseTaskIndex(const QString& text) {
  std::vector<std::int32_t> ids;
  for (const QString& entry : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
    ids.push_back(common::ParseInt32(entry));
  return ids;
}

// Two files can carry the same id (one copied and renamed by hand). An id names the rows, the
// engine's reports and the command files, so only one record per id may load: the file named
// after its id wins, else the first by name. The others are dropped here and stay on disk.
void KeepOneFilePerId(std::vector<std::unique_ptr<CTaskInfo>>& loaded) {
  const auto namedAfterId = [](const CTaskInfo& r) {
    return QFileInfo(r.ini).fileName() == QString::number(r.id) + QStringLiteral(".ini");
  };
  QSet<std::int32_t> taken;
  std::vector<bool> keep(loaded.size(), false);
  for (const bool named : {true, false}) {
    for (std::size_t i = 0; i < loaded.size(); ++i) {
      if (namedAfterId(*loaded[i]) != named || taken.contains(loaded[i]->id)) continue;
      taken.insert(loaded[i]->id);
      keep[i] = true;
    }
  }
  for (std::size_t i = 0; i < loaded.size(); ++i)
    if (!keep[i]) loaded[i].reset();
}

QString& StoreFolderOverride() {
  static QString folder;
  return folder;
}

} // namespace

CTaskStore::CTaskStore(CSetting& setting) : setting_(setting) {}

void CTaskStore::SetStoreFolder(const QString& folder) {
  StoreFolderOverride() = folder.isEmpty() ? QString() : common::WithTrailingSlash(folder);
}

QString CTaskStore::SettingFile() {
  const QString& store = StoreFolderOverride();
  return store.isEmpty() ? CSetting::DefaultFile() : store + QStringLiteral("setting.ini");
}

QString CTaskStore::TaskFolder() {
  const QString& store = StoreFolderOverride();
  return (store.isEmpty() ? common::DataFolder() : store) + QStringLiteral("task/");
}

QString CTaskStore::TaskFilePath(std::int32_t id) {
  return TaskFolder() + QString::number(id) + QStringLiteral(".ini");
}

std::int32_t CTaskStore::AllocateTaskId() {
  auto next = [](std::int32_t id) { return std::int32_t(std::uint32_t(id) + 1u); };
  std::int32_t id = setting_.task_id;
  // Bounded: far fewer ids can be taken than there are.
  for (int tries = 0; tries < 1000000; ++tries) {
    const QString file = TaskFilePath(id);
    if (!FindTask(id) && !QFileInfo::exists(file) && !QFileInfo::exists(file + QStringLiteral(".broken")))
      break;
    id = next(id);
  }
  setting_.task_id = next(id);
  common::WriteProfileInt(SettingFile(), QStringLiteral("task_id"), setting_.task_id);
  return id;
}

CTaskInfo* CTaskStore::FindTask(std::int32_t id) const {
  for (const auto& record : *this)
    if (record->id == id) return record.get();
  return nullptr;
}

bool CTaskStore::HasTaskWithUrl(const QString& url) const {
  for (const auto& record : *this)
    if (record->url == url) return true;
  return false;
}

void CTaskStore::ReverseOrder() {
  std::vector<CTaskInfo*> records;
  while (Count() > 0) records.push_back(Detach(Count() - 1));
  for (CTaskInfo* record : records) Add(record);
  SaveTaskIndex();
}

void CTaskStore::MoveTasks(const QList<std::int32_t>& ids, int index) {
  std::vector<CTaskInfo*> before, moved, after;
  for (int i = 0; Count() > 0; ++i) {
    CTaskInfo* record = Detach(0);
    if (ids.contains(record->id)) moved.push_back(record);
    else (i < index ? before : after).push_back(record);
  }
  for (const auto* run : {&before, &moved, &after})
    for (CTaskInfo* record : *run) Add(record);
  SaveTaskIndex();
}

QString CTaskStore::RelativeTaskFile(const QString& path) {
  return QStringLiteral("task/") + QFileInfo(path).fileName();
}

bool CTaskStore::LoadTaskFile(CTaskInfo& record, const QString& path) {
  const common::ProfileFile file(path);
  if (!file.Exists()) return false;
  const auto text = [&file](const char* key, QString& field) {
    if (const auto value = common::ReadProfileString(file, QString::fromLatin1(key))) field = *value;
  };
  bool repaired = false;
  const auto number = [&](const char* key, std::int32_t& field, std::int32_t min, std::int32_t max) {
    field = common::ReadCheckedInt(file, QString::fromLatin1(key), field, min, max, &repaired);
  };
  // The file names its id; a file without a usable "id" is still the task its name says.
  if (const std::int32_t named = IdOfFileName(path); named > 0 && record.id <= 0) record.id = named;
  number("id", record.id, 1, INT32_MAX);
  text("url", record.url);
  text("folder", record.folder);
  text("title", record.title);
  number("total", record.total, 0, kMaxPages);
  number("finish", record.finish, 0, kMaxPages);
  number("now_index", record.now_index, 1, kMaxPages);
  text("now_url", record.now_url);
  text("made_folder", record.made_folder);
  record.ini = path; // wherever "ini" said it lay before: a moved folder moves its tasks
  if (record.id <= 0 || record.url.isEmpty()) return false;

  // A folder value cut by the longest read, or by the end of a file that was cut short there,
  // is not the folder the task was made for.
  record.folder_cut = record.folder.size() >= common::kLongestProfileString ||
                      file.UnterminatedKey().compare(QLatin1String("folder"), Qt::CaseInsensitive) == 0;
  if (record.folder_cut)
    record.error_text = failure_text::ReasonText(QString::fromLatin1(failure_text::kFolderCut), record.folder);
  else if (!folder_rule::IsTaskFolderPath(record.folder))
    record.error_text =
        failure_text::ReasonText(QString::fromLatin1(failure_text::kFolderNotAbsolute), record.folder);
  // A file with the values taken, or without its mark, is written again; an older file that
  // differs only in its "ini" is rewritten when the task next changes.
  record.file_hash = repaired || !file.IsUtf16() || file.LostMark() ? 0 : HashOf(TaskFileBytes(record));
  return true;
}

QByteArray CTaskStore::TaskFileBytes(const CTaskInfo& r) {
  common::ProfileFile file(r.ini, true);
  const auto set = [&file](const char* key, const QString& value) {
    file.Set(kApp, QString::fromLatin1(key), value);
  };
  set("id", common::FormatInt(r.id));
  set("ini", RelativeTaskFile(r.ini));
  set("url", r.url);
  set("folder", r.folder);
  set("title", r.title);
  set("total", common::FormatInt(r.total));
  set("finish", common::FormatInt(r.finish));
  set("now_index", common::FormatInt(r.now_index));
  set("now_url", r.now_url);
  if (!r.made_folder.isEmpty()) set("made_folder", r.made_folder);
  return file.Bytes();
}

bool CTaskStore::SaveTaskFile(CTaskInfo& record) {
  if (record.ini.isEmpty()) return false;
  const QByteArray bytes = TaskFileBytes(record);
  const std::size_t hash = HashOf(bytes);
  if (hash == record.file_hash) return true;
  if (!common::ReplaceFile(record.ini, bytes)) {
    record.file_hash = 0;
    return false;
  }
  record.file_hash = hash;
  return true;
}

void CTaskStore::LoadAllTasks() {
  std::vector<std::unique_ptr<CTaskInfo>> loaded;
  setAside_.clear();
  const QDir folder(TaskFolder());
  for (const QFileInfo& file :
       folder.entryInfoList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name)) {
    auto record = std::make_unique<CTaskInfo>();
    const QString path = file.absoluteFilePath();
    if (!LoadTaskFile(*record, path)) {
      // Kept aside, so that it is reported once and the user still has every byte of it.
      const QString aside = SetAside(path);
      if (!aside.isEmpty()) setAside_ << aside;
      continue;
    }
    record->status = TASK_STOP;
    loaded.push_back(std::move(record));
  }
  KeepOneFilePerId(loaded);

  DeleteAll();
  const auto index = common::ReadProfileString(SettingFile(), kTaskIndex).value_or(QString());
  QSet<std::int32_t> placed;
  for (std::int32_t id : ParseTaskIndex(index)) {
    if (placed.contains(id)) continue;
    placed.insert(id);
    for (auto& record : loaded) {
      if (record && record->id == id) {
        Add(record.release());
        break;
      }
    }
  }
  for (auto& record : loaded)
    if (record) Add(record.release());

  loadedIds_.clear();
  removedIds_.clear();
  for (const auto& record : *this) {
    loadedIds_ << record->id;
    // Without its "setting.ini" the id counter starts again at 100; keep it above every task.
    if (record->id >= setting_.task_id && record->id < INT32_MAX) setting_.task_id = record->id + 1;
    if (record->file_hash == 0) SaveTaskFile(*record); // repaired: written back at once
  }
}

QString CTaskStore::TaskIndexText() const {
  QString text;
  QSet<std::int32_t> listed;
  for (const auto& record : *this) {
    text += QString::number(record->id) + QLatin1Char(' ');
    listed.insert(record->id);
  }
  // A task that left the list without the user removing it keeps its place in the index.
  for (std::int32_t id : loadedIds_)
    if (!listed.contains(id) && !removedIds_.contains(id)) text += QString::number(id) + QLatin1Char(' ');
  return text;
}

bool CTaskStore::SaveTaskIndex() const {
  // With the settings: a change of the list often comes with one of them (the folder the
  // add dialog remembers), and one write is cheaper than two.
  common::ProfileFile file(SettingFile());
  setting_.Store(file);
  file.Set(kApp, kTaskIndex, TaskIndexText());
  return file.Save();
}

bool CTaskStore::SaveAllTasks() {
  bool ok = true;
  for (const auto& record : *this) ok = SaveTaskFile(*record) && ok;
  return SaveTaskIndex() && ok;
}
