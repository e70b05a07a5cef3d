#pragma once
// Shared set-up of the download tests: no proxy from the environment (every request goes
// straight to 127.0.0.1), a local server, and a manager that records its events.
#include "net/http_download_manager.h"
#include "test_http_server.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <functional>
#include <utility>
#include <vector>

namespace net_test {

/// Threads of this process, to prove that no worker outlives its download.
int ThreadCount();

/// Records every event and keeps the finished downloads' results; hooks run inside handlers.
class RecordingManager : public FCHttpDownloadManager {
public:
  struct Result {
    FCHttpResponseInfo info;
    QByteArray data;
    bool dataNull = true;
    CCalculateSpeed::Snapshot speed;
    int capacity = 0;
  };

  std::vector<std::pair<int, int>> events; // (code, id) in delivery order
  std::map<int, Result> results;            // by id, filled at finish
  std::map<int, FCHttpResponseInfo> connected;
  std::function<void(FCHttpDownload*)> onConnected;
  std::function<void(FCHttpDownload*)> onFinish;
  int depth = 0;
  int maxDepth = 0;

  bool Finished(int id) const { return results.count(id) > 0; }

protected:
  void OnAfterDownloadConnected(FCHttpDownload* download) override;
  void OnAfterDownloadFinish(FCHttpDownload* download) override;
};

class NetTest : public ::testing::Test {
protected:
  void SetUp() override;
  /// Runs one download to its end on a fresh manager and returns what it saw.
  RecordingManager::Result Fetch(const FCHttpDownloadParam& param);
  RecordingManager::Result Fetch(const QString& url);

  TestHttpServer server;
};

} // namespace net_test
