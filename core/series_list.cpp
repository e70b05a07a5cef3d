#include "core/series_list.h"

#include "common/data_folder.h"
#include "core/series_record.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

constexpr qint64 kMaxListBytes = 4 * 1024 * 1024;

QString Clean(const QString& folder) { return QDir::cleanPath(QFileInfo(folder).absoluteFilePath()); }

void CollectRecords(const QString& folder, int depth, QStringList& found) {
  if (CSeriesRecord::IsSeriesFolder(folder) && !found.contains(folder)) found << folder;
  if (depth == 0) return;
  const QFileInfoList children =
      QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
  for (const QFileInfo& child : children) CollectRecords(Clean(child.filePath()), depth - 1, found);
}

} // namespace

CSeriesList::CSeriesList() : path_(common::DataFolder() + QLatin1String(kFileName)) {}

QStringList CSeriesList::Folders() const {
  QFile file(path_);
  if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxListBytes) return {};
  const QJsonDocument document = QJsonDocument::fromJson(file.read(kMaxListBytes));
  QStringList folders;
  for (const QJsonValue& value : document.object().value(QStringLiteral("folders")).toArray()) {
    const QString folder = value.toString();
    if (QDir::isAbsolutePath(folder) && !folders.contains(Clean(folder))) folders << Clean(folder);
  }
  return folders;
}

bool CSeriesList::Add(const QString& folder) {
  QStringList folders = Folders();
  if (folders.contains(Clean(folder))) return true;
  folders << Clean(folder);
  return Write(folders);
}

bool CSeriesList::Remove(const QString& folder) {
  QStringList folders = Folders();
  if (!folders.removeAll(Clean(folder))) return true;
  return Write(folders);
}

bool CSeriesList::Write(const QStringList& folders) const {
  QDir().mkpath(QFileInfo(path_).absolutePath());
  const QByteArray bytes =
      QJsonDocument(QJsonObject{{"folders", QJsonArray::fromStringList(folders)}}).toJson();
  QSaveFile file(path_);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

QStringList CSeriesList::FoldersUnder(const QStringList& folders) {
  QStringList found;
  for (const QString& folder : folders)
    if (QFileInfo(folder).isDir()) CollectRecords(Clean(folder), kSearchDepth, found);
  return found;
}
