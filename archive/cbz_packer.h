#pragma once
// Packs a finished chapter into "FOLDER.cbz" beside its folder: the page files in page order,
// stored as they are (images are compressed already), then "ComicInfo.xml". A "ComicInfo.xml"
// the folder already holds gives the series fields (and its title and address) and goes into
// the archive with the pages.
//
// Crash safety: the archive is written as "FOLDER.cbz.part", read back and compared with the
// page files byte for byte, flushed to disk and only then renamed to "FOLDER.cbz". The page
// files are removed after the rename, and the folder when that leaves it empty. A crash at any
// point therefore leaves the pages, or a complete archive, or both; never neither. A leftover
// ".part" file is replaced by the next packing of that folder.
//
// Blocking file I/O on the caller's thread; no shared state, so different folders may be
// packed from different threads.
#include "archive/comic_info.h"

#include <QString>
#include <functional>

namespace archive {

/// The points between the steps of packing, offered to a PackHook.
enum class PackStep {
  ArchiveWritten, ///< the ".part" file is complete on disk, not yet checked
  ArchiveChecked, ///< it matches the pages byte for byte and is flushed, not yet renamed
  ArchiveInPlace, ///< "FOLDER.cbz" exists; no page has been removed yet
  PageRemoved,    ///< one more page file was removed
};

/// Called at every step; returning false stops packing right there, leaving the files as a
/// crash at that point would (tests use it to check every crash point).
using PackHook = std::function<bool(PackStep)>;

struct PackResult {
  bool ok = false;
  QString archive;  ///< "FOLDER.cbz"
  int pages = 0;    ///< page files packed
  QString error;    ///< why packing failed (English, for logs and the command line)
  bool diskFull = false; ///< it failed because the disk (or the quota) had no room left
};

/// "FOLDER.cbz" for a folder given with or without its trailing "/".
QString ArchivePathFor(const QString& folder);

/// Packs pages 1 to `total` of `folder` with the metadata of `info` (its page sizes and page
/// dates are filled in here). Fails, leaving every page in place, when the folder holds no page,
/// the archive cannot be written or its check fails.
PackResult PackChapter(const QString& folder, int total, ComicInfo info,
                       const PackHook& hook = {});

} // namespace archive
