#include "archive/cbz_packer.h"

#include "archive/chapter_pages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <zip.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace archive {
namespace {

const char* const kComicInfoName = kComicInfoFileName;

// The chapter's own document beside its pages (a followed series' chapter has one) adds its
// series fields, and its title and address where it states them.
void AddFolderInfo(const QString& folder, ComicInfo& info) {
  const std::optional<ComicInfo> own = ReadChapterInfo(folder);
  if (!own) return;
  if (!own->title.isEmpty()) info.title = own->title;
  if (!own->web.isEmpty()) info.web = own->web;
  info.series = own->series;
  info.number = own->number;
  info.count = own->count;
}

struct ZipCloser {
  void operator()(zip_t* zip) const { zip_discard(zip); }
};
using ZipHandle = std::unique_ptr<zip_t, ZipCloser>;

struct ZipFileCloser {
  void operator()(zip_file_t* file) const { zip_fclose(file); }
};

PackResult Failure(const QString& error) {
  PackResult result;
  result.error = error;
  return result;
}

bool IsNoRoom(int error) { return error == ENOSPC || error == EDQUOT; }

// Flushes a file, or a folder's entries, to the disk; `error` gets errno on failure.
bool SyncPath(const QString& path, bool folder, int* error = nullptr) {
  const int fd = ::open(QFile::encodeName(path).constData(),
                        (folder ? O_DIRECTORY : 0) | O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  if (!ok && error) *error = errno;
  ::close(fd);
  return ok;
}

QString ZipError(zip_t* zip) { return QString::fromLocal8Bit(zip_strerror(zip)); }

// Writes `temp` with the pages (stored) and the metadata document; `systemError` gets the
// system's errno of a failed write, if any.
QString WriteArchive(const QString& temp, const ChapterPages& pages, const QByteArray& xml,
                     int& systemError) {
  int code = 0;
  zip_t* raw = zip_open(QFile::encodeName(temp).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  if (!raw) return QStringLiteral("cannot create %1").arg(temp);
  ZipHandle zip(raw);
  for (const QString& path : pages.files) {
    const QFileInfo file(path);
    zip_source_t* source = zip_source_file(raw, QFile::encodeName(path).constData(), 0, -1);
    if (!source) return ZipError(raw);
    const zip_int64_t index = zip_file_add(raw, file.fileName().toUtf8().constData(), source,
                                           ZIP_FL_ENC_UTF_8);
    if (index < 0) {
      zip_source_free(source);
      return ZipError(raw);
    }
    if (zip_set_file_compression(raw, zip_uint64_t(index), ZIP_CM_STORE, 0) != 0 ||
        zip_file_set_mtime(raw, zip_uint64_t(index), file.lastModified().toSecsSinceEpoch(), 0) != 0)
      return ZipError(raw);
  }
  // The buffer is read at zip_close, while `xml` still lives.
  zip_source_t* info = zip_source_buffer(raw, xml.constData(), zip_uint64_t(xml.size()), 0);
  if (!info) return ZipError(raw);
  if (zip_file_add(raw, kComicInfoName, info, ZIP_FL_ENC_UTF_8) < 0) {
    zip_source_free(info);
    return ZipError(raw);
  }
  if (zip_close(raw) != 0) { // the handle is discarded by `zip`
    zip_error_t* error = zip_get_error(raw);
    if (zip_error_system_type(error) == ZIP_ET_SYS) systemError = zip_error_code_system(error);
    return ZipError(raw);
  }
  zip.release();
  return {};
}

// Whether the entry at `index` holds exactly the bytes of `path`.
bool EntryEquals(zip_t* zip, zip_uint64_t index, const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  std::unique_ptr<zip_file_t, ZipFileCloser> entry(zip_fopen_index(zip, index, 0));
  if (!entry) return false;
  char packed[65536];
  for (;;) {
    const zip_int64_t got = zip_fread(entry.get(), packed, sizeof packed);
    if (got < 0) return false;
    const QByteArray original = file.read(got == 0 ? 1 : got);
    if (got == 0) return original.isEmpty();
    if (original.size() != got || std::memcmp(original.constData(), packed, size_t(got)) != 0)
      return false;
  }
}

// Reads `temp` back: the right entries in the right order, pages stored unchanged.
QString CheckArchive(const QString& temp, const ChapterPages& pages) {
  int code = 0;
  zip_t* raw = zip_open(QFile::encodeName(temp).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
  if (!raw) return QStringLiteral("the new archive %1 cannot be read back").arg(temp);
  ZipHandle zip(raw);
  if (zip_get_num_entries(raw, 0) != pages.files.size() + 1)
    return QStringLiteral("the new archive %1 lacks entries").arg(temp);
  for (qsizetype i = 0; i < pages.files.size(); ++i) {
    zip_stat_t stat;
    if (zip_stat_index(raw, zip_uint64_t(i), 0, &stat) != 0 ||
        QString::fromUtf8(stat.name) != QFileInfo(pages.files[i]).fileName() ||
        stat.comp_method != ZIP_CM_STORE || !EntryEquals(raw, zip_uint64_t(i), pages.files[i]))
      return QStringLiteral("page %1 differs in the new archive %2").arg(pages.numbers[i]).arg(temp);
  }
  if (zip_name_locate(raw, kComicInfoName, 0) < 0)
    return QStringLiteral("the new archive %1 lacks %2").arg(temp, QLatin1String(kComicInfoName));
  return {};
}

} // namespace

QString ArchivePathFor(const QString& folder) {
  QString path = folder;
  while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) path.chop(1);
  return path + QStringLiteral(".cbz");
}

PackResult PackChapter(const QString& folder, int total, ComicInfo info, const PackHook& hook) {
  const auto proceed = [&hook](PackStep step) { return !hook || hook(step); };
  const QString clean = QDir::cleanPath(folder);
  if (!QDir::isAbsolutePath(clean) || clean == QLatin1String("/"))
    return Failure(QStringLiteral("%1 is no chapter folder").arg(folder));
  const ChapterPages pages = FindChapterPages(clean, total);
  if (pages.files.isEmpty()) return Failure(QStringLiteral("no page files in %1").arg(clean));

  AddFolderInfo(clean, info);
  info.pageSizes.clear();
  for (const QString& path : pages.files) {
    const QFileInfo file(path);
    info.pageSizes << file.size();
    const QDateTime written = file.lastModified();
    if (!info.firstPage.isValid() || written < info.firstPage) info.firstPage = written;
    if (!info.lastPage.isValid() || written > info.lastPage) info.lastPage = written;
  }
  const QByteArray xml = ComicInfoXml(info);

  PackResult result;
  result.archive = ArchivePathFor(clean);
  result.pages = int(pages.files.size());
  const QString temp = result.archive + QStringLiteral(".part");
  QFile::remove(temp);
  int systemError = 0;
  QString error = WriteArchive(temp, pages, xml, systemError);
  if (error.isEmpty() && !proceed(PackStep::ArchiveWritten)) return result;
  if (error.isEmpty()) error = CheckArchive(temp, pages);
  if (error.isEmpty() && !SyncPath(temp, false, &systemError))
    error = QStringLiteral("cannot flush %1 to the disk").arg(temp);
  if (!error.isEmpty()) {
    QFile::remove(temp);
    result.error = error;
    result.diskFull = IsNoRoom(systemError);
    return result;
  }
  if (!proceed(PackStep::ArchiveChecked)) return result;

  if (std::rename(QFile::encodeName(temp).constData(),
                  QFile::encodeName(result.archive).constData()) != 0) {
    QFile::remove(temp);
    result.error = QStringLiteral("cannot rename %1 to %2").arg(temp, result.archive);
    return result;
  }
  // The rename must reach the disk before the pages leave it.
  SyncPath(QFileInfo(result.archive).absolutePath(), true);
  if (!proceed(PackStep::ArchiveInPlace)) return result;

  for (const QString& path : pages.files) {
    QFile::remove(path);
    if (!proceed(PackStep::PageRemoved)) return result;
  }
  // The folder's own document is in the archive now.
  QFile::remove(QDir(clean).filePath(QLatin1String(kComicInfoName)));
  QDir().rmdir(clean); // only succeeds when nothing else is left in it
  result.ok = true;
  return result;
}

} // namespace archive
