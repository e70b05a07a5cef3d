#pragma once
// A small forwarding proxy on 127.0.0.1 for tests of the programs' proxy use. One port speaks
// HTTP proxying (absolute-form requests forwarded, CONNECT tunnelled) and SOCKS5 (told apart
// by the first byte). It forwards only to 127.0.0.1 and records what it was asked for, so a
// test can prove which requests went through it.
//
//   testing_support::LocalProxy proxy;
//   proxy.RequireLogin("user", "secret"); // optional
//   ... run the program with proxy.Url("http") ...
//   EXPECT_GE(proxy.CountFor(site.Port()), 1);
//
// Every member is thread-safe: each connection is served on its own thread.
#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>

namespace testing_support {

struct ProxiedRequest {
  QByteArray kind;   ///< "GET" (any forwarded method), "CONNECT" or "SOCKS5"
  QByteArray target; ///< "127.0.0.1:<port>" for tunnels, the absolute address otherwise
  int port = 0;      ///< the port it was forwarded to, 0 when refused
  bool authorised = false; ///< whether the login required was given (true without one)
};

class LocalProxy {
public:
  /// Starts listening on 127.0.0.1 at a free port; throws std::runtime_error if it cannot.
  LocalProxy();
  ~LocalProxy(); ///< Stops listening, ends every connection and waits for their threads.
  LocalProxy(const LocalProxy&) = delete;
  LocalProxy& operator=(const LocalProxy&) = delete;

  int Port() const;
  /// "<scheme>://127.0.0.1:<port>" with "user:password@" when a login is required.
  QString Url(const QString& scheme) const;
  /// From now on a request without this login is refused (407, or the SOCKS5 failure).
  void RequireLogin(const QByteArray& user, const QByteArray& password);

  QList<ProxiedRequest> Requests() const;
  /// How many forwarded requests went to `port` of 127.0.0.1.
  int CountFor(int port) const;

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

} // namespace testing_support
