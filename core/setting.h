#pragma once
// CSetting: what the front-end keeps between runs apart from the tasks, section "app" of
// "setting.ini" in the data folder (the program folder unless installed). Read once at
// start-up; written whenever it changes (the settings dialog, the window's place at exit),
// whole and at once; "task_id" by every task creation (CTaskStore::AllocateTaskId).
//
// Every number has its range: one that is no number ("abc") or lies outside takes its
// default, and Read says so, so the caller writes the file again.
#include "common/network_setting.h"
#include "common/profile.h"

#include <QSize>
#include <QString>
#include <cstdint>

class CSetting {
public:
  /// The most downloads that may run at once (both front-ends offer 1 to this).
  static constexpr std::int32_t kMaxDownloads = 10;

  QString folder = DefaultFolder();  ///< last download folder chosen for a new task
  std::int32_t task_id = 100;        ///< the id the next new task receives
  std::int32_t max_download = 1;     ///< most tasks that run at the same time
  std::int32_t auto_continue = 0;    ///< non-zero: queue unfinished tasks when the window opens
  std::int32_t pack_cbz = 0;         ///< non-zero: a chapter that ends as done becomes FOLDER.cbz
  std::int32_t page_delay = 0;       ///< seconds from one page load of a task to its next (0-60)
  std::int32_t page_memory = 1536;   ///< MiB a page's renderer may take before it is closed
  std::int32_t max_pages = 1000;     ///< most pages of a chapter without a stated total (1-100000)
  std::int32_t notify_done = 1;      ///< non-zero: tray notices when tasks end while hidden
  std::int32_t ask_exit = 1;         ///< non-zero: exiting while downloads run asks first
  std::int32_t series_check_hours = 12; ///< hours between checks of a followed series; 0: never
  QString cookies_file;              ///< the user's cookies.txt for every engine; empty: none
  std::int32_t x = 300;              ///< main window left edge, screen pixels
  std::int32_t y = 300;              ///< main window top edge
  std::int32_t width = 400;          ///< main window width
  std::int32_t height = 300;         ///< main window height
  /// "x", "y", "width" and "height" hold a real place of the window: the file had one of
  /// them, or the window stored its place. Only then are they written, so a first start that writes its
  /// settings early (a task added) still opens at the skin's own size next time.
  bool placed = false;
  /// Proxy and extra trusted certificates, section "setting" ("proxy", "extra_ca"); handed to
  /// the engines through the environment (common::ApplyNetworkSetting).
  common::NetworkSetting network;

  /// The longest interval between series checks: four weeks.
  static constexpr std::int32_t kMaxSeriesCheckHours = 24 * 28;

  /// "$HOME/My Comic Book/".
  static QString DefaultFolder();
  /// "setting.ini" in the data folder.
  static QString DefaultFile();

  /// Reads every key present in `file`; missing keys (or a missing file) keep their values.
  /// "x" and "y" are clamped against `screen` (the primary screen size): at least 0, and
  /// screen size minus 100 at most, so the window can always be reached. True when some value
  /// was no number or out of its range and took its default: the file needs writing again.
  bool Read(const QString& file, QSize screen);
  /// Writes every key in decimal, in one go (temporary file, flushed, renamed) and only when
  /// the file's bytes change; keeps the file's other keys ("task_index", ...). Creates the
  /// file when needed. False when the write failed.
  bool Write(const QString& file) const;
  /// Sets every key in `file` held in memory, for a caller that writes more with them.
  void Store(common::ProfileFile& file) const;

  /// The clamping rule of "x" and "y": `limit` - 100 when the value is that or more, 0 when
  /// it is 0 or less, else the value.
  static std::int32_t ClampToScreen(std::int32_t value, int limit);
};
