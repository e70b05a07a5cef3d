#pragma once
// Chapter links found by themselves. A link search catches every link of a list page: the
// site's menus, rankings, other series' latest chapters, and the chapters of the series the
// page lists. This rule tells the chapters apart, with no knowledge of any site:
//
//  1. A link whose text and address carry no number is no chapter. A link listed twice (a
//     cover picture and a title, say) counts once, where it first appears.
//  2. The rest are grouped by the shape of their address: the host and the path (with the
//     query) in which every number is replaced, so "/read/12/5.html" and "/read/12/6.html"
//     share a shape, and "chapter-12-5" has the shape of "chapter-13" (a number may carry a
//     decimal part after ".", "-" or "_").
//  3. In a group, a number place that holds one value in most addresses and a different,
//     unrepeated value in a few marks those few as another series (a series id in the path of
//     a "latest updates" link): they leave the group.
//  4. The largest group is the chapter list; of equal groups the one with more chapter labels
//     in its link texts, then the one that starts first. When no group has two links, the links
//     whose texts name a chapter ("Chapter 3") are taken.
//  5. Each chapter's number comes from its text: 第12话, 第12回, 第12章 (also in Chinese
//     numerals), 12話, 제12화, "Chapter 12", "Ch. 12", "Episode 12", "Ep 12", "#12", or a text
//     that is only a number; else from the number place its address changes from chapter to
//     chapter. Decimals stay: 12.5.
//  6. Reading order is oldest first: when the numbers mostly fall down the page (newest first),
//     the list is reversed; then the numbered chapters are put in the order of their numbers,
//     chapters without a number keeping their places.
//
// Pure functions, no I/O; the folder names are single safe folder-name components.
#include "common/search_result_file.h"

#include <QList>
#include <QSet>
#include <QString>
#include <vector>

namespace chapter_links {

/// One link a search caught: the address it led to and its text.
struct FoundLink {
  QString url;
  QString text;
};

/// One chapter of the list.
struct ChapterLink {
  QString url;
  QString text;       ///< the link text
  QString number;     ///< "12", "12.5"; empty when neither text nor address gave one
  QString folderName; ///< set by NameFolders
  bool operator==(const ChapterLink&) const = default;
};

/// The chapter number `text` states by one of the labels above, or a text that is only a
/// number; "" when none. Full-width digits count; leading zeros and a decimal part of zeros go.
QString NumberInText(const QString& text);
/// Whether `text` names a chapter with a label (a bare number does not count).
bool HasChapterLabel(const QString& text);
/// "012.50" -> "12.5", "7.0" -> "7".
QString CanonicalNumber(const QString& digits);

/// The shape of an address: lower-case host, then path and query with every number made "#".
QString AddressShape(const QString& url);

/// The chapters among `links` (in page order), in reading order, numbered; folder names empty.
QList<ChapterLink> FindChapterLinks(const QList<FoundLink>& links);

/// "SERIES - Chapter NUMBER" ("Chapter NUMBER" without a series), or the link text when the
/// chapter has no number; made one safe folder-name component.
QString ChapterFolderName(const QString& series, const ChapterLink& chapter);
/// Gives every chapter its ChapterFolderName, made distinct from the names in `used` and from
/// each other ("name", "name 2", ...); the names given are added to `used`.
void NameFolders(QList<ChapterLink>& chapters, const QString& series, QSet<QString>& used);

/// FindChapterLinks of the links a link search found (their proposed folders play no part).
QList<ChapterLink> ChaptersAmong(const std::vector<common::FoundLink>& links);
/// The chapters of a link search of the list page `url` that says `page` about itself: found
/// among its links and named (NameFolders) after the series the page names
/// (series_name::SeriesName).
QList<ChapterLink> NamedChapters(const std::vector<common::FoundLink>& links,
                                 const common::ListPage& page, const QString& url);

} // namespace chapter_links
