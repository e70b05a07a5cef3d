#include "core/setting.h"

#include "common/data_folder.h"
#include "common/ini_rules.h"
#include "common/profile.h"
#include "common/program_folder.h"
#include "common/protocol.h"

#include <QDir>

#include <algorithm>

QString CSetting::DefaultFolder() {
  return common::WithTrailingSlash(QDir::homePath()) + QStringLiteral("My Comic Book/");
}

QString CSetting::DefaultFile() { return common::DataFolder() + QStringLiteral("setting.ini"); }

std::int32_t CSetting::ClampToScreen(std::int32_t value, int limit) {
  if (value >= limit - 100) return limit - 100;
  return value <= 0 ? 0 : value;
}

bool CSetting::Read(const QString& file, QSize screen) {
  const common::ProfileFile ini(file);
  bool repaired = false;
  const auto number = [&](const char* key, std::int32_t& field, std::int32_t min, std::int32_t max) {
    field = common::ReadCheckedInt(ini, QString::fromLatin1(key), field, min, max, &repaired);
  };
  if (const auto text = common::ReadProfileString(ini, QStringLiteral("folder"))) folder = *text;
  number("task_id", task_id, 1, INT32_MAX - 1);
  number("max_download", max_download, 1, kMaxDownloads);
  // Flags: any number is a flag (non-zero is on), as it always was; only no number is damage.
  number("auto_continue", auto_continue, INT32_MIN, INT32_MAX);
  number("pack_cbz", pack_cbz, INT32_MIN, INT32_MAX);
  number("page_delay", page_delay, 0, protocol::kMaxPageDelaySeconds);
  number("page_memory", page_memory, 128, 1 << 20);
  // The page cap is clamped into its range, as it was when it came: a cap too high is still a cap.
  const std::int32_t pages = common::ReadCheckedInt(ini, QStringLiteral("max_pages"), max_pages,
                                                    INT32_MIN, INT32_MAX, &repaired);
  if (pages < 1 || pages > protocol::kMostMaxPages) repaired = true;
  max_pages = std::clamp(pages, 1, protocol::kMostMaxPages);
  number("notify_done", notify_done, INT32_MIN, INT32_MAX);
  number("ask_exit", ask_exit, INT32_MIN, INT32_MAX);
  number("series_check_hours", series_check_hours, 0, kMaxSeriesCheckHours);
  if (const auto text = common::ReadProfileString(ini, QStringLiteral("cookies_file")))
    cookies_file = *text;
  for (const char* key : {"x", "y", "width", "height"})
    placed = placed || common::ReadProfileString(ini, QString::fromLatin1(key)).has_value();
  number("x", x, INT32_MIN, INT32_MAX);
  number("y", y, INT32_MIN, INT32_MAX);
  number("width", width, 100, 32767);
  number("height", height, 100, 32767);
  x = ClampToScreen(x, screen.width());
  y = ClampToScreen(y, screen.height());
  network = common::ReadNetworkSetting(file);
  return repaired;
}

bool CSetting::Write(const QString& file) const {
  common::ProfileFile ini(file);
  Store(ini);
  return ini.Save();
}

void CSetting::Store(common::ProfileFile& ini) const {
  const auto set = [&ini](const char* key, const QString& value) {
    ini.Set(common::kAppSection, QString::fromLatin1(key), value);
  };
  set("folder", folder);
  set("task_id", common::FormatInt(task_id));
  set("max_download", common::FormatInt(max_download));
  set("auto_continue", common::FormatInt(auto_continue));
  set("pack_cbz", common::FormatInt(pack_cbz));
  set("page_delay", common::FormatInt(page_delay));
  set("page_memory", common::FormatInt(page_memory));
  set("max_pages", common::FormatInt(max_pages));
  set("notify_done", common::FormatInt(notify_done));
  set("ask_exit", common::FormatInt(ask_exit));
  set("series_check_hours", common::FormatInt(series_check_hours));
  // Written only once set, so that a file without it stays as it was.
  if (!cookies_file.isEmpty() || common::ReadProfileString(ini, QStringLiteral("cookies_file")))
    set("cookies_file", cookies_file);
  if (placed) {
    set("x", common::FormatInt(x));
    set("y", common::FormatInt(y));
    set("width", common::FormatInt(width));
    set("height", common::FormatInt(height));
  }
  common::SetNetworkSetting(ini, network);
}
