// folivex-demo-site: a comic reading site on 127.0.0.1 for trying the programs without the
// internet. Prints its address as the first line of stdout, then serves until SIGINT/SIGTERM
// or, with --until-stdin-closes, until stdin reaches its end.
//
//   folivex-demo-site [--port N | N] [--until-stdin-closes] [-v]
#include "tools/demo_site/demo_site_server.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/signalfd.h>
#include <thread>
#include <unistd.h>

namespace {

struct Options {
  int port = 0;
  bool untilStdinCloses = false;
  bool verbose = false;
  bool ok = true;
};

bool ParsePort(const char* text, int& port) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (!*text || *end || value < 0 || value > 65535) return false;
  port = int(value);
  return true;
}

Options Parse(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc && options.ok; ++i) {
    const char* arg = argv[i];
    if (!std::strcmp(arg, "--until-stdin-closes")) options.untilStdinCloses = true;
    else if (!std::strcmp(arg, "-v")) options.verbose = true;
    else if (!std::strcmp(arg, "--port") && i + 1 < argc) options.ok = ParsePort(argv[++i], options.port);
    else options.ok = ParsePort(arg, options.port);
  }
  return options;
}

// Waits for SIGINT/SIGTERM (blocked in every thread and read from a signalfd) or, when asked,
// for the end of stdin; then stops the server.
void WatchForEnd(int signalFd, bool watchStdin, demo_site::DemoSiteServer& server) {
  pollfd fds[2] = {{signalFd, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
  char buffer[512];
  for (;;) {
    if (poll(fds, watchStdin ? 2 : 1, -1) < 0) continue;
    if (fds[0].revents) break;
    if (watchStdin && fds[1].revents) {
      const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
      if (n <= 0) break;
    }
  }
  server.Stop();
}

} // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv); // image format plug-ins for the JPEG pages
  const Options options = Parse(argc, argv);
  if (!options.ok) {
    std::fprintf(stderr, "usage: folivex-demo-site [--port N] [--until-stdin-closes] [-v]\n");
    return 2;
  }

  // Block the ending signals before any thread exists, so only the signalfd sees them.
  sigset_t ending;
  sigemptyset(&ending);
  sigaddset(&ending, SIGINT);
  sigaddset(&ending, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &ending, nullptr);
  const int signalFd = signalfd(-1, &ending, SFD_CLOEXEC);

  demo_site::DemoSiteServer server(options.verbose);
  if (server.Bind(options.port) < 0) {
    std::fprintf(stderr, "folivex-demo-site: cannot listen on 127.0.0.1:%d\n", options.port);
    return 1;
  }
  std::printf("%s\n", server.BaseUrl().toUtf8().constData());
  std::fflush(stdout);

  std::thread watcher(WatchForEnd, signalFd, options.untilStdinCloses, std::ref(server));
  watcher.detach(); // ends with the process
  return server.Serve() ? 0 : 1;
}
