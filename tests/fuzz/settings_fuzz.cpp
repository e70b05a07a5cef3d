// The settings loader on any "setting.ini": every number lies in its range afterwards, and a
// file written back from what was taken reads as the same settings, with nothing to repair.
#include "common/ini_rules.h"
#include "core/setting.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString file = fuzz_support::WriteScratch("setting.ini", data, size);
  const QSize screen(1920, 1080);
  CSetting setting;
  setting.Read(file, screen);
  FUZZ_CHECK(setting.max_download >= 1 && setting.max_download <= CSetting::kMaxDownloads);
  FUZZ_CHECK(setting.page_delay >= 0 && setting.page_delay <= 60);
  FUZZ_CHECK(setting.width >= 100 && setting.height >= 100);
  FUZZ_CHECK(setting.x >= 0 && setting.x <= 1820 && setting.y >= 0 && setting.y <= 980);
  FUZZ_CHECK(setting.task_id >= 1);

  const std::optional<QString> index = common::ReadProfileString(file, "task_index");
  if (!setting.Write(file)) return 0;
  CSetting again;
  FUZZ_CHECK(!again.Read(file, screen));
  FUZZ_CHECK(again.max_download == setting.max_download && again.page_delay == setting.page_delay &&
             again.width == setting.width && again.task_id == setting.task_id &&
             again.x == setting.x && again.page_memory == setting.page_memory);
  FUZZ_CHECK(common::ReadProfileString(file, "task_index") == index); // not the settings' key
  return 0;
}
