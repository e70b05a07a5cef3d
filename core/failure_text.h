#pragma once
// Why a task failed, in the user's language. The texts come from the language file: section
// "REASON" holds one text per reason, keyed by the reason's name (the engine's wire name of
// a FailureReason, or one of the front-end's own below); section "ERROR" the general ones
// (1 pages, 2 packing, 3 folder missing, 4 folder locked, 5 disk full). A text may hold one
// "%s", which the detail fills (the browser's error name, the system's reason), or one "%d"
// for a number (an HTTP status).
//
// A language file without a reason's text still gives one: the general [ERROR] 1 text with
// the reason's name and detail after it, so a failed task never reads as merely stopped.
#include "common/engine_report.h"

#include <QString>

namespace failure_text {

// Reasons the front-end finds itself (keys of section "REASON").
inline constexpr const char* kEngineCrashed = "engine_crashed";       ///< its process ended unasked
inline constexpr const char* kEngineNoHello = "engine_no_hello";      ///< it never said hello
inline constexpr const char* kEngineSilent = "engine_silent";         ///< it stopped reporting
inline constexpr const char* kFolderNotAbsolute = "folder_not_absolute"; ///< %s: the folder field
inline constexpr const char* kFolderCut = "folder_cut";               ///< %s: what is left of it

/// The [ERROR] text of `key` (1 to 5); a language file without it gives the [ERROR] 1 text,
/// and one without that an English sentence.
QString ErrorText(int key);

/// The [REASON] text of `key` with `detail` filled in.
QString ReasonText(const QString& key, const QString& detail = {});

/// The text of an engine's failure report: its reason's [REASON] text, except DiskFull, whose
/// text is [ERROR] 5.
QString ReportText(const common::FailureReport& report);

/// Whether a failure ends its task without a restart: a folder that cannot take the pages (no
/// room, no permission) would fail every restart the same way.
bool EndsTaskAtOnce(common::FailureReason reason);

} // namespace failure_text
