#include "engine/image_source.h"

#include "common/temp_file.h"

#include <QFile>

namespace engine {

std::optional<QByteArray> DecodeDataUrl(const QString& url) {
  if (!url.startsWith(QLatin1String("data:"), Qt::CaseInsensitive)) return std::nullopt;
  const qsizetype comma = url.indexOf(QLatin1Char(','));
  if (comma < 0) return std::nullopt;
  // The base64 form is at least a third smaller than what it decodes to.
  if (url.size() - comma > kMaxImageBytes * 2) return std::nullopt;
  const QStringList parameters = url.mid(5, comma - 5).split(QLatin1Char(';'));
  const bool base64 = parameters.last().trimmed().compare(QLatin1String("base64"),
                                                           Qt::CaseInsensitive) == 0;
  QByteArray data = QByteArray::fromPercentEncoding(url.mid(comma + 1).toLatin1());
  if (base64) {
    data = data.simplified().replace(' ', QByteArray());
    auto decoded = QByteArray::fromBase64Encoding(data, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) return std::nullopt;
    data = decoded.decoded;
  }
  if (data.size() > kMaxImageBytes) return std::nullopt;
  return data;
}

std::unique_ptr<CPageImageInfo> ImageOfBytes(const QString& key, const QByteArray& bytes,
                                             QStringList& temporaryFiles) {
  if (bytes.isEmpty() || bytes.size() > kMaxImageBytes) return nullptr;
  const QString path = common::CreateTempFile();
  if (path.isEmpty()) return nullptr;
  temporaryFiles.append(path);
  auto reject = [&]() -> std::unique_ptr<CPageImageInfo> {
    QFile::remove(path);
    temporaryFiles.removeAll(path);
    return nullptr;
  };
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
    return reject();
  file.close();
  auto record = PictureRecord(key, path);
  if (!record) return reject();
  return record;
}

std::unique_ptr<CPageImageInfo> ObtainImage(const QString& url, const ImageRequest& request,
                                            QStringList& temporaryFiles,
                                            std::optional<common::FailureReport>* failure) {
  if (url.startsWith(QLatin1String("data:"), Qt::CaseInsensitive)) {
    const auto bytes = DecodeDataUrl(url);
    return bytes ? ImageOfBytes(url, *bytes, temporaryFiles) : nullptr;
  }
  if (request.pageBytes) {
    if (const auto bytes = request.pageBytes(url)) return ImageOfBytes(url, *bytes, temporaryFiles);
  }
  // A blob: address lives only inside the page: what the page cannot give does not exist.
  if (url.startsWith(QLatin1String("blob:"), Qt::CaseInsensitive)) return nullptr;
  return FetchImage(url, request, temporaryFiles, failure);
}

} // namespace engine
