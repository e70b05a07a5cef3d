#pragma once
// Picking the reports of one kind out of a recorded sequence.
#include "common/engine_report.h"

#include <vector>

namespace testing_support {

/// The reports of one kind among `reports`, in their order.
template <class Report>
std::vector<Report> ReportsOf(const std::vector<common::EngineReport>& reports) {
  std::vector<Report> found;
  for (const auto& report : reports)
    if (const auto* r = std::get_if<Report>(&report)) found.push_back(*r);
  return found;
}

} // namespace testing_support
