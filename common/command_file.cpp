#include "common/command_file.h"

#include "common/ini_rules.h"
#include "common/profile.h"
#include "common/protocol.h"
#include "common/temp_file.h"

#include <QFile>

namespace common {

bool WriteCommandFile(const QString& path, const QStringList& items) {
  if (!CreateUnicodeProfileFile(path)) return false;
  for (qsizetype i = 0; i < items.size(); ++i)
    if (!WriteProfileString(path, QString::number(i), items[i])) return false;
  return true;
}

QStringList ReadCommandFile(const QString& path) {
  QStringList items;
  for (int i = 0; i < protocol::kMaxCommandItems; ++i) {
    const auto item = ReadProfileString(path, QString::number(i));
    if (!item) break;
    items << *item;
  }
  return items;
}

QString WriteHandOffFile(const HandOff& job) {
  const QString path = CreateTempFile();
  if (path.isEmpty() || !CreateUnicodeProfileFile(path)) return {};
  bool ok = WriteProfileInt(path, protocol::kKeyHwnd, job.hwnd);
  if (job.id) ok = ok && WriteProfileInt(path, protocol::kKeyId, *job.id);
  if (job.index) ok = ok && WriteProfileInt(path, protocol::kKeyIndex, *job.index);
  if (job.url) ok = ok && WriteProfileString(path, protocol::kKeyUrl, *job.url);
  if (job.folder) ok = ok && WriteProfileString(path, protocol::kKeyFolder, *job.folder);
  if (job.searchLink) ok = ok && WriteProfileString(path, protocol::kKeySearchLink, *job.searchLink);
  if (job.pageDelay) ok = ok && WriteProfileInt(path, protocol::kKeyPageDelay, *job.pageDelay);
  if (job.pageMemory) ok = ok && WriteProfileInt(path, protocol::kKeyPageMemory, *job.pageMemory);
  if (job.maxPages) ok = ok && WriteProfileInt(path, protocol::kKeyMaxPages, *job.maxPages);
  if (job.searchResult) ok = ok && WriteProfileString(path, protocol::kKeySearchResult, *job.searchResult);
  if (job.cookiesFile) ok = ok && WriteProfileString(path, protocol::kKeyCookiesFile, *job.cookiesFile);
  if (!ok) {
    QFile::remove(path);
    return {};
  }
  return path;
}

HandOff ReadHandOffFile(const QString& path) {
  HandOff job;
  job.hwnd = ReadProfileInt(path, protocol::kKeyHwnd).value_or(0);
  job.id = ReadProfileInt(path, protocol::kKeyId);
  job.index = ReadProfileInt(path, protocol::kKeyIndex);
  job.url = ReadProfileString(path, protocol::kKeyUrl);
  job.folder = ReadProfileString(path, protocol::kKeyFolder);
  job.searchLink = ReadProfileString(path, protocol::kKeySearchLink);
  job.pageDelay = ReadProfileInt(path, protocol::kKeyPageDelay);
  job.pageMemory = ReadProfileInt(path, protocol::kKeyPageMemory);
  job.maxPages = ReadProfileInt(path, protocol::kKeyMaxPages);
  job.searchResult = ReadProfileString(path, protocol::kKeySearchResult);
  job.cookiesFile = ReadProfileString(path, protocol::kKeyCookiesFile);
  return job;
}

} // namespace common
