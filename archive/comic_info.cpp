#include "archive/comic_info.h"

#include "archive/chapter_pages.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QSaveFile>
#include <QXmlStreamReader>
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
  TextElement(xml, "Series", info.series);
  TextElement(xml, "Number", info.number);
  if (info.count > 0) xml.writeTextElement(QStringLiteral("Count"), QString::number(info.count));
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
  if (!info.pageSizes.isEmpty())
    xml.writeTextElement(QStringLiteral("PageCount"), QString::number(info.pageSizes.size()));
  TextElement(xml, "LanguageISO", info.languageIso);
  if (!info.pageSizes.isEmpty()) {
    xml.writeStartElement(QStringLiteral("Pages"));
    for (qsizetype i = 0; i < info.pageSizes.size(); ++i) {
      xml.writeEmptyElement(QStringLiteral("Page"));
      xml.writeAttribute(QStringLiteral("Image"), QString::number(i));
      if (i == 0) xml.writeAttribute(QStringLiteral("Type"), QStringLiteral("FrontCover"));
      xml.writeAttribute(QStringLiteral("ImageSize"), QString::number(info.pageSizes[i]));
    }
    xml.writeEndElement(); // Pages
  }
  xml.writeEndElement(); // ComicInfo
  xml.writeEndDocument();
  return bytes;
}

std::optional<ComicInfo> ReadComicInfo(const QByteArray& xml) {
  QXmlStreamReader reader(xml);
  if (!reader.readNextStartElement() || reader.name() != QLatin1String("ComicInfo")) return std::nullopt;
  ComicInfo info;
  while (reader.readNextStartElement()) {
    const QString name = reader.name().toString();
    if (name == QLatin1String("Pages")) {
      reader.skipCurrentElement();
      continue;
    }
    const QString text = reader.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
    if (name == QLatin1String("Title")) info.title = text;
    else if (name == QLatin1String("Series")) info.series = text;
    else if (name == QLatin1String("Number")) info.number = text;
    else if (name == QLatin1String("Count")) info.count = qMax(0, text.toInt());
    else if (name == QLatin1String("Web")) info.web = text;
  }
  if (reader.hasError()) return std::nullopt;
  return info;
}

bool WriteChapterInfo(const QString& folder, const ComicInfo& info) {
  QSaveFile file(QDir(folder).filePath(QLatin1String(kComicInfoFileName)));
  const QByteArray xml = ComicInfoXml(info);
  if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size()) return false;
  return file.commit();
}

bool CompleteChapterInfo(const QString& folder, int total) {
  std::optional<ComicInfo> info = ReadChapterInfo(folder);
  if (!info) return false;
  for (const QString& page : FindChapterPages(folder, total).files)
    info->pageSizes << QFileInfo(page).size();
  return WriteChapterInfo(folder, *info);
}

std::optional<ComicInfo> ReadChapterInfo(const QString& folder) {
  constexpr qint64 kMaxInfoBytes = 1024 * 1024;
  QFile file(QDir(folder).filePath(QLatin1String(kComicInfoFileName)));
  if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxInfoBytes) return std::nullopt;
  return ReadComicInfo(file.read(kMaxInfoBytes));
}

} // namespace archive
