#include "test_http_server.h"

#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace net_test {

QByteArray PatternBody(int size, int from) {
  QByteArray body(size, Qt::Uninitialized);
  for (int i = 0; i < size; ++i) body[i] = char('a' + (from + i) % 26);
  return body;
}

TestHttpServer::TestHttpServer() {
  Routes();
  port_ = server_.bind_to_any_port("127.0.0.1");
  thread_ = std::thread([this] { server_.listen_after_bind(); });
  while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  // One answered request proves the worker pool is up, so thread counts taken by the tests
  // from now on stay put.
  httplib::Client("127.0.0.1", port_).Get("/ready");
}

TestHttpServer::~TestHttpServer() {
  {
    std::lock_guard guard(lock_);
    stop_ = true;
  }
  stopping_.notify_all();
  server_.stop();
  thread_.join();
}

QString TestHttpServer::Url(const std::string& path) const {
  return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(QString::fromStdString(path));
}

void TestHttpServer::Record(const httplib::Request& request) {
  std::lock_guard guard(lock_);
  last_[request.path] = request;
}

std::string TestHttpServer::LastHeader(const std::string& path, const std::string& name) const {
  std::lock_guard guard(lock_);
  const auto it = last_.find(path);
  return it == last_.end() ? std::string() : it->second.get_header_value(name);
}

bool TestHttpServer::LastHad(const std::string& path, const std::string& name) const {
  std::lock_guard guard(lock_);
  const auto it = last_.find(path);
  return it != last_.end() && it->second.has_header(name);
}

std::string TestHttpServer::LastTarget(const std::string& path) const {
  std::lock_guard guard(lock_);
  const auto it = last_.find(path);
  return it == last_.end() ? std::string() : it->second.target;
}

void TestHttpServer::Routes() {
  // /bytes/N: N pattern bytes, with the headers the response info reads.
  server_.Get(R"(/bytes/(\d+))", [this](const httplib::Request& req, httplib::Response& res) {
    Record(req);
    const QByteArray body = PatternBody(std::stoi(req.matches[1]));
    res.set_header("Server", "TestServer/1.0");
    res.set_header("Last-Modified", "Tue, 01 Dec 2026 10:00:00 GMT");
    res.set_content(body.toStdString(), "application/octet-stream");
  });
  server_.Get("/missing", [this](const httplib::Request& req, httplib::Response& res) {
    Record(req);
    res.status = 404;
    res.set_content("no such page", "text/plain");
  });
  server_.Get("/moved", [this](const httplib::Request& req, httplib::Response& res) {
    Record(req);
    res.set_redirect("/bytes/10");
  });
  // Promises 100000 bytes, sends 5000 and drops the connection.
  server_.Get("/cut", [this](const httplib::Request& req, httplib::Response& res) {
    Record(req);
    res.set_content_provider(100000, "application/octet-stream",
                             [](size_t offset, size_t, httplib::DataSink& sink) {
                               if (offset >= 5000) return false;
                               const std::string part = PatternBody(5000).toStdString();
                               sink.write(part.data(), part.size());
                               return true;
                             });
  });
  // Sends 1000 bytes, then nothing more until the server stops.
  server_.Get("/trickle", [this](const httplib::Request& req, httplib::Response& res) {
    Record(req);
    res.set_content_provider(1000000, "application/octet-stream",
                             [this](size_t offset, size_t, httplib::DataSink& sink) {
                               if (offset == 0) {
                                 const std::string part = PatternBody(1000).toStdString();
                                 sink.write(part.data(), part.size());
                                 return true;
                               }
                               std::unique_lock guard(lock_);
                               stopping_.wait_for(guard, std::chrono::seconds(20),
                                                  [this] { return stop_; });
                               return false;
                             });
  });
  // Anything else, including the absolute addresses a proxy receives.
  server_.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
    Record(req);
    res.set_content("proxied", "text/plain");
  });
}

int RefusingPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd); // bound but never listened: the port now refuses
  return ntohs(address.sin_port);
}

SilentListener::SilentListener() {
  fd_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
  listen(fd_, 8);
  socklen_t length = sizeof address;
  getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
}

SilentListener::~SilentListener() { close(fd_); }

} // namespace net_test
