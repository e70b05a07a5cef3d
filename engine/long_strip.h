#pragma once
// Long strips: chapters that show all their pages on one web page, one image under the other.
// When no page-jump strategy fits a page at its last chance, the page is scrolled through
// from top to bottom, and every image address it shows on the way is kept in reading order,
// also of images a list removes again once scrolled past. When two or more of them reach the
// page size, the monitor view saves all of them in that order. This file finds them and
// remembers where they sit, so that an engine restarted after page k fetches only the images
// after k.
//
// Everything runs on the engine's user-interface thread.
#include "engine/page_image_info.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace engine {

/// Fetches one image address (registering its temporary file with the view); null on failure.
using StripImageFetcher = std::function<std::unique_ptr<CPageImageInfo>(const QString& url)>;

/// One page of a strip.
struct StripPage {
  int position = 0; ///< index of its address among the addresses the scroll has shown
  std::unique_ptr<CPageImageInfo> image;
};

/// The images of `sources` (the addresses a scroll through the page has shown, in reading
/// order) that reach 301 x 401, each address fetched once (a repeated address is the same page
/// shown twice and counts once). With `positions`, only the addresses at those indexes are
/// fetched. The temporary files of smaller images are deleted at once and taken off
/// `temporaryFiles`.
std::vector<StripPage> CollectStripPages(const QStringList& sources, const StripImageFetcher& fetch,
                                         QStringList& temporaryFiles,
                                         const std::vector<int>* positions = nullptr);

/// Where a strip's pages sit in its document: kept in the user's cache folder under a name
/// made from the task folder and the strip's address, from the first save until the last page
/// is saved.
struct StripRecord {
  std::int32_t firstPage = 1;  ///< the page number of the strip's first image
  std::vector<int> positions;  ///< indexes of its pages among the scroll's addresses

  std::int32_t LastPage() const { return firstPage + std::int32_t(positions.size()) - 1; }

  static QString PathFor(const QString& folder, const QString& url);
  /// Null when there is none or it cannot be read as one.
  static std::optional<StripRecord> Load(const QString& folder, const QString& url);
  bool Save(const QString& folder, const QString& url) const;
  static void Remove(const QString& folder, const QString& url);
};

/// Whether a page file of `page` ("%.3d" and any extension) exists in `folder`.
bool PageFileExists(const QString& folder, std::int32_t page);

} // namespace engine
