#include "tools/demo_site/demo_site_server.h"

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include <sys/socket.h>

namespace demo_site {

struct DemoSiteServer::Impl {
  httplib::Server server;
  std::thread thread;
  bool verbose = false;
};

DemoSiteServer::DemoSiteServer(bool verbose) : impl_(std::make_unique<Impl>()) {
  impl_->verbose = verbose;
}

DemoSiteServer::~DemoSiteServer() {
  Stop();
  if (impl_->thread.joinable()) impl_->thread.join();
}

int DemoSiteServer::Bind(int port) {
  // Loopback only: the demo must never be reachable from another machine. Address reuse
  // without port sharing, so a second server on a taken port fails instead of splitting the
  // traffic with the first.
  const char* host = "127.0.0.1";
  impl_->server.set_socket_options([](int socket) {
    int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  if (port == 0) {
    port_ = impl_->server.bind_to_any_port(host);
  } else {
    port_ = impl_->server.bind_to_port(host, port) ? port : -1;
  }
  if (port_ <= 0) return port_ = -1;
  site_ = std::make_unique<ComicSite>(QStringLiteral("http://127.0.0.1:%1").arg(port_));

  httplib::Server& server = impl_->server;
  server.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
    QString path = QString::fromStdString(request.path);
    if (path == QLatin1String("/comic")) path += QLatin1Char('/');
    if (path.endsWith(QLatin1String("/index.html"))) path.chop(10);
    if (const Resource* resource = site_->Find(path)) {
      response.set_content(resource->body.constData(), size_t(resource->body.size()),
                           resource->contentType.constData());
    } else {
      response.status = 404;
      response.set_content("<html><body><h1>404</h1></body></html>", "text/html; charset=utf-8");
    }
  });
  if (impl_->verbose) {
    server.set_logger([](const httplib::Request& request, const httplib::Response& response) {
      std::fprintf(stderr, "%s %s %d\n", request.method.c_str(), request.target.c_str(),
                   response.status);
    });
  }
  return port_;
}

QString DemoSiteServer::BaseUrl() const { return QStringLiteral("http://127.0.0.1:%1/").arg(port_); }

bool DemoSiteServer::Serve() { return port_ > 0 && impl_->server.listen_after_bind(); }

void DemoSiteServer::Start() {
  if (port_ <= 0 || impl_->thread.joinable()) return;
  impl_->thread = std::thread([this] { Serve(); });
  while (!impl_->server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void DemoSiteServer::Stop() { impl_->server.stop(); }

} // namespace demo_site
