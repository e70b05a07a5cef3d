// The ComicInfo documents of followed chapters: every document the program writes is valid
// against the published schema (tests/archive/schema/ComicInfo.xsd), web text is escaped, a
// chapter folder's own document reaches its archive, and hostile documents are refused.
#include "archive/cbz_packer.h"
#include "archive/comic_info.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/xmlschemas.h>
#include <zip.h>

namespace {

using testing_support::ReadBytes;
using testing_support::Sandbox;
using testing_support::WriteBytes;

void CollectError(void* errors, xmlErrorPtr error) {
  static_cast<QStringList*>(errors)->append(QString::fromUtf8(error->message).trimmed());
}

// The schema's complaints about `xml`; empty when it is valid.
QStringList SchemaErrors(const QByteArray& xml) {
  QStringList errors;
  xmlSchemaParserCtxtPtr parser = xmlSchemaNewParserCtxt(COMIC_INFO_XSD);
  xmlSchemaPtr schema = xmlSchemaParse(parser);
  xmlSchemaFreeParserCtxt(parser);
  if (!schema) return {"the schema cannot be read"};
  xmlSchemaValidCtxtPtr valid = xmlSchemaNewValidCtxt(schema);
  xmlSchemaSetValidStructuredErrors(valid, CollectError, &errors);
  xmlDocPtr document = xmlReadMemory(xml.constData(), int(xml.size()), "ComicInfo.xml", nullptr,
                                     XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (!document) errors << "not well-formed";
  else if (xmlSchemaValidateDoc(valid, document) != 0 && errors.isEmpty()) errors << "invalid";
  xmlFreeDoc(document);
  xmlSchemaFreeValidCtxt(valid);
  xmlSchemaFree(schema);
  return errors;
}

archive::ComicInfo SeriesChapter() {
  archive::ComicInfo info;
  info.title = "Chapter 12.5: <Storm> & \"Rain\"";
  info.series = QString::fromUtf8("Tide & Keeper 潮");
  info.number = "12.5";
  info.count = 40;
  info.web = "http://site.example/read?c=12.5&s=tide";
  return info;
}

QByteArray ArchivedInfo(const QString& cbz) {
  int code = 0;
  zip_t* zip = zip_open(QFile::encodeName(cbz).constData(), ZIP_RDONLY, &code);
  if (!zip) return {};
  QByteArray bytes;
  zip_stat_t stat;
  if (zip_stat(zip, "ComicInfo.xml", 0, &stat) == 0) {
    zip_file_t* file = zip_fopen(zip, "ComicInfo.xml", 0);
    bytes.resize(qsizetype(stat.size));
    zip_fread(file, bytes.data(), stat.size);
    zip_fclose(file);
  }
  zip_discard(zip);
  return bytes;
}

} // namespace

TEST(ComicInfoSchema, EveryDocumentTheProgramWritesIsValid) {
  archive::ComicInfo packed = SeriesChapter();
  packed.languageIso = "zh";
  packed.firstPage = QDateTime(QDate(2026, 1, 31), QTime(23, 0));
  packed.lastPage = QDateTime(QDate(2026, 2, 1), QTime(1, 0));
  packed.pageSizes = {100, 200, 300};
  archive::ComicInfo plain;
  plain.title = "Only a title";
  plain.pageSizes = {1};
  const struct {
    const char* what;
    archive::ComicInfo info;
  } rows[] = {{"a packed series chapter", packed},
              {"a loose series chapter", SeriesChapter()},
              {"a chapter of no series", plain},
              {"nothing known", {}}};
  for (const auto& row : rows) {
    const QByteArray xml = archive::ComicInfoXml(row.info);
    EXPECT_EQ(SchemaErrors(xml), QStringList()) << row.what << "\n" << xml.constData();
  }
  // The validator itself finds what a strict reader refuses.
  EXPECT_FALSE(SchemaErrors("<ComicInfo><Series>a</Series><Title>b</Title></ComicInfo>").isEmpty());
  EXPECT_FALSE(SchemaErrors("<ComicInfo><Count>many</Count></ComicInfo>").isEmpty());
  EXPECT_FALSE(SchemaErrors("<ComicInfo><Tags>x</Tags></ComicInfo>").isEmpty());
}

TEST(ComicInfoSchema, WebTextIsEscapedAndReadsBackUnchanged) {
  const QByteArray xml = archive::ComicInfoXml(SeriesChapter());
  EXPECT_TRUE(xml.contains("&lt;Storm&gt; &amp; &quot;Rain&quot;")) << xml.constData();
  const std::optional<archive::ComicInfo> read = archive::ReadComicInfo(xml);
  ASSERT_TRUE(read);
  const archive::ComicInfo written = SeriesChapter();
  EXPECT_EQ(std::tie(read->title, read->series, read->number, read->count, read->web),
            std::tie(written.title, written.series, written.number, written.count, written.web));

  for (const QByteArray& hostile : {QByteArray("<Other><Series>x</Series></Other>"),
                                    QByteArray("<ComicInfo><Series>x</Title></ComicInfo>"),
                                    QByteArray("<!DOCTYPE x [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>"
                                               "<ComicInfo><Series>&e;</Series></ComicInfo>"),
                                    QByteArray()})
    EXPECT_FALSE(archive::ReadComicInfo(hostile) && !archive::ReadComicInfo(hostile)->series.isEmpty())
        << hostile.constData();
}

TEST(ComicInfoSchema, AFolderDocumentGoesIntoTheArchiveOrGainsTheLoosePages) {
  for (const bool pack : {true, false}) {
    SCOPED_TRACE(pack ? "packed" : "loose");
    Sandbox box;
    const QString folder = box.file("Tide - Chapter 12.5");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(archive::WriteChapterInfo(folder, SeriesChapter()));
    ASSERT_TRUE(WriteBytes(folder + "/001.jpg", QByteArray(1000, 'a')));
    ASSERT_TRUE(WriteBytes(folder + "/002.jpg", QByteArray(2000, 'b')));
    QByteArray xml;
    if (pack) {
      archive::ComicInfo fromTask;
      fromTask.title = "Tide Keeper 12.5 - page 1 - SiteName";
      fromTask.web = "http://site.example/other";
      const archive::PackResult packed = archive::PackChapter(folder, 2, fromTask);
      ASSERT_TRUE(packed.ok) << packed.error.toStdString();
      EXPECT_FALSE(QDir(folder).exists()) << "the folder's own document left with the pages";
      xml = ArchivedInfo(packed.archive);
    } else {
      ASSERT_TRUE(archive::CompleteChapterInfo(folder + "/", 2));
      xml = ReadBytes(folder + "/ComicInfo.xml");
    }
    EXPECT_EQ(SchemaErrors(xml), QStringList()) << xml.constData();
    EXPECT_TRUE(xml.contains("<PageCount>2</PageCount>")) << xml.constData();
    EXPECT_TRUE(xml.contains("<Series>Tide &amp; Keeper"));
    EXPECT_TRUE(xml.contains("<Title>Chapter 12.5: &lt;Storm&gt;")) << "the chapter's own title wins";
    EXPECT_TRUE(xml.contains("<Web>http://site.example/read?c=12.5&amp;s=tide</Web>"));
  }
  Sandbox empty;
  EXPECT_FALSE(archive::CompleteChapterInfo(empty.path(), 2)) << "no document: nothing is made up";
  EXPECT_FALSE(QFile::exists(empty.file("ComicInfo.xml")));
}
