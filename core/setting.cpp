#include "core/setting.h"

#include "common/data_folder.h"
#include "common/ini_rules.h"
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

void CSetting::Read(const QString& file, QSize screen) {
  using common::ReadProfileInt;
  if (const auto text = common::ReadProfileString(file, QStringLiteral("folder"))) folder = *text;
  task_id = ReadProfileInt(file, QStringLiteral("task_id")).value_or(task_id);
  max_download = ReadProfileInt(file, QStringLiteral("max_download")).value_or(max_download);
  auto_continue = ReadProfileInt(file, QStringLiteral("auto_continue")).value_or(auto_continue);
  pack_cbz = ReadProfileInt(file, QStringLiteral("pack_cbz")).value_or(pack_cbz);
  page_delay = std::clamp(ReadProfileInt(file, QStringLiteral("page_delay")).value_or(page_delay), 0,
                          protocol::kMaxPageDelaySeconds);
  page_memory = ReadProfileInt(file, QStringLiteral("page_memory")).value_or(page_memory);
  max_pages = std::clamp(ReadProfileInt(file, QStringLiteral("max_pages")).value_or(max_pages), 1,
                         protocol::kMostMaxPages);
  notify_done = ReadProfileInt(file, QStringLiteral("notify_done")).value_or(notify_done);
  ask_exit = ReadProfileInt(file, QStringLiteral("ask_exit")).value_or(ask_exit);
  x = ClampToScreen(ReadProfileInt(file, QStringLiteral("x")).value_or(x), screen.width());
  y = ClampToScreen(ReadProfileInt(file, QStringLiteral("y")).value_or(y), screen.height());
  width = ReadProfileInt(file, QStringLiteral("width")).value_or(width);
  height = ReadProfileInt(file, QStringLiteral("height")).value_or(height);
  network = common::ReadNetworkSetting(file);
}

bool CSetting::Write(const QString& file) const {
  using common::WriteProfileInt;
  bool ok = common::WriteProfileString(file, QStringLiteral("folder"), folder);
  ok = WriteProfileInt(file, QStringLiteral("task_id"), task_id) && ok;
  ok = WriteProfileInt(file, QStringLiteral("max_download"), max_download) && ok;
  ok = WriteProfileInt(file, QStringLiteral("auto_continue"), auto_continue) && ok;
  ok = WriteProfileInt(file, QStringLiteral("pack_cbz"), pack_cbz) && ok;
  ok = WriteProfileInt(file, QStringLiteral("page_delay"), page_delay) && ok;
  ok = WriteProfileInt(file, QStringLiteral("page_memory"), page_memory) && ok;
  ok = WriteProfileInt(file, QStringLiteral("max_pages"), max_pages) && ok;
  ok = WriteProfileInt(file, QStringLiteral("notify_done"), notify_done) && ok;
  ok = WriteProfileInt(file, QStringLiteral("ask_exit"), ask_exit) && ok;
  ok = WriteProfileInt(file, QStringLiteral("x"), x) && ok;
  ok = WriteProfileInt(file, QStringLiteral("y"), y) && ok;
  ok = WriteProfileInt(file, QStringLiteral("width"), width) && ok;
  ok = WriteProfileInt(file, QStringLiteral("height"), height) && ok;
  ok = common::WriteNetworkSetting(file, network) && ok;
  return ok;
}
