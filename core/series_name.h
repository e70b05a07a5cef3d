#pragma once
// The name of a series, from its list page: the page's title or its main heading, cleaned of
// the site's name and of the words sites add around every title.
//
// The title is cut at its separators (" - ", " | ", "_", " – ", " — ", "｜", " :: ", " · ");
// parts that name the site (they contain the host's name, as "MangaSite" for
// "www.manga-site.com") or are only such words ("Read Manga Online", "最新章节") are dropped,
// and the first part left, without those words at its ends ("海贼王漫画" gives "海贼王"), is the
// title's name. The heading wins when it is short, names no site, and agrees with the title
// (one contains the other), or when the title gives nothing. Pure functions, no I/O.
#include <QString>

namespace series_name {

/// The series name of a list page at `pageUrl` with `title` and main `heading`; empty when
/// neither gives one. White space is collapsed; the text is not made a folder name here.
QString SeriesName(const QString& title, const QString& heading, const QString& pageUrl);

} // namespace series_name
