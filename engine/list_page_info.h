#pragma once
// What a chapter-list page says about its series: its title, its main heading, and the number
// of chapters it states. The link search writes it into its result file (common::ListPage), and
// the front-ends make the series name and the comic book count of it.
#include "common/search_result_file.h"
#include "engine/browser/document.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

namespace engine {

/// The chapter count a list page's text states for the whole series: "全120话" (also 話, 回,
/// 集, 卷, 巻), "共120话" (also 章), "총 120화", "Total chapters: 120", "Chapters: 120",
/// "120 chapters (complete)". Full-width digits count. 0 when none is stated; the first
/// statement found in that order decides.
std::int32_t StatedChapterCount(const QString& pageText);

/// What `document` says about its series. Parts the document cannot give stay empty (a
/// document error is never passed on). Nullopt when `alive` expired during a read: the view
/// that owns the document was deleted.
std::optional<common::ListPage> ReadListPage(FIHTMLDocument& document,
                                             const std::weak_ptr<bool>& alive);

} // namespace engine
