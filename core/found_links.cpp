#include "core/found_links.h"

void CFoundLinks::Assign(std::vector<common::FoundLink> links) {
  entries_.clear();
  for (common::FoundLink& link : links) entries_.push_back({std::move(link), true});
  useOnly_ = false;
  UpdateShown();
}

void CFoundLinks::SetFilter(Filter filter) {
  filter_ = std::move(filter);
  useOnly_ = false;
  UpdateShown();
}

void CFoundLinks::ShowOnly(const std::vector<int>& indexes) {
  only_ = indexes;
  useOnly_ = true;
  UpdateShown();
}

void CFoundLinks::UpdateShown() {
  shown_.clear();
  if (useOnly_) {
    for (int index : only_)
      if (index >= 0 && index < int(entries_.size())) shown_.push_back(index);
    return;
  }
  for (int i = 0; i < int(entries_.size()); ++i)
    if (!filter_ || filter_(entries_[i].link)) shown_.push_back(i);
}

void CFoundLinks::CheckAll(bool checked) {
  for (int index : shown_) entries_[index].checked = checked;
}

std::vector<int> CFoundLinks::CheckedRows() const {
  std::vector<int> rows;
  for (int row = 0; row < ShownCount(); ++row)
    if (Shown(row).checked) rows.push_back(row);
  return rows;
}

QString CFoundLinks::Text() const {
  QString text;
  for (int row = 0; row < ShownCount(); ++row)
    text += common::SearchResultLine(Shown(row).link) + QLatin1Char('\n');
  return text;
}
