#include "local_site.h"

#include <httplib.h>

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QMutex>
#include <QMutexLocker>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace testing_support {

QByteArray RecordedRequest::Header(const QByteArray& name) const {
  for (const auto& [key, value] : headers)
    if (key.compare(name, Qt::CaseInsensitive) == 0)
      return value;
  return {};
}

namespace {

// A self-signed certificate and key for 127.0.0.1, made once per process with openssl.
struct TestCertificate {
  QTemporaryDir dir;
  QString certificate;
  QString key;
  TestCertificate() {
    const QString cert = dir.filePath(QStringLiteral("site-cert.pem"));
    const QString keyFile = dir.filePath(QStringLiteral("site-key.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                   "-nodes", "-keyout", keyFile, "-out", cert, "-days", "2", "-subj",
                   "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1"});
    if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0 || !QFile::exists(cert))
      return;
    certificate = cert;
    key = keyFile;
  }
};

const TestCertificate& Certificate() {
  static const TestCertificate made;
  return made;
}

} // namespace

struct LocalSite::Impl {
  std::unique_ptr<httplib::Server> owned;
  httplib::Server& server;
  QString scheme;
  std::atomic<bool> stopping{false};
  explicit Impl(SiteScheme kind)
      : owned(Make(kind)), server(*owned),
        scheme(kind == SiteScheme::Https ? QStringLiteral("https") : QStringLiteral("http")) {}

  static std::unique_ptr<httplib::Server> Make(SiteScheme kind) {
    if (kind == SiteScheme::Http) return std::make_unique<httplib::Server>();
    const TestCertificate& made = Certificate();
    if (made.certificate.isEmpty())
      throw std::runtime_error("LocalSite: openssl made no certificate");
    auto server = std::make_unique<httplib::SSLServer>(made.certificate.toLocal8Bit().constData(),
                                                      made.key.toLocal8Bit().constData());
    if (!server->is_valid()) throw std::runtime_error("LocalSite: TLS set-up failed");
    return server;
  }

  std::thread thread;
  int port = 0;
  mutable QMutex mutex;
  QMap<QByteArray, Resource> resources;
  QList<RecordedRequest> requests;
  QMap<QByteArray, qint64> sent; // body bytes of answers without a length, by path

  void Record(const httplib::Request& req) {
    RecordedRequest r;
    r.method = QByteArray::fromStdString(req.method);
    const QByteArray target = QByteArray::fromStdString(req.target);
    const qsizetype q = target.indexOf('?');
    r.path = q < 0 ? target : target.left(q);
    r.query = q < 0 ? QByteArray() : target.mid(q + 1);
    for (const auto& [key, value] : req.headers)
      r.headers.append({QByteArray::fromStdString(key), QByteArray::fromStdString(value)});
    r.body = QByteArray::fromStdString(req.body);
    QMutexLocker lock(&mutex);
    requests.append(r);
  }

  void Answer(const httplib::Request& req, httplib::Response& res) {
    Record(req);
    Resource resource;
    {
      QMutexLocker lock(&mutex);
      auto it = resources.constFind(QByteArray::fromStdString(req.path));
      if (it == resources.constEnd()) {
        res.status = 404;
        res.set_content("not found", "text/plain");
        return;
      }
      resource = *it;
    }
    if (!resource.requiredCookies.isEmpty()) {
      const QList<QByteArray> sent =
          QByteArray::fromStdString(req.get_header_value("Cookie")).split(';');
      QList<QByteArray> trimmed;
      for (const QByteArray& pair : sent) trimmed << pair.trimmed();
      for (const QByteArray& cookie : resource.requiredCookies) {
        if (trimmed.contains(cookie)) continue;
        res.status = 403;
        res.set_content("cookie missing", "text/plain");
        return;
      }
    }
    res.status = resource.status;
    for (const auto& [key, value] : resource.headers)
      res.set_header(key.toStdString(), value.toStdString());
    const std::string type = resource.contentType.toStdString();
    auto body = std::make_shared<std::string>(resource.body.toStdString());
    if (resource.trickleMs > 0) {
      const int gap = resource.trickleMs;
      std::atomic<bool>* stop = &stopping;
      res.set_content_provider(body->size(), type,
                               [body, gap, stop](size_t offset, size_t, httplib::DataSink& sink) {
        for (int waited = 0; waited < gap; waited += 10) {
          if (stop->load()) return false;
          std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return sink.write(body->data() + offset, 1);
      });
      return;
    }
    switch (resource.length) {
    case BodyLength::Correct:
      res.set_content(*body, type);
      break;
    case BodyLength::None: {
      // Without a length the body runs until the server closes the connection.
      res.set_header("Connection", "close");
      const size_t total = size_t(std::max<qint64>(resource.repeatUpTo, qint64(body->size())));
      const QByteArray path = QByteArray::fromStdString(req.path);
      res.set_content_provider(type, [this, body, total, path](size_t offset, httplib::DataSink& sink) {
        const size_t piece = std::min(body->size() - offset % std::max<size_t>(body->size(), 1), total - offset);
        if (piece == 0) sink.done();
        else if (!sink.write(body->data() + offset % body->size(), piece)) return false;
        QMutexLocker lock(&mutex);
        sent[path] += qint64(piece);
        return true;
      });
      break;
    }
    case BodyLength::Wrong:
      // The whole body goes out whatever length was stated; a short body ends by closing.
      res.set_header("Connection", "close");
      res.set_content_provider(
          size_t(std::max<qint64>(resource.statedLength, 0)), type,
          [body](size_t offset, size_t, httplib::DataSink& sink) {
            if (offset == 0 && !body->empty())
              sink.write(body->data(), body->size());
            return offset == 0 && !body->empty();
          });
      break;
    }
  }
};

LocalSite::LocalSite(SiteScheme scheme) : impl_(std::make_unique<Impl>(scheme)) {
  auto handler = [this](const httplib::Request& req, httplib::Response& res) {
    impl_->Answer(req, res);
  };
  impl_->server.Get(".*", handler);
  impl_->server.Post(".*", handler);
  impl_->server.Put(".*", handler);
  impl_->server.Delete(".*", handler);
  impl_->server.Options(".*", handler);
  impl_->server.set_keep_alive_timeout(1);
  impl_->port = impl_->server.bind_to_any_port("127.0.0.1");
  if (impl_->port <= 0)
    throw std::runtime_error("LocalSite: cannot listen on 127.0.0.1");
  // The socket already listens after binding, so connections made from here on queue up.
  impl_->thread = std::thread([this] { impl_->server.listen_after_bind(); });
}

LocalSite::~LocalSite() {
  impl_->stopping = true;
  impl_->server.stop();
  if (impl_->thread.joinable())
    impl_->thread.join();
}

int LocalSite::Port() const { return impl_->port; }

QString LocalSite::Url(const QString& path) const {
  return QStringLiteral("%1://127.0.0.1:%2%3").arg(impl_->scheme).arg(impl_->port).arg(path);
}

QString LocalSite::CertificateFile() { return Certificate().certificate; }

void LocalSite::Add(const QString& path, const Resource& resource) {
  QMutexLocker lock(&impl_->mutex);
  impl_->resources.insert(path.toUtf8(), resource);
}

void LocalSite::Add(const QString& path, const QByteArray& body, const QByteArray& contentType) {
  Resource r;
  r.body = body;
  r.contentType = contentType;
  Add(path, r);
}

void LocalSite::AddPage(const QString& path, const QString& html) {
  Add(path, html.toUtf8(), "text/html; charset=utf-8");
}

void LocalSite::Remove(const QString& path) {
  QMutexLocker lock(&impl_->mutex);
  impl_->resources.remove(path.toUtf8());
}

QList<RecordedRequest> LocalSite::Requests() const {
  QMutexLocker lock(&impl_->mutex);
  return impl_->requests;
}

qint64 LocalSite::BytesSent(const QString& path) const {
  QMutexLocker lock(&impl_->mutex);
  return impl_->sent.value(path.toUtf8());
}

int LocalSite::RequestCount(const QString& path) const {
  const QByteArray p = path.toUtf8();
  QMutexLocker lock(&impl_->mutex);
  int n = 0;
  for (const auto& r : impl_->requests)
    n += r.path == p;
  return n;
}

void LocalSite::ClearRequests() {
  QMutexLocker lock(&impl_->mutex);
  impl_->requests.clear();
}

} // namespace testing_support
