#include "engine/search_result.h"

#include "common/temp_file.h"
#include "engine/folder_name.h"

#include <QFile>

namespace engine {
namespace {

bool BreaksTheLine(QChar c) { return c.unicode() <= 0x20 || c.unicode() == 0x7F || c.isSpace(); }

QString OneLineAddress(const QString& address) {
  QString out;
  out.reserve(address.size());
  for (const QChar c : address) {
    if (!BreaksTheLine(c)) {
      out += c;
      continue;
    }
    for (const char byte : QString(c).toUtf8())
      out += QStringLiteral("%%1").arg(uint(quint8(byte)), 2, 16, QLatin1Char('0')).toUpper();
  }
  return out;
}

QByteArray Utf16LeWithMark(const QString& text) {
  QByteArray bytes("\xFF\xFE", 2);
  bytes.reserve(2 + text.size() * 2);
  for (const QChar c : text) {
    bytes.append(char(c.unicode() & 0xFF));
    bytes.append(char(c.unicode() >> 8));
  }
  return bytes;
}

} // namespace

QString SearchResultLine(const QString& address, const QString& folder, const QString& linkText) {
  CSearchResultLines line(folder);
  line.Add(address, linkText);
  return line.Text();
}

void CSearchResultLines::Add(const QString& address, const QString& linkText) {
  const QString base = SafeFolderComponent(linkText);
  QString name = base;
  for (int n = 2; used_.contains(name); ++n) name = base + QLatin1Char(' ') + QString::number(n);
  used_.insert(name);
  text_ += OneLineAddress(address) + QLatin1String(kResultSeparator) + folder_ + name +
           QStringLiteral("\r\n");
}

QString CreateSearchResultFile(const QString& text) {
  const QString path = common::CreateTempFile();
  if (path.isEmpty()) return {};
  // The file exists already (made empty and unique); it is only opened, never created here.
  QFile file(path);
  const QByteArray bytes = Utf16LeWithMark(text);
  if (!file.open(QIODevice::WriteOnly | QIODevice::ExistingOnly) ||
      file.write(bytes) != bytes.size() || !file.flush()) {
    file.close();
    QFile::remove(path);
    return {};
  }
  // The user reads the result in a viewer of their choice: it gets a new file's usual mode.
  common::SetNewFileMode(path);
  return path;
}

} // namespace engine
