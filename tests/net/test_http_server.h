#pragma once
// A small HTTP server on 127.0.0.1 for the download tests, with the answers a download must
// cope with: plain bodies of any size (with ranges), an error page, a redirect, a body cut off
// mid-transfer, and a body that trickles until the server stops. It records the request
// headers it saw last. Also: a port that refuses connections and one that accepts the
// connection but never answers.
#include <httplib.h>

#include <QByteArray>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace net_test {

/// Body of `size` bytes whose byte i is 'a' + i % 26, so any slice can be checked.
QByteArray PatternBody(int size, int from = 0);

class TestHttpServer {
public:
  TestHttpServer();
  ~TestHttpServer();

  int Port() const { return port_; }
  /// "http://127.0.0.1:<port>" + path.
  QString Url(const std::string& path) const;

  /// Header `name` of the last request for `path` (empty if absent), and whether it was there.
  std::string LastHeader(const std::string& path, const std::string& name) const;
  bool LastHad(const std::string& path, const std::string& name) const;
  /// The request target (as written on the request line) of the last request for `path`.
  std::string LastTarget(const std::string& path) const;

private:
  void Record(const httplib::Request& request);
  void Routes();

  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  mutable std::mutex lock_;
  std::map<std::string, httplib::Request> last_;
  std::condition_variable stopping_;
  bool stop_ = false;
};

/// A port on 127.0.0.1 where nothing listens (connections are refused).
int RefusingPort();

/// A socket that listens on 127.0.0.1 and never accepts: connections complete in the kernel
/// and then hear nothing.
class SilentListener {
public:
  SilentListener();
  ~SilentListener();
  int Port() const { return port_; }

private:
  int fd_ = -1;
  int port_ = 0;
};

} // namespace net_test
