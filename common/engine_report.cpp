#include "common/engine_report.h"

#include "common/ini_rules.h"
#include "common/protocol.h"

namespace common {
namespace {

QString Code(const char* code) { return QString::fromLatin1(code); }

QStringList Items(const PageInfoReport& r) {
  return {Code(protocol::kReportPageInfo), QString::number(r.taskId), r.title,
          QString::number(r.total)};
}

QStringList Items(const PageSavedReport& r) {
  return {Code(protocol::kReportPageSaved), QString::number(r.taskId), QString::number(r.page),
          r.url};
}

QStringList Items(const StallReport& r) {
  return {Code(protocol::kReportStall), QString::number(r.taskId)};
}

} // namespace

QStringList ReportItems(const EngineReport& report) {
  return std::visit([](const auto& r) { return Items(r); }, report);
}

std::optional<EngineReport> ParseReport(const QStringList& items) {
  if (items.isEmpty()) return std::nullopt;
  const QString& code = items[0];
  // Each report has exactly its items: a longer or shorter list comes from something else.
  if (code == QLatin1String(protocol::kReportPageInfo) && items.size() == 4)
    return PageInfoReport{ParseInt32(items[1]), items[2], ParseInt32(items[3])};
  if (code == QLatin1String(protocol::kReportPageSaved) && items.size() == 4)
    return PageSavedReport{ParseInt32(items[1]), ParseInt32(items[2]), items[3]};
  if (code == QLatin1String(protocol::kReportStall) && items.size() == 2)
    return StallReport{ParseInt32(items[1])};
  return std::nullopt;
}

std::int32_t ReportTaskId(const EngineReport& report) {
  return std::visit([](const auto& r) { return r.taskId; }, report);
}

} // namespace common
