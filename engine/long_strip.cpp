#include "engine/long_strip.h"

#include "engine/page_image.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>

namespace engine {
namespace {

bool ReachesPageSize(const CPageImageInfo& image) {
  return image.width >= kPageImageMinWidth && image.height >= kPageImageMinHeight;
}

void Discard(const CPageImageInfo& image, QStringList& temporaryFiles) {
  QFile::remove(image.temporaryPath);
  temporaryFiles.removeAll(image.temporaryPath);
}

// A record holds a few hundred numbers at most; anything longer is not one of ours.
constexpr qint64 kMaxRecordBytes = 256 * 1024;
constexpr int kMaxStripPages = 9999;

} // namespace

std::vector<StripPage> CollectStripPages(const QStringList& sources, const StripImageFetcher& fetch,
                                         QStringList& temporaryFiles,
                                         const std::vector<int>* positions) {
  std::vector<StripPage> pages;
  const int count = int(sources.size());
  QSet<QString> seen;
  auto visit = [&](int i) {
    const QString& url = sources[i];
    if (url.isEmpty() || seen.contains(url)) return;
    seen.insert(url);
    auto image = fetch(url);
    if (!image) return;
    if (!ReachesPageSize(*image)) {
      Discard(*image, temporaryFiles); // banners and icons are never kept
      return;
    }
    pages.push_back({i, std::move(image)});
  };
  if (positions) {
    for (int i : *positions)
      if (i >= 0 && i < count) visit(i);
  } else {
    for (int i = 0; i < count && int(pages.size()) < kMaxStripPages; ++i) visit(i);
  }
  return pages;
}

QString StripRecord::PathFor(const QString& folder, const QString& url) {
  const QByteArray key = QCryptographicHash::hash((folder + QLatin1Char('\n') + url).toUtf8(),
                                                  QCryptographicHash::Sha1)
                             .toHex();
  return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
         QStringLiteral("/folivex/strip-pages/") + QString::fromLatin1(key);
}

std::optional<StripRecord> StripRecord::Load(const QString& folder, const QString& url) {
  QFile file(PathFor(folder, url));
  if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxRecordBytes) return std::nullopt;
  const QList<QByteArray> lines = file.readAll().split('\n');
  // Line 1: the address (a different one shares the name only by a hash collision); line 2:
  // the first page; then one position per line.
  if (lines.size() < 3 || QString::fromUtf8(lines[0]) != url) return std::nullopt;
  StripRecord record;
  bool ok = false;
  record.firstPage = lines[1].toInt(&ok);
  if (!ok || record.firstPage < 1) return std::nullopt;
  for (qsizetype i = 2; i < lines.size(); ++i) {
    if (lines[i].isEmpty()) continue;
    const int position = lines[i].toInt(&ok);
    if (!ok || position < 0 || int(record.positions.size()) >= kMaxStripPages) return std::nullopt;
    record.positions.push_back(position);
  }
  if (record.positions.size() < 2) return std::nullopt;
  return record;
}

bool StripRecord::Save(const QString& folder, const QString& url) const {
  const QString path = PathFor(folder, url);
  QDir().mkpath(QFileInfo(path).path());
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  QByteArray text = url.toUtf8() + '\n' + QByteArray::number(firstPage) + '\n';
  for (int position : positions) text += QByteArray::number(position) + '\n';
  file.write(text);
  return file.commit();
}

void StripRecord::Remove(const QString& folder, const QString& url) {
  QFile::remove(PathFor(folder, url));
}

bool PageFileExists(const QString& folder, std::int32_t page) {
  const QString stem = QString::asprintf("%.3d", int(page));
  const QStringList found =
      QDir(folder).entryList({stem + QStringLiteral(".*")}, QDir::Files | QDir::NoDotAndDotDot);
  return !found.isEmpty();
}

} // namespace engine
