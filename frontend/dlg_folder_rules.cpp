#include "frontend/dlg_folder_rules.h"

#include <QDir>
#include <QFileInfo>

namespace dialogs {
namespace {

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

/// Adds one to a text of decimal digits and drops leading zeros ("09" -> "10", "99" -> "100").
QString Increment(QString digits) {
  int i = digits.size() - 1;
  for (; i >= 0; --i) {
    if (digits[i] != QLatin1Char('9')) {
      digits[i] = QChar(digits[i].unicode() + 1);
      break;
    }
    digits[i] = QLatin1Char('0');
  }
  if (i < 0) digits.prepend(QLatin1Char('1'));
  while (digits.size() > 1 && digits.startsWith(QLatin1Char('0'))) digits.remove(0, 1);
  return digits;
}

bool HasDotComponent(const QString& path) {
  const QStringList parts = path.split(QLatin1Char('/'));
  for (const QString& part : parts)
    if (part == QLatin1String(".") || part == QLatin1String("..")) return true;
  return false;
}

/// The real path of the deepest existing folder on the way to `path`.
QString RealExistingPart(QString path) {
  while (!path.isEmpty() && !QFileInfo::exists(path)) {
    const int slash = path.lastIndexOf(QLatin1Char('/'), path.endsWith(QLatin1Char('/')) ? -2 : -1);
    if (slash <= 0) return QStringLiteral("/");
    path.truncate(slash);
  }
  return QFileInfo(path).canonicalFilePath();
}

} // namespace

bool BeginsWithHttp(const QString& text) {
  return text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive);
}

QString SuggestNextFolder(const QString& folder) {
  int end = folder.size();
  while (end > 0 && !IsDigit(folder[end - 1])) --end;
  const QString suffix = folder.mid(end);
  int start = end;
  while (start > 0 && IsDigit(folder[start - 1])) --start;
  if (start == end) return folder;
  return folder.left(start) + Increment(folder.mid(start, end - start)) + suffix;
}

bool PrepareTaskFolder(const QString& folder) {
  if (folder.isEmpty() || !QDir::isAbsolutePath(folder)) return false;
  QDir().mkpath(folder);
  const QFileInfo info(folder);
  if (!info.isDir()) return false;
  return info.canonicalFilePath() != QLatin1String("/");
}

QStringList SplitLinkLines(const QString& text) {
  QString unified = text;
  unified.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return unified.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString FolderInside(const QString& baseFolder, const QString& folder) {
  if (!QDir::isAbsolutePath(baseFolder) || HasDotComponent(baseFolder)) return {};
  const QString candidate =
      QDir::isAbsolutePath(folder) ? folder : baseFolder + QLatin1Char('/') + folder;
  if (HasDotComponent(candidate)) return {};
  const QString base = QDir::cleanPath(baseFolder);
  const QString clean = QDir::cleanPath(candidate);
  const QString prefix = base.endsWith(QLatin1Char('/')) ? base : base + QLatin1Char('/');
  if (clean != base && !clean.startsWith(prefix)) return {};
  return QDir::isAbsolutePath(folder) ? folder : base + QLatin1Char('/') + folder;
}

LinkLineError ParseLinkLine(const QString& line, const QString& baseFolder, LinkLine& out) {
  const int space = line.indexOf(QLatin1Char(' '));
  if (space < 0) return LinkLineError::NoSpace;
  const QString url = line.left(space);
  if (!BeginsWithHttp(url)) return LinkLineError::NotHttp;
  QString folder = line.mid(space + 1);
  int lead = 0;
  while (lead < folder.size() && folder[lead] == QLatin1Char(' ')) ++lead;
  folder.remove(0, lead);
  if (folder.isEmpty()) return LinkLineError::BadFolder;
  const QString inside = FolderInside(baseFolder, folder);
  if (inside.isEmpty() || !PrepareTaskFolder(baseFolder)) return LinkLineError::BadFolder;
  // A symbolic link below the base folder could lead elsewhere: the deepest part that exists
  // already must really lie inside the base before anything is created below it.
  const QString realBase = QFileInfo(baseFolder).canonicalFilePath();
  if (FolderInside(realBase, RealExistingPart(inside)).isEmpty()) return LinkLineError::BadFolder;
  if (!PrepareTaskFolder(inside)) return LinkLineError::BadFolder;
  if (FolderInside(realBase, QFileInfo(inside).canonicalFilePath()).isEmpty())
    return LinkLineError::BadFolder;
  out.url = url;
  out.folder = inside;
  return LinkLineError::None;
}

QString FormatNumber(const QString& text, int number) {
  QString result = text;
  const int at = result.indexOf(QLatin1String("%d"));
  if (at >= 0) result.replace(at, 2, QString::number(number));
  return result;
}

} // namespace dialogs
