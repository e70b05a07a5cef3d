#include "cli/json_output.h"

#include "core/task_info.h"

#include <QDir>
#include <QJsonDocument>

namespace folivex_get {
namespace {

QString WithoutTrailingSlash(const QString& folder) { return QDir::cleanPath(folder); }

} // namespace

QString CJsonOutput::PageFile(const QString& folder, int page) {
  const QString stem = QStringLiteral("%1.").arg(page, 3, 10, QLatin1Char('0'));
  const QStringList files = QDir(folder).entryList({stem + QLatin1Char('*')}, QDir::Files, QDir::Name);
  return files.isEmpty() ? QString() : QDir(folder).filePath(files.first());
}

QJsonObject CJsonOutput::Event(const char* name, const CTaskInfo& task) const {
  QJsonObject object;
  object.insert(QStringLiteral("event"), QLatin1String(name));
  object.insert(QStringLiteral("task"), labels_.value(task.id, int(task.id)));
  return object;
}

void CJsonOutput::Write(const QJsonObject& object) {
  const QByteArray line = QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
  std::fwrite(line.constData(), 1, size_t(line.size()), out_);
  std::fflush(out_);
}

void CJsonOutput::OnChapterStart(const CTaskInfo& task) {
  QJsonObject object = Event("start", task);
  object.insert(QStringLiteral("url"), task.url);
  object.insert(QStringLiteral("folder"), WithoutTrailingSlash(task.folder));
  Write(object);
}

void CJsonOutput::OnChapterPage(const CTaskInfo& task) {
  QJsonObject object = Event("page", task);
  object.insert(QStringLiteral("page"), task.finish);
  object.insert(QStringLiteral("total"), task.total);
  object.insert(QStringLiteral("file"), PageFile(task.folder, task.finish));
  Write(object);
}

void CJsonOutput::OnChapterDone(const CTaskInfo& task) {
  QJsonObject object = Event("done", task);
  object.insert(QStringLiteral("page"), task.finish);
  object.insert(QStringLiteral("total"), task.total);
  object.insert(QStringLiteral("file"), task.archive.isEmpty() ? WithoutTrailingSlash(task.folder) : task.archive);
  Write(object);
}

void CJsonOutput::OnChapterFailed(const CTaskInfo& task) {
  QJsonObject object = Event("failed", task);
  object.insert(QStringLiteral("page"), task.finish);
  object.insert(QStringLiteral("total"), task.total);
  object.insert(QStringLiteral("reason"), task.error_text);
  Write(object);
}

} // namespace folivex_get
