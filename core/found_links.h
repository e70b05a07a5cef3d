#pragma once
// CFoundLinks: the links a link search found, as the search dialog offers them for adding:
// each with a check mark (on at first) and the folder it would be downloaded into, which the
// user may change.
//
// A filter hides links without forgetting their marks or folders; a chosen list (the chapters
// of a series, in reading order) shows exactly those links, in its own order. Check all, check
// none, the checked links and the text form concern the shown links only, in the order shown.
// Rows of a view are numbered by the shown links.
//
// Plain data on the user-interface thread; no widgets, so the command line may use it too.
#include "common/search_result_file.h"

#include <QString>
#include <functional>
#include <vector>

class CFoundLinks {
public:
  struct Entry {
    common::FoundLink link; ///< as the engine found it; link.folder as the user left it
    bool checked = true;
  };
  /// Whether a link is shown; an empty filter shows every link.
  using Filter = std::function<bool(const common::FoundLink&)>;

  /// Replaces the links; every one is checked. The filter stays.
  void Assign(std::vector<common::FoundLink> links);
  /// Shows the links the filter lets through, in the page's order.
  void SetFilter(Filter filter);
  /// Shows only the links at `indexes` (positions in the list Assign took), in that order,
  /// until the next SetFilter or Assign; indexes out of range are passed over.
  void ShowOnly(const std::vector<int>& indexes);

  /// Shown links, by their shown row (0-based).
  int ShownCount() const { return int(shown_.size()); }
  const Entry& Shown(int row) const { return entries_[shown_[row]]; }
  void SetChecked(int row, bool checked) { entries_[shown_[row]].checked = checked; }
  void SetFolder(int row, const QString& folder) { entries_[shown_[row]].link.folder = folder; }
  /// Checks (or unchecks) every shown link.
  void CheckAll(bool checked);
  /// The shown rows that are checked, in order.
  std::vector<int> CheckedRows() const;

  /// Every link, shown or not.
  int Count() const { return int(entries_.size()); }
  bool IsEmpty() const { return entries_.empty(); }

  /// The shown links as text, one "address   folder" line each (common::SearchResultLine),
  /// every line ending with "\n": the form the links box and folivex-get's --list read.
  QString Text() const;

private:
  void UpdateShown();

  std::vector<Entry> entries_;
  std::vector<int> shown_; ///< indexes into entries_ of the shown links, in order
  Filter filter_;
  std::vector<int> only_; ///< ShowOnly's indexes, used while useOnly_
  bool useOnly_ = false;
};
