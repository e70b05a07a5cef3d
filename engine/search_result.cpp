#include "engine/search_result.h"

#include "engine/folder_name.h"

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

} // namespace

void CSearchResult::Add(const QString& address, const QString& linkText) {
  const QString base = SafeFolderComponent(linkText);
  QString name = base;
  for (int n = 2; used_.contains(name); ++n) name = base + QLatin1Char(' ') + QString::number(n);
  used_.insert(name);
  links_.push_back({OneLineAddress(address), folder_ + name, NormaliseWhitespace(linkText)});
}

} // namespace engine
