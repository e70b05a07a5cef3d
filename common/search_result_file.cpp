#include "common/search_result_file.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <algorithm>

namespace common {
namespace {

const QLatin1String kLinks("links");
const QLatin1String kUrl("url");
const QLatin1String kFolder("folder");
const QLatin1String kText("text");
const QLatin1String kPage("page");
const QLatin1String kTitle("title");
const QLatin1String kHeading("heading");
const QLatin1String kCount("count");

} // namespace

bool WriteSearchResultFile(const QString& path, const std::vector<FoundLink>& links,
                           const ListPage& page) {
  QJsonArray array;
  for (const FoundLink& link : links)
    array.append(QJsonObject{{kUrl, link.url}, {kFolder, link.folder}, {kText, link.text}});
  const QJsonObject pageObject{{kTitle, page.title}, {kHeading, page.heading}, {kCount, page.count}};
  const QByteArray bytes =
      QJsonDocument(QJsonObject{{kLinks, array}, {kPage, pageObject}}).toJson(QJsonDocument::Compact);
  // QSaveFile writes a new file of its own beside the target and renames it over the target:
  // a reader never sees half a result, and nothing that was planted at a guessable name is
  // followed.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

std::optional<SearchResult> ReadSearchResultFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSearchResultBytes) return std::nullopt;
  const QJsonDocument document = QJsonDocument::fromJson(file.read(kMaxSearchResultBytes));
  if (!document.isObject() || !document.object().value(kLinks).isArray()) return std::nullopt;
  SearchResult result;
  for (const QJsonValue& value : document.object().value(kLinks).toArray()) {
    const QJsonObject entry = value.toObject();
    FoundLink link{entry.value(kUrl).toString(), entry.value(kFolder).toString(),
                   entry.value(kText).toString()};
    if (!link.url.isEmpty()) result.links.push_back(std::move(link));
  }
  const QJsonObject page = document.object().value(kPage).toObject();
  result.page = {page.value(kTitle).toString(), page.value(kHeading).toString(),
                 std::max(0, page.value(kCount).toInt())};
  return result;
}

QString SearchResultLine(const FoundLink& link) {
  return link.url + QStringLiteral("   ") + link.folder;
}

} // namespace common
