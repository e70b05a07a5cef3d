#pragma once
// The result of a link search as the engine hands it to the program that started it: a small
// UTF-8 JSON file at the path that program named in the hand-off ("search_result").
//
//   {"links": [{"url": "...", "folder": "...", "text": "..."}, ...],
//    "page": {"title": "...", "heading": "...", "count": 120}}
//
// One entry per link, in the list page's link order. "url" is the address the link led to,
// one line (blanks and control characters percent-encoded); "folder" the folder the engine
// proposes for it (the job's folder plus one safe name made from the link text); "text" the
// link's text with its white space collapsed. "page" is what the list page says about its series:
// its title, the text of its first h1 element (empty when it has none) and the number of
// chapters it states for the series (0: none); the front-ends make the series name of it. Readers ignore keys they do not know, so the
// engine may add some later.
#include <QString>
#include <optional>
#include <vector>

namespace common {

/// One link the search found.
struct FoundLink {
  QString url;    ///< where the link leads
  QString folder; ///< the task folder proposed for it
  QString text;   ///< the link's text, one line

  bool operator==(const FoundLink&) const = default;
};

/// What a list page says about its series.
struct ListPage {
  QString title;   ///< the page's title, one line
  QString heading; ///< its first h1 element's text, one line; empty when it has none
  int count = 0;   ///< the chapters it states for the whole series; 0: none stated
  bool operator==(const ListPage&) const = default;
};

/// A whole search result.
struct SearchResult {
  std::vector<FoundLink> links; ///< in the page's link order
  ListPage page;
  bool operator==(const SearchResult&) const = default;
};

/// The result file may be this large at most; a larger one is refused as damaged.
inline constexpr qint64 kMaxSearchResultBytes = 64 * 1024 * 1024;

/// Writes `links` to `path` whole or not at all (written beside it, then renamed). False when
/// the file could not be written.
bool WriteSearchResultFile(const QString& path, const std::vector<FoundLink>& links,
                           const ListPage& page = {});

/// Reads a result file. Nullopt when it is missing, too large or no result file; entries
/// without an address are passed over, missing text or folder read as empty, and so does a
/// missing page; a negative count reads as 0.
std::optional<SearchResult> ReadSearchResultFile(const QString& path);

/// The line of one link as the text form shows it and the links box takes it back: the
/// address, three spaces, the folder.
QString SearchResultLine(const FoundLink& link);

} // namespace common
