#pragma once
// Where a page image's bytes come from. An address of the page's own making never goes to the
// network: a data: address carries its bytes, a blob: address is read inside the page. An
// image the browser has loaded itself is taken from the browser's answer, so that it reaches
// the site once. Anything else is fetched (FetchImage). Runs on the engine's main thread.
#include "engine/image_fetch.h"
#include "engine/page_image_info.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace engine {

/// The bytes of a data: address ("data:[type][;base64],data"); none for anything else, bad
/// base64, or more than the largest download.
std::optional<QByteArray> DecodeDataUrl(const QString& url);

/// The page image at `url`: from the address itself (data:), from the page
/// (`request.pageBytes`), or fetched (http and https only; a blob: address the page cannot
/// give is no image). Null as FetchImage, and for bytes that are no picture of an accepted
/// format. The record keeps its temporary file in `temporaryFiles`. `failure` receives why a
/// fetch failed, as FetchImage gives it.
std::unique_ptr<CPageImageInfo> ObtainImage(const QString& url, const ImageRequest& request,
                                            QStringList& temporaryFiles,
                                            std::optional<common::FailureReport>* failure = nullptr);

/// Decodes `bytes` held in memory into a record under `key` (the address, or what names a
/// picture without one); the bytes go to a new temporary file listed in `temporaryFiles`.
/// Null, and nothing left behind, when they are no picture of an accepted format.
std::unique_ptr<CPageImageInfo> ImageOfBytes(const QString& key, const QByteArray& bytes,
                                             QStringList& temporaryFiles);

} // namespace engine
