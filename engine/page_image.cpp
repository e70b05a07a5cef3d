#include "engine/page_image.h"

#include "common/temp_file.h"
#include "engine/image_fetch.h"

#include <QFile>

#include <set>

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

} // namespace

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
    const QString url = element->src();
    if (!MarkImageUrlTried(url)) continue;
    // A page that keeps adding images cannot hold the scan (and the page's last chance) for
    // ever: the images left over wait for the next tick.
    if (++fetches > kMaxFetchesPerScan) return;
    auto image = FetchImage(url, page, temporaryFiles);
    // The page lives on while a download waits: the images are listed again, so the length
    // the next index is tested against counts what a page script added or removed meanwhile.
    images = document->getElementsByTagName(tag);
    if (!image) continue;
    if (ReachesPageSize(*image)) {
      choice.chosen = std::move(image);
      return;
    }
    // Width plays no part; on equal heights the earlier image stays.
    if (!choice.candidate || choice.candidate->height < image->height)
      std::swap(choice.candidate, image);
    Discard(std::move(image), temporaryFiles); // the one that lost, if any
  }
}

QString PageImageFileName(const QString& folder, std::int32_t page, const QString& extension) {
  return folder + QString::asprintf("%.3d", int(page)) + extension;
}

bool SavePageImageFile(const CPageImageInfo& image, const QString& folder, std::int32_t page) {
  const QString target = PageImageFileName(folder, page, image.extension);
  // QFile::copy never overwrites; removing first makes room for the new page.
  QFile::remove(target);
  if (!QFile::copy(image.temporaryPath, target)) return false;
  // The copy keeps the private mode of the temporary file; a page is the user's file like
  // any other (readable by a media server or over a share when the umask allows it).
  common::SetNewFileMode(target);
  return true;
}

} // namespace engine
