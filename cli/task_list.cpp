#include "cli/task_list.h"

#include "core/folder_rule.h"

#include <QDir>
#include <QStringDecoder>

namespace folivex_get {
namespace {

QString RefusalText(folder_rule::Refusal refusal, const QString& base) {
  using folder_rule::Refusal;
  switch (refusal) {
  case Refusal::DotComponent: return QStringLiteral("the folder contains \".\" or \"..\"");
  case Refusal::LeadsOutside: return QStringLiteral("the folder leads outside %1").arg(base);
  case Refusal::BadBase: return QStringLiteral("%1 cannot be a base folder").arg(base);
  default: return QStringLiteral("the folder is outside %1").arg(base);
  }
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
  folder_rule::Refusal refusal = folder_rule::Refusal::None;
  const QString path = folder_rule::ResolveFolderInside(base, folder, &refusal);
  if (!path.isEmpty()) return QDir::cleanPath(path);
  if (why) *why = RefusalText(refusal, QDir::cleanPath(base));
  return QString();
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
    if (HasControlCharacter(folder)) {
      reject(QStringLiteral("the folder name \"%1\" holds a control character").arg(Escaped(folder)));
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
