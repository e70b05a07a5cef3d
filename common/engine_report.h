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

/// Why the engine cannot go on. On the wire each reason travels as the name after it, so a
/// reader that meets a name it does not know drops the report, and the stall that follows it
/// keeps its old meaning.
enum class FailureReason {
  ProxyNoAnswer,     ///< "proxy": the proxy did not answer; detail: the browser's error name
  SiteRefused,       ///< "site_refused": the site refused the connection
  SiteNotFound,      ///< "site_not_found": no such host
  SiteTimedOut,      ///< "site_timed_out": the site did not answer in time
  SiteNoAnswer,      ///< "site": the site gave no answer otherwise; detail: the browser's error name
  HttpError,         ///< "http": the page answered with an HTTP error; detail: the status
  NotWebPage,        ///< "not_page": the answer is no web page (another type, an attachment)
  NoPageImage,       ///< "no_image": no picture on the page could serve as its page image
  NoNextPage,        ///< "no_next": no way from this page to the next was found
  ImageHttpError,    ///< "image_http": the page image answered with an error; detail: the status
  ImageRedirects,    ///< "image_redirects": the page image redirected too many times
  ImageTimedOut,     ///< "image_timed_out": the page image did not arrive in time
  ImageNoAnswer,     ///< "image_no_answer": the image's server gave no answer; detail: why
  ImageNotPicture,   ///< "image_not_picture": the page image is no picture of a known format
  ImageTooLarge,     ///< "image_too_large": the page image is larger than the engine takes
  ImageCutShort,     ///< "image_cut_short": the page image's transfer ended early
  FolderNotWritable, ///< "folder": the page could not be written; detail: the system's reason
  DiskFull,          ///< "disk_full": a page or temporary file found no room (ENOSPC, EDQUOT)
};

/// "105": why the engine is about to stall. Sent right before "102", whose handling it only
/// informs: a front-end that ignores it still sees the stall as before.
struct FailureReport {
  std::int32_t taskId = 0;
  FailureReason reason = FailureReason::NoPageImage;
  QString detail; ///< see the reason; one line of at most kMaxFailureDetail characters
  bool operator==(const FailureReport&) const = default;
};

/// The longest detail a failure report carries; longer text is cut.
constexpr qsizetype kMaxFailureDetail = 200;

using EngineReport = std::variant<PageInfoReport, PageSavedReport, StallReport, LanguageReport,
                                  PageCapReport, FailureReport>;

/// The wire name of a reason ("proxy", "http", ...).
QString FailureReasonName(FailureReason reason);
/// The reason a wire name stands for; nullopt for a name this build does not know.
std::optional<FailureReason> FailureReasonNamed(const QString& name);
/// `text` as a failure detail: control characters become blanks, trimmed, at most
/// kMaxFailureDetail characters.
QString FailureDetail(const QString& text);

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
