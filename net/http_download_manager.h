#pragma once
// FCHttpDownloadManager: owns any number of downloads, numbers them 1, 2, 3, ... and turns
// their events into calls of OnAfterDownloadConnected and OnAfterDownloadFinish on the
// user-interface thread. A download is deleted right after its finish handler returns; the
// handler may take its data, start new downloads, or even destroy the manager.
// Destroying the manager deletes every download, waiting for threads that still run.
#include "common/auto_ptr_list.h"
#include "net/download_message_queue.h"
#include "net/http_download.h"
#include "net/http_download_param.h"

#include <QString>

class FCHttpDownloadManager : public FIDownloadMessageQueue {
public:
  FCHttpDownloadManager() = default;
  ~FCHttpDownloadManager() override;

  /// Creates and starts a download; returns its id.
  int AddDownload(const FCHttpDownloadParam& param);
  /// The news document is a short list of texts: a larger body is not one.
  static constexpr std::int32_t kMaxAdBytes = 4 * 1024 * 1024;
  /// Starts the download of the news document (AdUrl()) with default parameters, receiving at
  /// most kMaxAdBytes (a larger body stops early and arrives as a failed read of more than
  /// kMaxAdBytes).
  int AddAdDownload();
  /// List index of the download with that id, or -1.
  int FindDownload(int id) const;
  /// The download at a list index, or null.
  FCHttpDownload* DownloadAt(int index) const { return downloads_[index]; }
  int DownloadCount() const { return downloads_.Count(); }

  /// Delivers one event: -1 when no such download is listed, 0 otherwise.
  int OnDownloadMessage(int code, int id) override;

  /// The news document's address: the product site set with SetAdSite + "/cn/comic/ad/".
  /// Without a site it is the bare path, which fails to connect like a missing network.
  static QString AdUrl();
  /// Sets the product site, e.g. "http://127.0.0.1:8080" (a trailing "/" is dropped). The
  /// front-end takes it from its deployment configuration.
  static void SetAdSite(const QString& site);

protected:
  virtual void OnAfterDownloadConnected(FCHttpDownload* download) {}
  virtual void OnAfterDownloadFinish(FCHttpDownload* download) {}

private:
  int idCounter_ = 0;
  FCAutoPtrList<FCHttpDownload> downloads_;
};
