#include "archive/chapter_pages.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMap>

namespace archive {

int PageNumberOf(const QString& fileName) {
  const qsizetype dot = fileName.indexOf(QLatin1Char('.'));
  if (dot < 3 || dot > 9 || dot == fileName.size() - 1) return 0;
  for (qsizetype i = 0; i < fileName.size(); ++i) {
    const QChar c = fileName[i];
    const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
    const bool letter = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                        (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
    if (i < dot ? !digit : i > dot && !(digit || letter)) return 0;
  }
  return fileName.left(dot).toInt();
}

ChapterPages FindChapterPages(const QString& folder, int total) {
  QMap<int, QFileInfo> newest;
  const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
  for (const QFileInfo& file : entries) {
    if (file.isSymLink()) continue;
    const int page = PageNumberOf(file.fileName());
    if (page < 1 || page > total) continue;
    const auto found = newest.constFind(page);
    if (found == newest.constEnd() || found->lastModified() < file.lastModified())
      newest.insert(page, file);
  }
  ChapterPages pages;
  for (auto it = newest.cbegin(); it != newest.cend(); ++it) {
    pages.files << it->absoluteFilePath();
    pages.numbers << it.key();
  }
  return pages;
}

} // namespace archive
