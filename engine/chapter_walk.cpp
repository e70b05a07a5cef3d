#include "engine/chapter_walk.h"

#include "engine/page_jump.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace {

const QByteArray kRecordHeader = "folivex-walk 1";
constexpr qint64 kMaxRecordBytes = 4 * 1024 * 1024; // far above a cap of 100,000 pages

QByteArray AddressKey(const QString& url) {
  // 16 bytes of the address' hash, as hex: a record of a thousand pages stays small.
  return QCryptographicHash::hash(WithoutFragment(url).toUtf8(), QCryptographicHash::Sha1)
      .toHex()
      .left(32);
}

} // namespace

CChapterWalk::CChapterWalk(QString folder, std::int32_t maxPages)
    : folder_(std::move(folder)), maxPages_(std::max(1, maxPages)) {}

QString CChapterWalk::RecordPath(const QString& folder) {
  const QByteArray key =
      QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1).toHex();
  return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
         QStringLiteral("/folivex/walks/") + QString::fromLatin1(key);
}

WalkStart CChapterWalk::Start(const QString& url, std::int32_t page) {
  if (page <= 1) {
    // A new task: whatever an earlier task into this folder kept is no part of it.
    QFile::remove(RecordPath(folder_));
    return {url, page, 0};
  }
  if (!Load() || lastPage_ != page || lastUrl_ != url) {
    // The record tells of another page than the one to start from: it is not this walk's.
    saved_.clear();
    return {url, page, 0};
  }
  if (documentUrl_ == url && documentPage_ == page) return {url, page, 0};
  resumeAfter_ = page;
  return {documentUrl_, documentPage_, page};
}

bool CChapterWalk::Saved(const QString& url) const { return saved_.contains(AddressKey(url)); }

void CChapterWalk::PageSaved(std::int32_t page, const QString& url, const QString& documentUrl,
                             std::int32_t documentPage, bool keep) {
  saved_.insert(AddressKey(url));
  lastPage_ = page;
  lastUrl_ = url;
  documentUrl_ = documentUrl;
  documentPage_ = documentPage;
  if (keep) Save();
}

void CChapterWalk::Forget() { QFile::remove(RecordPath(folder_)); }

bool CChapterWalk::Load() {
  QFile file(RecordPath(folder_));
  if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxRecordBytes) return false;
  const QList<QByteArray> lines = file.readAll().split('\n');
  // The header, the last page and its address, the document's page and address, then one
  // address key per line. Anything else is no record.
  if (lines.size() < 5 || lines[0] != kRecordHeader) return false;
  bool lastOk = false;
  bool documentOk = false;
  const std::int32_t last = lines[1].toInt(&lastOk);
  const std::int32_t document = lines[3].toInt(&documentOk);
  if (!lastOk || !documentOk || last < 1 || document < 1 || document > last) return false;
  lastPage_ = last;
  lastUrl_ = QString::fromUtf8(lines[2]);
  documentPage_ = document;
  documentUrl_ = QString::fromUtf8(lines[4]);
  saved_.clear();
  for (qsizetype i = 5; i < lines.size(); ++i)
    if (lines[i].size() == 32) saved_.insert(lines[i]);
  return true;
}

void CChapterWalk::Save() const {
  const QString path = RecordPath(folder_);
  QDir().mkpath(QFileInfo(path).path());
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return;
  QByteArray text = kRecordHeader + '\n' + QByteArray::number(lastPage_) + '\n' +
                    lastUrl_.toUtf8() + '\n' + QByteArray::number(documentPage_) + '\n' +
                    documentUrl_.toUtf8() + '\n';
  for (const QByteArray& key : saved_) text += key + '\n';
  file.write(text);
  file.commit(); // a record that cannot be written costs a restart its shortcut, nothing more
}
