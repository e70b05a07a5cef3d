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

} // namespace

bool MarkImageUrlTried(const QString& url) { return TriedUrls().insert(url).second; }

void ChoosePageImage(FIHTMLDocument* document, const ImageRequest& page,
                     QStringList& temporaryFiles, PageImageChoice& choice) {
  if (choice.chosen) return;
  const auto images = document->getElementsByTagName(QStringLiteral("img"));
  // The length is read again before every index: a page script may add images meanwhile.
  for (int i = 0; i < images->length(); ++i) {
    const auto element = images->item(i);
    if (!element || !element->Is(ElementKind::Image)) continue;
    const QString url = element->src();
    if (!MarkImageUrlTried(url)) continue;
    auto image = FetchImage(url, page, temporaryFiles);
    if (!image) continue;
    if (ReachesPageSize(*image)) {
      choice.chosen = std::move(image);
      return;
    }
    // Width plays no part; on equal heights the earlier image stays.
    if (!choice.candidate || choice.candidate->height < image->height)
      choice.candidate = std::move(image);
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
