#include "core/folder_rule.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace folder_rule {
namespace {

bool HasDotComponent(const QString& path) {
  const QStringList parts = path.split(QLatin1Char('/'));
  for (const QString& part : parts)
    if (part == QLatin1String(".") || part == QLatin1String("..")) return true;
  return false;
}

/// Whether the cleaned `path` is `base` or lies below it ("/a/bx" is not below "/a/b").
bool IsInside(const QString& path, const QString& base) {
  if (path == base) return true;
  const QString prefix = base.endsWith(QLatin1Char('/')) ? base : base + QLatin1Char('/');
  return path.startsWith(prefix);
}

/// The real path of the deepest part of `path` that exists; empty when none does.
QString RealExistingPart(QString path) {
  while (!path.isEmpty()) {
    const QFileInfo info(path);
    if (info.exists()) return info.canonicalFilePath();
    const QString parent = info.path();
    if (parent == path) break;
    path = parent;
  }
  return QString();
}

// Folder (cleaned) -> the highest level CheckTaskFolder created for it.
QHash<QString, QString>& CreatedFolders() {
  static QHash<QString, QString> created;
  return created;
}

// The highest level of the cleaned `path` that does not exist yet; empty when it exists.
QString HighestMissingLevel(const QString& path) {
  QString top;
  for (QString level = path; !QFileInfo::exists(level);) {
    top = level;
    const QString parent = QFileInfo(level).path();
    if (parent == level) break;
    level = parent;
  }
  return top;
}

QString Refuse(Refusal reason, Refusal* why) {
  if (why) *why = reason;
  return QString();
}

} // namespace

bool IsTaskFolderPath(const QString& folder) {
  return QDir::isAbsolutePath(folder) && QDir::cleanPath(folder) != QLatin1String("/");
}

bool IsPathTooLong(const QString& folder) {
  const QString cleaned = QDir::cleanPath(folder);
  if (QFile::encodeName(cleaned).size() >= PATH_MAX) return true;
  long nameMax = NAME_MAX;
  const QString existing = RealExistingPart(cleaned);
  if (!existing.isEmpty()) {
    const long limit = ::pathconf(QFile::encodeName(existing).constData(), _PC_NAME_MAX);
    if (limit > 0) nameMax = limit;
  }
  for (const QString& name : cleaned.split(QLatin1Char('/'), Qt::SkipEmptyParts))
    if (QFile::encodeName(name).size() > nameMax) return true;
  return false;
}

Problem CheckTaskFolder(const QString& folder) {
  if (folder.isEmpty() || !QDir::isAbsolutePath(folder)) return Problem::NotAbsolute;
  if (QFileInfo::exists(folder) && !QFileInfo(folder).isDir()) return Problem::IsFile;
  if (IsPathTooLong(folder)) return Problem::TooLong;
  const QString clean = QDir::cleanPath(folder);
  const QString missing = HighestMissingLevel(clean);
  QDir().mkpath(folder);
  const QFileInfo info(folder);
  if (!missing.isEmpty() && info.isDir()) CreatedFolders().insert(clean, missing);
  if (!info.isDir()) {
    // A file on the way ("/a/file/b") makes the folder impossible as well; a folder on the
    // way that takes no new entries is why nothing could be made below it.
    const QString existing = RealExistingPart(QDir::cleanPath(folder));
    if (existing.isEmpty()) return Problem::NotMade;
    const QFileInfo part(existing);
    if (!part.isDir()) return Problem::IsFile;
    return part.isWritable() ? Problem::NotMade : Problem::NotWritable;
  }
  if (info.canonicalFilePath() == QLatin1String("/")) return Problem::NotMade;
  if (!info.isWritable()) return Problem::NotWritable;
  return Problem::None;
}

QString CreatedTopLevel(const QString& folder) {
  return CreatedFolders().value(QDir::cleanPath(folder));
}

bool PrepareTaskFolder(const QString& folder) { return CheckTaskFolder(folder) == Problem::None; }

Problem ProbeTaskFolder(const QString& folder) {
  if (!QFileInfo(folder).isDir()) return Problem::Missing;
  const auto fullOrLocked = [](int error) {
    return error == ENOSPC || error == EDQUOT ? Problem::DiskFull : Problem::NotWritable;
  };
  const QString slashed = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
  const QByteArray probe =
      QFile::encodeName(slashed + QStringLiteral(".folivex-probe-%1").arg(getpid()));
  const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) {
    if (errno == EEXIST) return Problem::None; // someone's file of that name: it takes files
    return fullOrLocked(errno);
  }
  static const char block[4096] = {};
  int error = 0;
  if (::write(fd, block, sizeof block) != ssize_t(sizeof block)) error = errno ? errno : ENOSPC;
  if (::close(fd) != 0 && error == 0) error = errno;
  ::unlink(probe.constData());
  return error == 0 ? Problem::None : fullOrLocked(error);
}

bool HoldsPageFiles(const QString& folder) {
  static const QRegularExpression page(
      QStringLiteral("^[0-9]{3,}\\.(jpe?g|png|gif|bmp|tiff?|webp|avif)$"),
      QRegularExpression::CaseInsensitiveOption);
  if (folder.isEmpty()) return false;
  const QStringList files = QDir(folder).entryList(QDir::Files);
  for (const QString& file : files)
    if (page.match(file).hasMatch()) return true;
  return false;
}

bool SameFolder(const QString& a, const QString& b) {
  if (a.isEmpty() || b.isEmpty()) return false;
  if (QDir::cleanPath(a) == QDir::cleanPath(b)) return true;
  const QString realA = QFileInfo(a).canonicalFilePath();
  return !realA.isEmpty() && realA == QFileInfo(b).canonicalFilePath();
}

QString FolderInside(const QString& baseFolder, const QString& folder, Refusal* why) {
  if (!QDir::isAbsolutePath(baseFolder) || HasDotComponent(baseFolder))
    return Refuse(Refusal::BadBase, why);
  if (HasDotComponent(folder)) return Refuse(Refusal::DotComponent, why);
  const QString base = QDir::cleanPath(baseFolder);
  const bool absolute = QDir::isAbsolutePath(folder);
  const QString path = absolute ? folder : base + QLatin1Char('/') + folder;
  if (!IsInside(QDir::cleanPath(path), base)) return Refuse(Refusal::Outside, why);
  if (why) *why = Refusal::None;
  return path;
}

QString ResolveFolderInside(const QString& baseFolder, const QString& folder, Refusal* why) {
  const QString path = FolderInside(baseFolder, folder, why);
  if (path.isEmpty()) return path;
  // A symbolic link below the base folder may point anywhere: the deepest part that exists
  // already must really lie inside the base before anything is created below it. When the
  // base does not exist yet, nothing below it does either.
  const QFileInfo base(baseFolder);
  if (base.exists()) {
    const QString realPart = RealExistingPart(QDir::cleanPath(path));
    if (realPart.isEmpty() || !IsInside(realPart, base.canonicalFilePath()))
      return Refuse(Refusal::LeadsOutside, why);
  }
  return path;
}

QString CreateFolderInside(const QString& baseFolder, const QString& folder, Refusal* why) {
  if (FolderInside(baseFolder, folder, why).isEmpty()) return QString();
  if (!PrepareTaskFolder(baseFolder)) return Refuse(Refusal::Unusable, why);
  const QString path = ResolveFolderInside(baseFolder, folder, why);
  if (path.isEmpty()) return path;
  if (!PrepareTaskFolder(path)) return Refuse(Refusal::Unusable, why);
  // The folders were created after the check: judge once more where the result lies.
  const QString realBase = QFileInfo(baseFolder).canonicalFilePath();
  if (!IsInside(QFileInfo(path).canonicalFilePath(), realBase))
    return Refuse(Refusal::LeadsOutside, why);
  return path;
}

} // namespace folder_rule
