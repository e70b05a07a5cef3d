// Prints, for bodies of several sizes served on 127.0.0.1: the time from AddDownload to the
// finished event, the throughput, the speed the download itself measured, the final buffer
// capacity, and the longest gap between 10 ms ticks of the user-interface thread meanwhile
// (which shows that the thread keeps running while the workers transfer). Figures only.
#include "net/http_download_manager.h"

#include <httplib.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <string>
#include <thread>

namespace {

class Manager : public FCHttpDownloadManager {
public:
  int finished = 0;
  CCalculateSpeed::Snapshot speed;
  int capacity = 0;
  qint64 bytes = 0;
  int failed = 0;

protected:
  void OnAfterDownloadFinish(FCHttpDownload* download) override {
    ++finished;
    speed = download->GetSpeed();
    capacity = download->ReceiveBufferCapacity();
    if (download->GetResponseInfo().readResult == 0) ++failed;
    bytes += download->TakeReceivedData().length;
  }
};

void Run(int port, qint64 size, int parallel) {
  Manager manager;
  qint64 longestGap = 0;
  QElapsedTimer gapClock;
  gapClock.start();
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    longestGap = std::max(longestGap, gapClock.restart());
  });
  ticker.start(10);

  QElapsedTimer clock;
  clock.start();
  for (int i = 0; i < parallel; ++i) {
    FCHttpDownloadParam param;
    param.url = QStringLiteral("http://127.0.0.1:%1/blob/%2").arg(port).arg(size);
    manager.AddDownload(param);
  }
  while (manager.finished < parallel) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  const double seconds = clock.elapsed() / 1000.0;
  std::printf("%3d x %9lld bytes  %7.3f s  %8.1f MB/s  measured %8.1f MB/s  capacity %9d  "
              "longest UI gap %4lld ms%s\n",
              parallel, size, seconds, manager.bytes / seconds / 1e6, manager.speed.currentSpeed / 1e6,
              manager.capacity, longestGap, manager.failed ? "  (a transfer failed)" : "");
}

} // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  for (const char* name : {"http_proxy", "all_proxy", "ALL_PROXY"}) qunsetenv(name);
  httplib::Server server;
  const std::string block(1 << 20, 'x');
  server.Get(R"(/blob/(\d+))", [&](const httplib::Request& request, httplib::Response& response) {
    const size_t size = std::stoull(request.matches[1]);
    response.set_content_provider(size, "application/octet-stream",
                                  [&block, size](size_t offset, size_t, httplib::DataSink& sink) {
                                    sink.write(block.data(), std::min(block.size(), size - offset));
                                    return true;
                                  });
  });
  server.set_write_timeout(120, 0); // a busy machine must not cut the big bodies short
  const int port = server.bind_to_any_port("127.0.0.1");
  std::thread thread([&] { server.listen_after_bind(); });
  while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));

  std::printf("Threaded HTTP download from 127.0.0.1 (events are polled every 200 ms, so small "
              "bodies take about 0.45 s end to end)\n");
  for (qint64 size : {qint64(64) << 10, qint64(1) << 20, qint64(16) << 20, qint64(128) << 20}) Run(port, size, 1);
  Run(port, qint64(16) << 20, 4);

  server.stop();
  thread.join();
  return 0;
}
