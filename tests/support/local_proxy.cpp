#include "local_proxy.h"

#include <QMutex>
#include <QMutexLocker>

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace testing_support {
namespace {

constexpr int kMaxHead = 64 * 1024;

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= size_t(n);
  }
  return true;
}

bool WriteAll(int fd, const QByteArray& bytes) { return WriteAll(fd, bytes.constData(), size_t(bytes.size())); }

bool ReadExact(int fd, char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::recv(fd, data, size, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= size_t(n);
  }
  return true;
}

int ConnectLocal(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(quint16(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Copies bytes both ways until either side ends.
void Pipe(int a, int b) {
  char buffer[16384];
  pollfd fds[2] = {{a, POLLIN, 0}, {b, POLLIN, 0}};
  for (;;) {
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].revents == 0) continue;
      const ssize_t n = ::recv(fds[i].fd, buffer, sizeof buffer, 0);
      if (n <= 0 || !WriteAll(fds[1 - i].fd, buffer, size_t(n))) return;
    }
  }
}

// Only the loopback address is ever reached from the tests' proxy.
bool IsLoopbackName(const QByteArray& host) {
  return host == "127.0.0.1" || host == "localhost";
}

// "host:port" -> port, or 0 when the host is not the loopback address.
int LoopbackPort(const QByteArray& authority) {
  const qsizetype colon = authority.lastIndexOf(':');
  if (colon < 0 || !IsLoopbackName(authority.left(colon))) return 0;
  bool ok = false;
  const int port = authority.mid(colon + 1).toInt(&ok);
  return ok && port > 0 && port < 65536 ? port : 0;
}

} // namespace

struct LocalProxy::Impl {
  int listener = -1;
  int port = 0;
  std::thread acceptThread;
  std::atomic<bool> stopping{false};
  mutable QMutex mutex;
  std::vector<std::thread> workers;
  std::vector<int> sockets; // open sockets, ended on stop
  QList<ProxiedRequest> requests;
  QByteArray user;
  QByteArray password;

  void Record(const ProxiedRequest& request) {
    QMutexLocker lock(&mutex);
    requests.append(request);
  }

  // Registers a socket so stopping can end it; false (and the socket closed) when stopping.
  bool Track(int fd) {
    QMutexLocker lock(&mutex);
    if (stopping) {
      ::close(fd);
      return false;
    }
    sockets.push_back(fd);
    return true;
  }

  void Close(int fd) {
    if (fd < 0) return;
    QMutexLocker lock(&mutex);
    std::erase(sockets, fd);
    ::close(fd); // under the lock, so stopping never shuts a number that was reused
  }

  bool LoginMatches(const QByteArray& givenUser, const QByteArray& givenPassword) const {
    QMutexLocker lock(&mutex);
    return user.isEmpty() || (givenUser == user && givenPassword == password);
  }

  bool LoginRequired() const {
    QMutexLocker lock(&mutex);
    return !user.isEmpty();
  }

  void AcceptLoop() {
    for (;;) {
      const int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) {
        if (errno == EINTR && !stopping) continue;
        return;
      }
      if (!Track(client)) return;
      QMutexLocker lock(&mutex);
      workers.emplace_back([this, client] {
        Serve(client);
        Close(client);
      });
    }
  }

  void Serve(int client) {
    char first = 0;
    if (::recv(client, &first, 1, MSG_PEEK) != 1) return;
    if (first == 0x05) ServeSocks(client);
    else ServeHttp(client);
  }

  void Forward(int client, int port, const QByteArray& firstBytes) {
    const int upstream = ConnectLocal(port);
    if (upstream < 0 || !Track(upstream)) return;
    if (WriteAll(upstream, firstBytes)) Pipe(client, upstream);
    Close(upstream);
  }

  void ServeHttp(int client) {
    QByteArray head;
    qsizetype end = -1;
    char buffer[4096];
    while ((end = head.indexOf("\r\n\r\n")) < 0) {
      if (head.size() > kMaxHead) return;
      const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
      if (n <= 0) return;
      head.append(buffer, n);
    }
    const QByteArray rest = head.mid(end + 4);
    QList<QByteArray> lines = head.left(end).split('\n');
    for (QByteArray& line : lines) line = line.trimmed();
    const QList<QByteArray> requestLine = lines.value(0).split(' ');
    if (requestLine.size() != 3) return;
    ProxiedRequest record;
    record.kind = requestLine[0] == "CONNECT" ? QByteArray("CONNECT") : QByteArray("GET");
    record.target = requestLine[1];

    QByteArray credentials;
    QList<QByteArray> headers;
    for (qsizetype i = 1; i < lines.size(); ++i) {
      const QByteArray name = lines[i].left(lines[i].indexOf(':')).trimmed().toLower();
      if (name == "proxy-authorization") {
        const QByteArray value = lines[i].mid(lines[i].indexOf(':') + 1).trimmed();
        if (value.startsWith("Basic ")) credentials = QByteArray::fromBase64(value.mid(6));
      } else if (name != "proxy-connection" && name != "connection") {
        headers.append(lines[i]);
      }
    }
    const qsizetype colon = credentials.indexOf(':');
    record.authorised = LoginMatches(credentials.left(colon), colon < 0 ? QByteArray() : credentials.mid(colon + 1));
    if (!record.authorised) {
      Record(record);
      WriteAll(client, "HTTP/1.1 407 Proxy Authentication Required\r\n"
                       "Proxy-Authenticate: Basic realm=\"test\"\r\n"
                       "Content-Length: 0\r\nConnection: close\r\n\r\n");
      return;
    }

    if (record.kind == "CONNECT") {
      record.port = LoopbackPort(record.target);
      Record(record);
      if (record.port == 0 ||
          !WriteAll(client, "HTTP/1.1 200 Connection established\r\n\r\n"))
        return;
      Forward(client, record.port, rest);
      return;
    }
    // "http://127.0.0.1:<port>/path": sent on as "GET /path", one request per connection.
    const QByteArray& target = requestLine[1];
    if (!target.startsWith("http://")) return;
    const qsizetype slash = target.indexOf('/', 7);
    const QByteArray authority = target.mid(7, slash < 0 ? -1 : slash - 7);
    record.port = LoopbackPort(authority.contains(':') ? authority : authority + ":80");
    Record(record);
    if (record.port == 0) return;
    QByteArray forwarded = requestLine[0] + ' ' + (slash < 0 ? QByteArray("/") : target.mid(slash)) +
                           ' ' + requestLine[2] + "\r\n";
    for (const QByteArray& header : headers) forwarded += header + "\r\n";
    forwarded += "Connection: close\r\n\r\n" + rest;
    Forward(client, record.port, forwarded);
  }

  void ServeSocks(int client) {
    ProxiedRequest record;
    record.kind = "SOCKS5";
    unsigned char greeting[2];
    if (!ReadExact(client, reinterpret_cast<char*>(greeting), 2)) return;
    QByteArray methods(greeting[1], '\0');
    if (!ReadExact(client, methods.data(), size_t(methods.size()))) return;
    const bool login = LoginRequired();
    const char method = login ? 0x02 : 0x00;
    if (!methods.contains(method)) {
      Record(record);
      WriteAll(client, QByteArray("\x05\xFF", 2));
      return;
    }
    if (!WriteAll(client, QByteArray("\x05", 1) + method)) return;
    if (login) {
      char version = 0;
      unsigned char length = 0;
      if (!ReadExact(client, &version, 1) || !ReadExact(client, reinterpret_cast<char*>(&length), 1)) return;
      QByteArray givenUser(length, '\0');
      if (!ReadExact(client, givenUser.data(), length) || !ReadExact(client, reinterpret_cast<char*>(&length), 1)) return;
      QByteArray givenPassword(length, '\0');
      if (!ReadExact(client, givenPassword.data(), length)) return;
      record.authorised = LoginMatches(givenUser, givenPassword);
      WriteAll(client, QByteArray("\x01", 1) + (record.authorised ? '\0' : '\x01'));
      if (!record.authorised) {
        Record(record);
        return;
      }
    } else {
      record.authorised = true;
    }
    unsigned char request[4];
    if (!ReadExact(client, reinterpret_cast<char*>(request), 4) || request[1] != 0x01) return;
    QByteArray host;
    if (request[3] == 0x01) {
      unsigned char v4[4];
      if (!ReadExact(client, reinterpret_cast<char*>(v4), 4)) return;
      host = QByteArray::number(v4[0]) + '.' + QByteArray::number(v4[1]) + '.' +
             QByteArray::number(v4[2]) + '.' + QByteArray::number(v4[3]);
    } else if (request[3] == 0x03) {
      unsigned char length = 0;
      if (!ReadExact(client, reinterpret_cast<char*>(&length), 1)) return;
      host.resize(length);
      if (!ReadExact(client, host.data(), length)) return;
    } else {
      return; // IPv6 is never the loopback address the tests use
    }
    unsigned char portBytes[2];
    if (!ReadExact(client, reinterpret_cast<char*>(portBytes), 2)) return;
    const int port = portBytes[0] << 8 | portBytes[1];
    record.target = host + ':' + QByteArray::number(port);
    record.port = IsLoopbackName(host) ? port : 0;
    Record(record);
    const char reply[] = {0x05, char(record.port ? 0x00 : 0x02), 0x00, 0x01, 0, 0, 0, 0, 0, 0};
    if (!WriteAll(client, reply, sizeof reply) || record.port == 0) return;
    Forward(client, record.port, {});
  }
};

LocalProxy::LocalProxy() : impl_(std::make_unique<Impl>()) {
  impl_->listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (impl_->listener < 0 ||
      ::bind(impl_->listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(impl_->listener, 64) != 0 ||
      ::getsockname(impl_->listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (impl_->listener >= 0) ::close(impl_->listener);
    throw std::runtime_error("LocalProxy: cannot listen on 127.0.0.1");
  }
  impl_->port = ntohs(address.sin_port);
  impl_->acceptThread = std::thread([this] { impl_->AcceptLoop(); });
}

LocalProxy::~LocalProxy() {
  {
    QMutexLocker lock(&impl_->mutex);
    impl_->stopping = true;
    for (int fd : impl_->sockets) ::shutdown(fd, SHUT_RDWR);
  }
  ::shutdown(impl_->listener, SHUT_RDWR);
  impl_->acceptThread.join();
  ::close(impl_->listener);
  std::vector<std::thread> workers;
  {
    QMutexLocker lock(&impl_->mutex);
    workers.swap(impl_->workers);
  }
  for (std::thread& worker : workers) worker.join();
}

int LocalProxy::Port() const { return impl_->port; }

QString LocalProxy::Url(const QString& scheme) const {
  QMutexLocker lock(&impl_->mutex);
  const QString login = impl_->user.isEmpty()
                            ? QString()
                            : QString::fromUtf8(impl_->user + ':' + impl_->password) + QLatin1Char('@');
  return scheme + QStringLiteral("://") + login + QStringLiteral("127.0.0.1:") +
         QString::number(impl_->port);
}

void LocalProxy::RequireLogin(const QByteArray& user, const QByteArray& password) {
  QMutexLocker lock(&impl_->mutex);
  impl_->user = user;
  impl_->password = password;
}

QList<ProxiedRequest> LocalProxy::Requests() const {
  QMutexLocker lock(&impl_->mutex);
  return impl_->requests;
}

int LocalProxy::CountFor(int port) const {
  QMutexLocker lock(&impl_->mutex);
  int n = 0;
  for (const ProxiedRequest& r : impl_->requests) n += r.port == port && r.authorised;
  return n;
}

} // namespace testing_support
