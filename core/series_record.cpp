#include "core/series_record.h"

#include "common/folder_name.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>

namespace {

constexpr qint64 kMaxRecordBytes = 16 * 1024 * 1024;

struct StateName {
  ChapterState state;
  const char* name;
};
constexpr StateName kStates[] = {{ChapterState::New, "new"},
                                 {ChapterState::Downloaded, "downloaded"},
                                 {ChapterState::Failed, "failed"},
                                 {ChapterState::Skipped, "skipped"}};

QString NameOf(ChapterState state) {
  for (const StateName& s : kStates)
    if (s.state == state) return QLatin1String(s.name);
  return QStringLiteral("new");
}

ChapterState StateOf(const QString& name) {
  for (const StateName& s : kStates)
    if (name == QLatin1String(s.name)) return s.state;
  return ChapterState::New;
}

QString TakeName(FirstCheck take) {
  switch (take) {
  case FirstCheck::All: return QStringLiteral("all");
  case FirstCheck::OnlyNew: return QStringLiteral("only_new");
  case FirstCheck::Ask: break;
  }
  return QStringLiteral("ask");
}

FirstCheck TakeOf(const QString& name) {
  if (name == QLatin1String("all")) return FirstCheck::All;
  if (name == QLatin1String("only_new")) return FirstCheck::OnlyNew;
  return FirstCheck::Ask;
}

QString TimeText(const QDateTime& time) {
  return time.isValid() ? time.toUTC().toString(Qt::ISODate) : QString();
}

QDateTime TimeOf(const QJsonValue& value) {
  QDateTime time = QDateTime::fromString(value.toString(), Qt::ISODate);
  return time.isValid() ? time.toUTC() : QDateTime();
}

QString RecordPath(const QString& folder) {
  return QDir(folder).filePath(QLatin1String(CSeriesRecord::kFileName));
}

} // namespace

std::optional<CSeriesRecord> CSeriesRecord::Load(const QString& folder) {
  QFile file(RecordPath(folder));
  if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxRecordBytes) return std::nullopt;
  CSeriesRecord record;
  record.folder_ = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
  if (!record.FromJson(file.read(kMaxRecordBytes))) return std::nullopt;
  return record;
}

CSeriesRecord CSeriesRecord::Create(const QString& folder, const QString& url, FirstCheck take) {
  CSeriesRecord record;
  record.folder_ = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
  record.url = url;
  record.take = take;
  return record;
}

bool CSeriesRecord::IsSeriesFolder(const QString& folder) {
  return QFileInfo(RecordPath(folder)).isFile();
}

bool CSeriesRecord::Save() {
  const QByteArray bytes = ToJson();
  if (bytes == saved_) return true;
  QSaveFile file(RecordPath(folder_));
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    return false;
  saved_ = bytes;
  return true;
}

QString CSeriesRecord::ChapterFolder(const SeriesChapter& chapter) const {
  return folder_ + QLatin1Char('/') + chapter.folder + QLatin1Char('/');
}

SeriesChapter* CSeriesRecord::FindChapter(const QString& chapterUrl) {
  for (SeriesChapter& chapter : chapters)
    if (chapter.url == chapterUrl) return &chapter;
  return nullptr;
}

int CSeriesRecord::CountIn(ChapterState state) const {
  return int(std::count_if(chapters.begin(), chapters.end(),
                           [state](const SeriesChapter& c) { return c.state == state; }));
}

CSeriesRecord::Plan CSeriesRecord::MergeCheck(const QList<chapter_links::ChapterLink>& found,
                                              const QString& pageSeries, int pageCount,
                                              const QDateTime& now) {
  const bool first = !searched.isValid();
  if (series.isEmpty()) series = pageSeries;
  if (pageCount > 0) count = pageCount;
  checked = searched = now;
  lastError.clear();

  // New chapters get folders no chapter of the series has yet.
  QSet<QString> used;
  for (const SeriesChapter& chapter : chapters) used.insert(chapter.folder);
  QList<chapter_links::ChapterLink> fresh;
  for (const chapter_links::ChapterLink& link : found)
    if (!FindChapter(link.url)) fresh.append(link);
  chapter_links::NameFolders(fresh, series, used);
  const bool skip = first && take == FirstCheck::OnlyNew;
  for (const chapter_links::ChapterLink& link : fresh)
    chapters.append({link.url, link.number, link.text, link.folderName,
                     skip ? ChapterState::Skipped : ChapterState::New});

  Plan plan;
  QSet<QString> freshUrls;
  for (const chapter_links::ChapterLink& link : fresh) freshUrls.insert(link.url);
  for (const chapter_links::ChapterLink& link : found) {
    const SeriesChapter* chapter = FindChapter(link.url);
    if (!chapter || (chapter->state != ChapterState::New && chapter->state != ChapterState::Failed))
      continue;
    if (plan.download.contains(*chapter)) continue; // one address listed twice
    plan.download.append(*chapter);
    if (freshUrls.contains(link.url)) ++plan.newChapters;
  }
  lastNew = plan.newChapters;
  return plan;
}

void CSeriesRecord::NoteFailedCheck(const QString& error, const QDateTime& now) {
  checked = now;
  lastError = error;
  lastNew = 0;
}

bool CSeriesRecord::Mark(const QString& chapterUrl, ChapterState state) {
  SeriesChapter* chapter = FindChapter(chapterUrl);
  if (!chapter) return false;
  chapter->state = state;
  return true;
}

QByteArray CSeriesRecord::ToJson() const {
  QJsonArray list;
  for (const SeriesChapter& chapter : chapters)
    list.append(QJsonObject{{"url", chapter.url},
                            {"number", chapter.number},
                            {"title", chapter.title},
                            {"folder", chapter.folder},
                            {"state", NameOf(chapter.state)}});
  const QJsonObject root{{"format", kFormat},         {"url", url},
                         {"series", series},          {"count", count},
                         {"take", TakeName(take)},    {"checked", TimeText(checked)},
                         {"searched", TimeText(searched)}, {"new", lastNew},
                         {"error", lastError},        {"chapters", list}};
  return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool CSeriesRecord::FromJson(const QByteArray& bytes) {
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
  if (error.error != QJsonParseError::NoError || !document.isObject()) return false;
  const QJsonObject root = document.object();
  url = root.value(QStringLiteral("url")).toString();
  if (url.isEmpty()) return false;
  series = root.value(QStringLiteral("series")).toString();
  count = qMax(0, root.value(QStringLiteral("count")).toInt());
  take = TakeOf(root.value(QStringLiteral("take")).toString());
  checked = TimeOf(root.value(QStringLiteral("checked")));
  searched = TimeOf(root.value(QStringLiteral("searched")));
  lastNew = qMax(0, root.value(QStringLiteral("new")).toInt());
  lastError = root.value(QStringLiteral("error")).toString();
  QSet<QString> folders;
  for (const QJsonValue& value : root.value(QStringLiteral("chapters")).toArray()) {
    const QJsonObject object = value.toObject();
    SeriesChapter chapter{object.value(QStringLiteral("url")).toString(),
                          object.value(QStringLiteral("number")).toString(),
                          object.value(QStringLiteral("title")).toString(),
                          object.value(QStringLiteral("folder")).toString(),
                          StateOf(object.value(QStringLiteral("state")).toString())};
    // An edited file must not send pages out of the series folder, nor two chapters into one.
    if (chapter.url.isEmpty() || common::SafeFolderComponent(chapter.folder) != chapter.folder ||
        folders.contains(chapter.folder) || FindChapter(chapter.url))
      continue;
    folders.insert(chapter.folder);
    chapters.append(chapter);
  }
  saved_ = bytes;
  return true;
}
