#include "tools/folivex_get/task_list.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

namespace folivex_get {
namespace {

bool IsInside(const QString& path, const QString& base) {
  if (path == base) return true;
  const QString prefix = base.endsWith(QLatin1Char('/')) ? base : base + QLatin1Char('/');
  return path.startsWith(prefix);
}

// The deepest part of `path` that exists, resolved through symbolic links; empty when none.
QString CanonicalExistingPart(QString path) {
  while (!path.isEmpty()) {
    const QFileInfo info(path);
    if (info.exists()) return info.canonicalFilePath();
    const QString parent = info.path();
    if (parent == path) break;
    path = parent;
  }
  return QString();
}

} // namespace

QString DecodeListText(const QByteArray& bytes) {
  if (bytes.startsWith("\xFF\xFE")) {
    QStringDecoder decoder(QStringDecoder::Utf16LE);
    return decoder(bytes.mid(2));
  }
  if (bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes.mid(3));
  return QString::fromUtf8(bytes);
}

QString ResolveListFolder(const QString& folder, const QString& base, QString* why) {
  auto refuse = [why](const QString& reason) {
    if (why) *why = reason;
    return QString();
  };
  for (const QString& part : folder.split(QLatin1Char('/')))
    if (part == QLatin1String("..")) return refuse(QStringLiteral("the folder contains \"..\""));
  const QString cleanBase = QDir::cleanPath(base);
  const QString path = QDir::cleanPath(QDir::isAbsolutePath(folder)
                                           ? folder
                                           : cleanBase + QLatin1Char('/') + folder);
  if (!IsInside(path, cleanBase))
    return refuse(QStringLiteral("the folder is outside %1").arg(cleanBase));
  // A symbolic link inside the base may point anywhere; judge where it really leads. The
  // deepest existing part of the path is the base itself or lies below it.
  if (QFileInfo::exists(cleanBase)) {
    const QString realBase = QFileInfo(cleanBase).canonicalFilePath();
    const QString realPath = CanonicalExistingPart(path);
    if (realPath.isEmpty() || !IsInside(realPath, realBase))
      return refuse(QStringLiteral("the folder leads outside %1").arg(cleanBase));
  }
  return path;
}

TaskList ParseTaskList(const QString& text, const QString& base) {
  TaskList list;
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (int i = 0; i < lines.size(); ++i) {
    const int number = i + 1;
    QString line = lines[i];
    while (!line.isEmpty() && line.back().isSpace()) line.chop(1); // also the "\r" of "\r\n"
    int start = 0;
    while (start < line.size() && line[start].isSpace()) ++start;
    if (start == line.size() || line[start] == QLatin1Char('#')) continue;
    auto reject = [&](const QString& why) {
      list.rejected.append(QStringLiteral("line %1: %2").arg(number).arg(why));
    };

    int end = start;
    while (end < line.size() && !line[end].isSpace()) ++end;
    const QString url = line.mid(start, end - start);
    int folderStart = end;
    while (folderStart < line.size() && line[folderStart].isSpace()) ++folderStart;
    const QString folder = line.mid(folderStart);
    if (!IsWebAddress(url)) {
      reject(QStringLiteral("not a web address: %1").arg(url));
      continue;
    }
    if (folder.isEmpty()) {
      reject(QStringLiteral("no folder after the address"));
      continue;
    }
    QString why;
    const QString resolved = ResolveListFolder(folder, base, &why);
    if (resolved.isEmpty()) {
      reject(why + QStringLiteral(": ") + folder);
      continue;
    }
    list.entries.append({number, url, resolved});
  }
  return list;
}

} // namespace folivex_get
