#include "archive/comic_info.h"

#include <QXmlStreamWriter>

namespace archive {
namespace {

bool IsXmlChar(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

void TextElement(QXmlStreamWriter& xml, const char* name, const QString& text) {
  const QString safe = XmlSafeText(text).trimmed();
  if (!safe.isEmpty()) xml.writeTextElement(QLatin1String(name), safe);
}

QString DateText(const QDateTime& when) {
  return when.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'"));
}

} // namespace

QString XmlSafeText(const QString& text) {
  QString safe;
  safe.reserve(text.size());
  for (const char32_t c : text.toUcs4())
    if (IsXmlChar(c)) safe += QString::fromUcs4(&c, 1);
  return safe;
}

QByteArray ComicInfoXml(const ComicInfo& info) {
  QByteArray bytes;
  QXmlStreamWriter xml(&bytes);
  xml.setAutoFormatting(true);
  xml.setAutoFormattingIndent(2);
  xml.writeStartDocument();
  xml.writeStartElement(QStringLiteral("ComicInfo"));
  xml.writeNamespace(QStringLiteral("http://www.w3.org/2001/XMLSchema"), QStringLiteral("xsd"));
  xml.writeNamespace(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"),
                     QStringLiteral("xsi"));
  TextElement(xml, "Title", info.title);
  if (info.firstPage.isValid() && info.lastPage.isValid())
    TextElement(xml, "Notes", QStringLiteral("Downloaded from %1 to %2.")
                                  .arg(DateText(info.firstPage), DateText(info.lastPage)));
  if (info.lastPage.isValid()) {
    const QDate day = info.lastPage.date();
    xml.writeTextElement(QStringLiteral("Year"), QString::number(day.year()));
    xml.writeTextElement(QStringLiteral("Month"), QString::number(day.month()));
    xml.writeTextElement(QStringLiteral("Day"), QString::number(day.day()));
  }
  TextElement(xml, "Web", info.web);
  xml.writeTextElement(QStringLiteral("PageCount"), QString::number(info.pageSizes.size()));
  TextElement(xml, "LanguageISO", info.languageIso);
  xml.writeStartElement(QStringLiteral("Pages"));
  for (qsizetype i = 0; i < info.pageSizes.size(); ++i) {
    xml.writeEmptyElement(QStringLiteral("Page"));
    xml.writeAttribute(QStringLiteral("Image"), QString::number(i));
    if (i == 0) xml.writeAttribute(QStringLiteral("Type"), QStringLiteral("FrontCover"));
    xml.writeAttribute(QStringLiteral("ImageSize"), QString::number(info.pageSizes[i]));
  }
  xml.writeEndElement(); // Pages
  xml.writeEndElement(); // ComicInfo
  xml.writeEndDocument();
  return bytes;
}

} // namespace archive
