#pragma once
// Choosing a page's comic image among its img elements and CSS backgrounds, and saving it into
// the task folder.
// Everything runs on the engine's main thread, from the monitor view's timer callbacks.
#include "engine/browser/document.h"
#include "engine/image_fetch.h"
#include "engine/page_image_info.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>

namespace engine {

/// The smallest picture taken as a comic page at once (both limits inclusive).
constexpr std::int32_t kPageImageMinWidth = 301;
constexpr std::int32_t kPageImageMinHeight = 401;

/// Fetches one scan makes at most; further new images are left to the next scan.
constexpr int kMaxFetchesPerScan = 64;

/// Records `url` in the process-wide set of image addresses already tried; false when it was
/// there before. The set only grows: each address is fetched at most once per engine process.
bool MarkImageUrlTried(const QString& url);

/// Whether a reader of this engine's chapter has drawn its page into a canvas: from then on
/// every page loads its images from the start. Process-wide, like the tried addresses.
void RememberPagesAreDrawn();
bool PagesAreDrawn();

/// What one view has found so far.
struct PageImageChoice {
  std::unique_ptr<CPageImageInfo> chosen;    ///< the page image, once one reached the size
  std::unique_ptr<CPageImageInfo> candidate; ///< the tallest smaller one (first on ties)
  /// Why the latest image that could not be fetched failed; none while every fetch worked.
  std::optional<common::FailureReport> fetchFailure;
  /// Set by the view: the page loads its images, so a canvas shows what its reader draws from
  /// them and may be taken. Until then a canvas is only noted (`pageCanvas`).
  bool imagesLoad = false;
  /// A scan found no image of the page size, but a canvas of at least 301 x 401 CSS pixels:
  /// a reader that draws its page.
  bool pageCanvas = false;
  /// What the last look at that canvas saw; it is taken when the next look sees the same
  /// picture (a reader that is still drawing shows another).
  QByteArray canvasLook;
};

/// Scans the document's img elements in order (each by the largest picture it offers), then
/// the pictures elements show as CSS backgrounds, obtaining each address not tried before
/// (ObtainImage), until one reaches 301 x 401; smaller ones compete for the candidate by
/// height alone. The images are listed again after every fetch. When none reaches the size,
/// the first canvas of at least 301 x 401 CSS pixels is the page, taken as PNG at its own
/// pixel size once two looks in a row see the same picture in it, and only while the page
/// loads its images (see PageImageChoice). Only the chosen image and the candidate keep their
/// temporary files. Does nothing once an image is chosen. May throw DocumentError (what was
/// found before stays). `page` names the document's address as referring page, its
/// browser's user agent and the cookies it would send.
void ChoosePageImage(FIHTMLDocument* document, const ImageRequest& page,
                     QStringList& temporaryFiles, PageImageChoice& choice);

/// folder + page as "%.3d" + extension; the name has no other part from the web.
QString PageImageFileName(const QString& folder, std::int32_t page, const QString& extension);

/// Replaces the page's file with the record's temporary file: written beside it under a hidden
/// name and renamed over it, so a failed write (a full disk) never leaves half a page. A page
/// file that already holds exactly these bytes is left as it is and nothing is written (a
/// restart, or a chapter downloaded again into its folder). A file of the same page with
/// another extension stays. False when the page could not be written; `failure`, when given,
/// then says why (DiskFull or FolderNotWritable).
bool SavePageImageFile(const CPageImageInfo& image, const QString& folder, std::int32_t page,
                       common::FailureReport* failure = nullptr);

/// The failure a write that failed with `error` (an errno) reports: DiskFull for ENOSPC and
/// EDQUOT, FolderNotWritable with the system's text otherwise.
common::FailureReport FailureOfWrite(int error);

} // namespace engine
