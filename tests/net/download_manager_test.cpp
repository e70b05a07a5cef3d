// The manager and its event queue: numbering, delivery order, re-entrant handlers, and
// destruction while handlers run or worker threads still block.
#include "net_test_fixture.h"

#include "test_support.h"

#include <QDir>
#include <memory>

using testing_support::WaitFor;

namespace net_test {

int ThreadCount() { return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size()); }

void RecordingManager::OnAfterDownloadConnected(FCHttpDownload* download) {
  ++depth;
  maxDepth = std::max(maxDepth, depth);
  events.emplace_back(0, download->GetID());
  connected[download->GetID()] = download->GetResponseInfo();
  if (onConnected) onConnected(download);
  --depth;
}

void RecordingManager::OnAfterDownloadFinish(FCHttpDownload* download) {
  ++depth;
  maxDepth = std::max(maxDepth, depth);
  events.emplace_back(1, download->GetID());
  Result& result = results[download->GetID()];
  result.info = download->GetResponseInfo();
  result.speed = download->GetSpeed();
  result.capacity = download->ReceiveBufferCapacity();
  const FCReceivedBlock block = download->TakeReceivedData();
  result.dataNull = block.IsNull();
  result.data = block.Bytes();
  // depth must drop before a hook that may destroy this object
  --depth;
  if (onFinish) onFinish(download);
}

void NetTest::SetUp() {
  for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY",
                           "no_proxy", "NO_PROXY"})
    qunsetenv(name);
}

RecordingManager::Result NetTest::Fetch(const FCHttpDownloadParam& param) {
  RecordingManager manager;
  const int id = manager.AddDownload(param);
  EXPECT_TRUE(WaitFor([&] { return manager.Finished(id); }));
  return manager.results[id];
}

RecordingManager::Result NetTest::Fetch(const QString& url) {
  FCHttpDownloadParam param;
  param.url = url;
  return Fetch(param);
}

namespace {

FCHttpDownloadParam ParamFor(const QString& url) {
  FCHttpDownloadParam param;
  param.url = url;
  return param;
}

TEST_F(NetTest, TwoDownloadsAreNumberedOneAndTwoAndEachConnectsBeforeItFinishes) {
  RecordingManager manager;
  EXPECT_EQ(manager.AddDownload(ParamFor(server.Url("/bytes/100"))), 1);
  EXPECT_EQ(manager.AddDownload(ParamFor(server.Url("/bytes/200"))), 2);
  EXPECT_EQ(manager.FindDownload(2), 1);
  EXPECT_EQ(manager.FindDownload(3), -1);
  ASSERT_TRUE(WaitFor([&] { return manager.Finished(1) && manager.Finished(2); }));

  ASSERT_EQ(manager.events.size(), 4u);
  for (int id : {1, 2}) {
    const auto connectedAt = std::find(manager.events.begin(), manager.events.end(), std::pair(0, id));
    const auto finishedAt = std::find(manager.events.begin(), manager.events.end(), std::pair(1, id));
    EXPECT_LT(connectedAt, finishedAt) << "download " << id;
  }
  EXPECT_EQ(manager.results[1].data, PatternBody(100));
  EXPECT_EQ(manager.results[2].data, PatternBody(200));
  // The finished download is gone once its handler has returned.
  EXPECT_EQ(manager.DownloadCount(), 0);
  // Events of an unknown download are refused.
  EXPECT_EQ(manager.OnDownloadMessage(1, 1), -1);
}

TEST_F(NetTest, HandlerThatDestroysTheManagerEndsTheDeliveryWithoutTouchingIt) {
  const int threadsBefore = ThreadCount();
  auto* manager = new RecordingManager;
  bool destroyed = false;
  // The first download finishes at once; the second trickles, so its thread is still reading
  // when the manager dies, and events of the first are still queued behind the handler.
  manager->AddDownload(ParamFor(server.Url("/bytes/10")));
  manager->AddDownload(ParamFor(server.Url("/trickle")));
  manager->onFinish = [&](FCHttpDownload* download) {
    if (download->GetID() != 1) return;
    manager->QueueMessage(0, 1); // an event that must never be delivered
    // This hook lives in the manager: take what it needs onto the stack before deleting.
    bool& done = destroyed;
    delete manager;
    done = true;
  };
  ASSERT_TRUE(WaitFor([&] { return destroyed; }));
  // Let any stray timer fire: nothing may reach the dead manager.
  WaitFor([] { return false; }, 300);
  EXPECT_TRUE(WaitFor([&] { return ThreadCount() <= threadsBefore; }, 2000));
}

TEST_F(NetTest, HandlerThatStartsADownloadAndWaitsDoesNotStartASecondDelivery) {
  RecordingManager manager;
  size_t eventsWhileNested = 0;
  manager.onConnected = [&](FCHttpDownload* download) {
    if (download->GetID() != 1) return;
    EXPECT_EQ(manager.AddDownload(ParamFor(server.Url("/bytes/50"))), 2);
    // A nested event loop: the delivery timer fires in it, but the running delivery must keep
    // the new events queued until this handler returns.
    EXPECT_TRUE(WaitFor([&] { return manager.QueuedMessageCount() >= 3; }, 15000));
    EXPECT_TRUE(manager.IsDispatching());
    eventsWhileNested = manager.events.size();
  };
  manager.AddDownload(ParamFor(server.Url("/bytes/20")));
  ASSERT_TRUE(WaitFor([&] { return manager.Finished(1) && manager.Finished(2); }));
  EXPECT_EQ(eventsWhileNested, 1u);
  EXPECT_EQ(manager.maxDepth, 1);
  EXPECT_EQ(manager.results[2].data, PatternBody(50));
  EXPECT_EQ(manager.events.size(), 4u);
}

TEST_F(NetTest, DestroyingTheManagerWhileWorkersBlockEndsThemPromptly) {
  SilentListener silent; // the connect thread waits for headers that never come
  const int threadsBefore = ThreadCount();
  auto manager = std::make_unique<RecordingManager>();
  manager->AddDownload(ParamFor(QStringLiteral("http://127.0.0.1:%1/").arg(silent.Port())));
  const int trickling = manager->AddDownload(ParamFor(server.Url("/trickle")));
  ASSERT_TRUE(WaitFor([&] { return manager->connected.count(trickling) > 0; }));
  WaitFor([] { return false; }, 200); // the receive thread is now blocked on the trickle

  // A close that did not reach the workers would hang here until the server gave up.
  manager.reset();
  EXPECT_TRUE(WaitFor([&] { return ThreadCount() <= threadsBefore; }, 2000));
}

TEST_F(NetTest, NewsDownloadFetchesTheNewsPathOfTheConfiguredSite) {
  FCHttpDownloadManager::SetAdSite(server.Url("/"));
  EXPECT_EQ(FCHttpDownloadManager::AdUrl(), server.Url("/cn/comic/ad/"));
  RecordingManager manager;
  const int id = manager.AddAdDownload();
  FCHttpDownloadManager::SetAdSite(QString());
  ASSERT_TRUE(WaitFor([&] { return manager.Finished(id); }));
  EXPECT_EQ(manager.results[id].info.statusCode, 200);
  EXPECT_EQ(server.LastTarget("/cn/comic/ad/"), "/cn/comic/ad/");
}

} // namespace
} // namespace net_test
