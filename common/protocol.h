#pragma once
// The contract between Folivex and Gantrell: window message numbers, the handshake reply,
// hand-off file keys and report codes. Both programs include this one header.
#include <cstdint>

namespace protocol {

constexpr std::uint32_t WM_APP = 0x8000;

// Messages that cross the process boundary.
constexpr std::uint32_t WM_APP_ENGINE_HELLO = WM_APP + 0x20;   ///< engine -> "hwnd"; wParam task id, lParam engine window
constexpr std::uint32_t WM_APP_ENGINE_COMMAND = WM_APP + 0x21; ///< engine -> front-end; wParam task id, lParam command number
constexpr std::uint32_t WM_APP_ENGINE_QUIT = WM_APP + 0x22;    ///< front-end -> engine (notify); engine -> itself (post)
constexpr std::uint32_t WM_APP_SEARCH_DONE = WM_APP + 0x23;    ///< link-search engine -> search-link dialog

// Messages that stay inside one process.
constexpr std::uint32_t WM_APP_VIEW_DONE = WM_APP + 0x01;   ///< engine view -> host dialog; wParam the view
constexpr std::uint32_t WM_APP_ADD_LINK = WM_APP + 0x01;    ///< drop target -> main window; wParam a heap QString*
constexpr std::uint32_t WM_APP_TRIM_MEMORY = WM_APP + 0x03; ///< main window -> itself after start-up

/// WM_APP_SEARCH_DONE's wParam: what became of the search.
constexpr std::int64_t SEARCH_DONE_SHOWN = 0;       ///< an older engine showed the result itself
constexpr std::int64_t SEARCH_DONE_PAGE_FAILED = 1; ///< the list page could not be loaded; lParam
                                                    ///< its HTTP status, 0 when the site gave no answer
constexpr std::int64_t SEARCH_DONE_WRITTEN = 2;     ///< the result is in the "search_result" file;
                                                    ///< lParam the engine's window
constexpr std::int64_t SEARCH_DONE_NOT_WRITTEN = 3; ///< the result could not be written there (or
                                                    ///< the job named no file); lParam as above
/// A search-link window answers a WM_APP_SEARCH_DONE with ENGINE_HELLO_ACCEPTED when it takes
/// the result, and with 0 when the engine is not (or no longer) the one it holds; the engine
/// then deletes its result file.

/// Returned from WM_APP_ENGINE_HELLO (and WM_APP_SEARCH_DONE) to accept the engine.
constexpr std::int64_t ENGINE_HELLO_ACCEPTED = 0x10629F52;

/// At most this many items ("0" .. "99") are read from a command file.
constexpr int kMaxCommandItems = 100;

// Report codes, item "0" of a command file. Reports are built and read as types through
// common/engine_report.h, never as item lists by hand.
inline constexpr const char* kReportPageInfo = "100";  ///< "1" id, "2" title, "3" total pages
inline constexpr const char* kReportPageSaved = "101"; ///< "1" id, "2" page number, "3" page address
inline constexpr const char* kReportStall = "102";     ///< "1" id
inline constexpr const char* kReportLanguage = "103";  ///< "1" id, "2" the page's language code
inline constexpr const char* kReportPageCap = "104";   ///< "1" id, "2" the page cap the walk stopped at
inline constexpr const char* kReportFailure = "105";   ///< "1" id, "2" reason name, "3" detail

// Hand-off file keys, section "app", written in this order.
inline constexpr const char* kKeyHwnd = "hwnd";
inline constexpr const char* kKeyId = "id";
inline constexpr const char* kKeyIndex = "index";
inline constexpr const char* kKeyUrl = "url";
inline constexpr const char* kKeyFolder = "folder";
inline constexpr const char* kKeySearchLink = "search_link";
// Optional keys after those: an engine that finds none keeps its defaults, and an older engine
// ignores them.
inline constexpr const char* kKeyPageDelay = "page_delay";   ///< seconds between page loads
inline constexpr const char* kKeyPageMemory = "page_memory"; ///< renderer ceiling in MiB
inline constexpr const char* kKeyMaxPages = "max_pages";     ///< page cap of a chapter without total
inline constexpr const char* kKeySearchResult = "search_result"; ///< where a link search writes
                                                                 ///< its result (search_result_file.h)
inline constexpr const char* kKeyCookiesFile = "cookies_file"; ///< the user's cookies.txt
inline constexpr int kMaxPageDelaySeconds = 60;   ///< a longer delay is taken as this
inline constexpr int kDefaultPageMemoryMiB = 1536; ///< the ceiling without "page_memory"
inline constexpr int kDefaultMaxPages = 1000;      ///< the page cap without "max_pages"
inline constexpr int kMostMaxPages = 100000;       ///< a larger cap is taken as this

} // namespace protocol
