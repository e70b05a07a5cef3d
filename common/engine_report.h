#pragma once
// The engine's reports to the front-end as types. On the wire a report is the item list of
// one command file: item "0" the report code (protocol.h), then the fields below in order.
// Both programs and the tests build and read reports only through these functions.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <variant>

namespace common {

/// "100": the page the engine looks at. Sent on every scan of a page.
struct PageInfoReport {
  std::int32_t taskId = 0;
  QString title;          ///< the page's title
  std::int32_t total = 0; ///< the chapter's page count as the page states it; 0 when unknown
  bool operator==(const PageInfoReport&) const = default;
};

/// "101": page `page` is saved in the task folder.
struct PageSavedReport {
  std::int32_t taskId = 0;
  std::int32_t page = 0; ///< counts from 1
  QString url;           ///< the address of the page the image came from
  bool operator==(const PageSavedReport&) const = default;
};

/// "102": the engine cannot go on from this page.
struct StallReport {
  std::int32_t taskId = 0;
  bool operator==(const StallReport&) const = default;
};

/// "103": the language the page states, sent once per page when it states one. A report of
/// its own rather than an item more of "100": a reader refuses a "100" of any other length,
/// while every reader ignores a code it does not know.
struct LanguageReport {
  std::int32_t taskId = 0;
  QString language; ///< an ISO 639 code as LanguageCode gives it; never empty when sent
  bool operator==(const LanguageReport&) const = default;
};

/// "104": a chapter without a stated total reached the page cap. Sent once, right before the
/// page-saved report of the cap's page, whose page-info report has that page as its total,
/// so that the chapter ends there as done.
struct PageCapReport {
  std::int32_t taskId = 0;
  std::int32_t cap = 0; ///< the cap, which is the last page saved
  bool operator==(const PageCapReport&) const = default;
};

using EngineReport =
    std::variant<PageInfoReport, PageSavedReport, StallReport, LanguageReport, PageCapReport>;

/// The item list of a command file carrying `report`.
QStringList ReportItems(const EngineReport& report);

/// The report an item list carries; nullopt for an unknown code or a wrong number of items.
/// Numbers are read by the command-file numeric rule (ParseInt32): text that is no number
/// reads as 0, which the receiver judges.
std::optional<EngineReport> ParseReport(const QStringList& items);

/// The ISO 639 code (lower case, 2 or 3 letters: "zh", "en", "haw") of a language tag as pages
/// state it ("zh-CN", "en_US", "EN", "de, en" takes the first). Empty for anything else: no
/// tag, "und", private or grandfathered tags ("x-...", "i-..."), subtags that are no letters
/// and digits, or a tag longer than 35 characters. Page text is hostile: nothing else passes.
QString LanguageCode(const QString& tag);

/// The task id every report starts with.
std::int32_t ReportTaskId(const EngineReport& report);

} // namespace common
