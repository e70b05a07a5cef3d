#pragma once
// DemoSiteServer: serves a ComicSite over HTTP on 127.0.0.1 and nowhere else. Bind first (the
// site's absolute addresses need the port), then Serve on the calling thread or Start in the
// background; Stop may be called from any thread.
#include "tools/demo_site/comic_site.h"

#include <QString>
#include <memory>

namespace demo_site {

class DemoSiteServer {
public:
  /// `verbose`: one line per request on stderr.
  explicit DemoSiteServer(bool verbose = false);
  ~DemoSiteServer(); ///< Stops serving and waits for a background server.
  DemoSiteServer(const DemoSiteServer&) = delete;
  DemoSiteServer& operator=(const DemoSiteServer&) = delete;

  /// Listens on 127.0.0.1:`port` (0: a free port) and builds the site. Returns the port, or -1
  /// when the port cannot be had.
  int Bind(int port = 0);
  /// "http://127.0.0.1:<port>/"
  QString BaseUrl() const;
  const ComicSite& Site() const { return *site_; }

  /// Answers requests until Stop(). False if it could not serve.
  bool Serve();
  /// Serves on a thread of its own; the destructor stops and joins it.
  void Start();
  void Stop();

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::unique_ptr<ComicSite> site_;
  int port_ = -1;
};

} // namespace demo_site
