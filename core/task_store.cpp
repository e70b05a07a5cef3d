#include "core/task_store.h"

#include "common/data_folder.h"
#include "common/ini_rules.h"
#include "common/profile.h"
#include "common/program_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

const QString kTaskIndex = QStringLiteral("task_index");

void ReadText(const QString& file, const char* key, QString& field) {
  if (const auto value = common::ReadProfileString(file, QString::fromLatin1(key))) field = *value;
}

void ReadNumber(const QString& file, const char* key, std::int32_t& field) {
  if (const auto value = common::ReadProfileInt(file, QString::fromLatin1(key))) field = *value;
}

bool WriteTaskKeys(const QString& file, const CTaskInfo& r) {
  using common::WriteProfileInt;
  using common::WriteProfileString;
  return WriteProfileInt(file, QStringLiteral("id"), r.id) &&
         WriteProfileString(file, QStringLiteral("ini"), r.ini) &&
         WriteProfileString(file, QStringLiteral("url"), r.url) &&
         WriteProfileString(file, QStringLiteral("folder"), r.folder) &&
         WriteProfileString(file, QStringLiteral("title"), r.title) &&
         WriteProfileInt(file, QStringLiteral("total"), r.total) &&
         WriteProfileInt(file, QStringLiteral("finish"), r.finish) &&
         WriteProfileInt(file, QStringLiteral("now_index"), r.now_index) &&
         WriteProfileString(file, QStringLiteral("now_url"), r.now_url);
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
    if (!FindTask(id) && !QFileInfo::exists(TaskFilePath(id))) break;
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
}

void CTaskStore::LoadTaskFile(CTaskInfo& record, const QString& path) {
  ReadNumber(path, "id", record.id);
  ReadText(path, "ini", record.ini);
  ReadText(path, "url", record.url);
  ReadText(path, "folder", record.folder);
  ReadText(path, "title", record.title);
  ReadNumber(path, "total", record.total);
  ReadNumber(path, "finish", record.finish);
  ReadNumber(path, "now_index", record.now_index);
  ReadText(path, "now_url", record.now_url);
}

bool CTaskStore::SaveTaskFile(const CTaskInfo& record) {
  if (record.ini.isEmpty()) return false;
  // Build the whole new file beside the old one, then rename it over: readers and a crash see
  // either the complete old file or the complete new one.
  const QString partial = record.ini + QStringLiteral(".saving");
  if (!common::CreateUnicodeProfileFile(partial) || !WriteTaskKeys(partial, record) ||
      std::rename(QFile::encodeName(partial).constData(),
                  QFile::encodeName(record.ini).constData()) != 0) {
    QFile::remove(partial);
    return false;
  }
  return true;
}

void CTaskStore::LoadAllTasks() {
  std::vector<std::unique_ptr<CTaskInfo>> loaded;
  const QDir folder(TaskFolder());
  for (const QFileInfo& file :
       folder.entryInfoList({QStringLiteral("*.ini")}, QDir::Files | QDir::Readable, QDir::Name)) {
    auto record = std::make_unique<CTaskInfo>();
    const QString path = file.absoluteFilePath();
    LoadTaskFile(*record, path);
    // A file that names another path was moved or copied here: leave it alone.
    if (record->ini.compare(path, Qt::CaseInsensitive) != 0) continue;
    record->ini = path; // the file system decides letter case here
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

  // Without its "setting.ini" the id counter starts again at 100; keep it above every task.
  for (const auto& record : *this)
    if (record->id >= setting_.task_id && record->id < INT32_MAX) setting_.task_id = record->id + 1;
}

QString CTaskStore::TaskIndexText() const {
  QString text;
  for (const auto& record : *this) text += QString::number(record->id) + QLatin1Char(' ');
  return text;
}

bool CTaskStore::SaveAllTasks() const {
  bool ok = true;
  for (const auto& record : *this) ok = SaveTaskFile(*record) && ok;
  return common::WriteProfileString(SettingFile(), kTaskIndex, TaskIndexText()) && ok;
}
