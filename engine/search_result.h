#pragma once
// The links one chapter link search found, each with the folder proposed for it, as the engine
// hands them to the program that started the search (common/search_result_file.h).
#include "common/search_result_file.h"

#include <QSet>
#include <QString>
#include <vector>

namespace engine {

/// The found links of one search, in link order.
class CSearchResult {
public:
  /// `folder` is the folder every link's folder is made in (it ends with "/").
  explicit CSearchResult(QString folder) : folder_(std::move(folder)) {}

  /// Appends one link: blanks and control characters in `address` are percent-encoded, so the
  /// address stays one line whatever a page produced; the folder is `folder` plus the link
  /// text made into one safe folder-name component (SafeFolderComponent). Links whose texts
  /// give the same name get distinct folders ("name", "name 2", "name 3", ...), so no two
  /// chapters of a list ever share a folder.
  void Add(const QString& address, const QString& linkText);
  const std::vector<common::FoundLink>& Links() const { return links_; }

private:
  QString folder_;
  std::vector<common::FoundLink> links_;
  QSet<QString> used_;
};

} // namespace engine
