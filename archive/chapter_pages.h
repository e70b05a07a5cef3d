#pragma once
// The page files of a downloaded chapter: the engine saves page n as n in three or more digits
// plus the extension of its image format ("001.jpg", "1234.png").
#include <QList>
#include <QString>
#include <QStringList>

namespace archive {

struct ChapterPages {
  QStringList files;     ///< absolute paths in page order, one per page number found
  QList<int> numbers;    ///< the page number of each file
};

/// The page files for pages 1 to `total` in `folder`. Other files and folders, symbolic links
/// and page numbers above `total` are not pages. When a page number has several files (a
/// restart saved it again in another format), the most recently written one is the page.
ChapterPages FindChapterPages(const QString& folder, int total);

/// The page number a file name stands for, or 0 when it is no page file name.
int PageNumberOf(const QString& fileName);

} // namespace archive
