#include "engine/page_image.h"

#include "common/temp_file.h"
#include "engine/image_source.h"

#include <QCryptographicHash>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <unistd.h>

namespace engine {
namespace {

// Ordered by UTF-16 code units, case-sensitive; lives until the process ends.
std::set<QString>& TriedUrls() {
  static std::set<QString> tried;
  return tried;
}

bool ReachesPageSize(const CPageImageInfo& image) {
  return image.width >= kPageImageMinWidth && image.height >= kPageImageMinHeight;
}

// The file of an image that is no longer wanted goes at once: a page that keeps adding large
// images would otherwise fill the temporary folder until its view ends.
void Discard(std::unique_ptr<CPageImageInfo> image, QStringList& temporaryFiles) {
  if (!image) return;
  QFile::remove(image->temporaryPath);
  temporaryFiles.removeAll(image->temporaryPath);
}

// Whether the file at `path` holds exactly `bytes`.
bool SameBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.size() != bytes.size() || !file.open(QIODevice::ReadOnly)) return false;
  return file.readAll() == bytes;
}

// Takes a fetched image as the page image when it reaches the page size (true), or else as
// the candidate when it is the tallest so far. Width plays no part in the candidate; on
// equal heights the earlier image stays.
bool Weigh(std::unique_ptr<CPageImageInfo> image, PageImageChoice& choice,
           QStringList& temporaryFiles) {
  if (!image) return false;
  if (ReachesPageSize(*image)) {
    choice.chosen = std::move(image);
    return true;
  }
  if (!choice.candidate || choice.candidate->height < image->height)
    std::swap(choice.candidate, image);
  Discard(std::move(image), temporaryFiles); // the one that lost, if any
  return false;
}

// The canvas step of ChoosePageImage.
void ChooseCanvas(FIHTMLDocument* document, QStringList& temporaryFiles, PageImageChoice& choice) {
  const auto canvases = document->getElementsByTagName(QStringLiteral("canvas"));
  for (int i = 0; i < canvases->length(); ++i) {
    const auto canvas = canvases->item(i);
    if (!canvas || !canvas->Is(ElementKind::Canvas)) continue;
    if (canvas->offsetWidth() < kPageImageMinWidth || canvas->offsetHeight() < kPageImageMinHeight)
      continue;
    choice.pageCanvas = true;
    if (!choice.imagesLoad) return; // drawn from pictures the page was not let load
    const QByteArray picture = canvas->canvasPicture();
    const QByteArray look =
        picture.isEmpty() ? QByteArray()
                          : QByteArray::number(i) + ':' +
                                QCryptographicHash::hash(picture, QCryptographicHash::Sha256);
    if (look.isEmpty() || look != choice.canvasLook) {
      choice.canvasLook = look;
      return;
    }
    choice.chosen = ImageOfBytes(QStringLiteral("canvas:%1").arg(i), picture, temporaryFiles);
    return;
  }
}

bool pagesAreDrawn = false;

} // namespace

void RememberPagesAreDrawn() { pagesAreDrawn = true; }
bool PagesAreDrawn() { return pagesAreDrawn; }

bool MarkImageUrlTried(const QString& url) { return TriedUrls().insert(url).second; }

void ChoosePageImage(FIHTMLDocument* document, const ImageRequest& page,
                     QStringList& temporaryFiles, PageImageChoice& choice) {
  if (choice.chosen) return;
  const QString tag = QStringLiteral("img");
  auto images = document->getElementsByTagName(tag);
  int fetches = 0;
  for (int i = 0; i < images->length(); ++i) {
    const auto element = images->item(i);
    if (!element || !element->Is(ElementKind::Image)) continue;
    const QString url = element->imageSource();
    if (!MarkImageUrlTried(url)) continue;
    // A page that keeps adding images cannot hold the scan (and the page's last chance) for
    // ever: the images left over wait for the next tick.
    if (++fetches > kMaxFetchesPerScan) return;
    std::optional<common::FailureReport> failure;
    auto image = ObtainImage(url, page, temporaryFiles, &failure);
    if (failure) choice.fetchFailure = failure;
    // The page lives on while a download waits: the images are listed again, so the length
    // the next index is tested against counts what a page script added or removed meanwhile.
    images = document->getElementsByTagName(tag);
    if (Weigh(std::move(image), choice, temporaryFiles)) return;
  }
  // Pictures shown as CSS backgrounds count like img elements, after them: a reader may lay
  // a transparent image over its page, which the loop above has met first.
  for (const QString& url : document->backgroundImageSources()) {
    if (!MarkImageUrlTried(url)) continue;
    if (++fetches > kMaxFetchesPerScan) return;
    std::optional<common::FailureReport> failure;
    auto image = ObtainImage(url, page, temporaryFiles, &failure);
    if (failure) choice.fetchFailure = failure;
    if (Weigh(std::move(image), choice, temporaryFiles)) return;
  }
  // A reader that draws its page into a canvas shows no image of it at all.
  ChooseCanvas(document, temporaryFiles, choice);
}

QString PageImageFileName(const QString& folder, std::int32_t page, const QString& extension) {
  return folder + QString::asprintf("%.3d", int(page)) + extension;
}

bool SavePageImageFile(const CPageImageInfo& image, const QString& folder, std::int32_t page,
                       common::FailureReport* failure) {
  const QString target = PageImageFileName(folder, page, image.extension);
  const auto fail = [&](int error) {
    if (failure) *failure = FailureOfWrite(error);
    return false;
  };
  QFile source(image.temporaryPath);
  if (!source.open(QIODevice::ReadOnly)) return fail(EIO);
  const QByteArray bytes = source.readAll();
  if (SameBytes(target, bytes)) return true;

  const QString partial = folder + QLatin1Char('.') + target.mid(folder.size()) +
                          QStringLiteral(".part");
  const QByteArray partialName = QFile::encodeName(partial);
  // A page is the user's file like any other (readable by a media server or over a share
  // when the umask allows it), not private like the temporary file it comes from.
  const int fd = ::open(partialName.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                        common::NewFileMode());
  if (fd < 0) return fail(errno);
  int error = 0;
  const char* data = bytes.constData();
  for (qsizetype left = bytes.size(); left > 0 && error == 0;) {
    const ssize_t done = ::write(fd, data, size_t(left));
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) error = done < 0 ? errno : ENOSPC;
    else data += done, left -= done;
  }
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && std::rename(partialName.constData(), QFile::encodeName(target).constData()) != 0)
    error = errno;
  if (error != 0) {
    ::unlink(partialName.constData());
    return fail(error);
  }
  return true;
}

common::FailureReport FailureOfWrite(int error) {
  if (error == ENOSPC || error == EDQUOT) return {0, common::FailureReason::DiskFull, {}};
  return {0, common::FailureReason::FolderNotWritable, QString::fromLocal8Bit(std::strerror(error))};
}

} // namespace engine
