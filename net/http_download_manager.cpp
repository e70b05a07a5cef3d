#include "net/http_download_manager.h"

namespace {
QString adSite;
const char kAdPath[] = "/cn/comic/ad/";
} // namespace

FCHttpDownloadManager::~FCHttpDownloadManager() { downloads_.DeleteAll(); }

int FCHttpDownloadManager::AddDownload(const FCHttpDownloadParam& param) {
  const int id = ++idCounter_;
  downloads_.Add(new FCHttpDownload(id, param, this));
  return id;
}

int FCHttpDownloadManager::AddAdDownload() {
  FCHttpDownloadParam param;
  param.url = AdUrl();
  param.maxBodyBytes = kMaxAdBytes;
  return AddDownload(param);
}

int FCHttpDownloadManager::FindDownload(int id) const {
  for (int i = 0; i < downloads_.Count(); ++i)
    if (downloads_[i]->GetID() == id) return i;
  return -1;
}

int FCHttpDownloadManager::OnDownloadMessage(int code, int id) {
  const int index = FindDownload(id);
  if (index < 0) return -1;
  FCHttpDownload* download = downloads_[index];
  if (code == FCHttpDownload::kConnected) {
    OnAfterDownloadConnected(download);
  } else if (code == FCHttpDownload::kFinished) {
    const std::uint64_t serial = Serial();
    OnAfterDownloadFinish(download);
    if (!IsLive(this, serial)) return 0; // the handler destroyed the manager
    downloads_.Delete(FindDownload(id));
  }
  return 0;
}

QString FCHttpDownloadManager::AdUrl() {
  QString site = adSite;
  while (site.endsWith(QLatin1Char('/'))) site.chop(1);
  return site + QLatin1String(kAdPath);
}

void FCHttpDownloadManager::SetAdSite(const QString& site) { adSite = site; }
