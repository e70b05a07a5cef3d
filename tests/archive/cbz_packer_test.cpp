// Packing a chapter into FOLDER.cbz: what goes in (pages in order, stored byte for byte, the
// metadata), what stays out, what is left after a crash at every step, and the failures that
// must keep every page. The ComicInfo documents of series chapters: valid against the published
// schema (tests/archive/schema/ComicInfo.xsd), escaped, read back, and carried into the archive.
#include "archive/cbz_packer.h"
#include "archive/chapter_pages.h"
#include "archive/comic_info.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/xmlschemas.h>
#include <zip.h>

namespace {

using archive::PackStep;
using testing_support::ReadBytes;
using testing_support::Sandbox;
using testing_support::WriteBytes;

struct Entry {
  QString name;
  QByteArray bytes;
  bool stored = false;
};

// Every entry of an archive in its order; empty when it cannot be opened or checked.
QList<Entry> ReadArchive(const QString& path) {
  int code = 0;
  zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
  if (!zip) return {};
  QList<Entry> entries;
  for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
    zip_stat_t stat;
    zip_stat_index(zip, zip_uint64_t(i), 0, &stat);
    Entry entry{QString::fromUtf8(stat.name), QByteArray(qsizetype(stat.size), '\0'),
                stat.comp_method == ZIP_CM_STORE};
    zip_file_t* file = zip_fopen_index(zip, zip_uint64_t(i), 0);
    if (file) {
      zip_fread(file, entry.bytes.data(), stat.size);
      zip_fclose(file);
    }
    entries << entry;
  }
  zip_discard(zip);
  return entries;
}

QByteArray RandomBytes(int size) {
  QByteArray bytes(size, '\0');
  for (char& c : bytes) c = char(QRandomGenerator::global()->bounded(256));
  return bytes;
}

// A chapter folder with pages 1..3 in mixed formats, by default in the sandbox's "comics/",
// otherwise in the folder `base` (ending in '/').
struct Chapter {
  Sandbox box;
  QString folder = box.file("comics/chapter 1");
  QMap<QString, QByteArray> pages; // file name -> bytes

  explicit Chapter(const QString& base = {}) {
    if (!base.isEmpty()) folder = base + "chapter 1";
    QDir().mkpath(folder);
    for (const char* name : {"001.jpg", "002.png", "003.webp"}) {
      pages[name] = RandomBytes(20000 + QRandomGenerator::global()->bounded(5000));
      WriteBytes(folder + "/" + name, pages[name]);
    }
  }
  bool AllPagesThere() const {
    for (auto it = pages.cbegin(); it != pages.cend(); ++it)
      if (ReadBytes(folder + "/" + it.key()) != it.value()) return false;
    return true;
  }
  bool ArchiveComplete() const {
    const QList<Entry> entries = ReadArchive(box.file("comics/chapter 1.cbz"));
    if (entries.size() != pages.size() + 1) return false;
    int i = 0;
    for (auto it = pages.cbegin(); it != pages.cend(); ++it, ++i)
      if (entries[i].name != it.key() || entries[i].bytes != it.value() || !entries[i].stored)
        return false;
    return entries.last().name == "ComicInfo.xml";
  }
};

archive::ComicInfo Info() {
  archive::ComicInfo info;
  info.title = "Chapter 1";
  info.web = "http://127.0.0.1:8080/comic/1/1.html";
  return info;
}

TEST(CbzPacker, PagesGoInStoredInOrderAndLeaveTheirFolder) {
  Chapter chapter;
  const auto result = archive::PackChapter(chapter.folder + "/", 3, Info());
  ASSERT_TRUE(result.ok) << result.error.toStdString();
  EXPECT_EQ(result.archive, chapter.box.file("comics/chapter 1.cbz"));
  EXPECT_EQ(result.pages, 3);
  EXPECT_TRUE(chapter.ArchiveComplete());
  EXPECT_FALSE(QFileInfo::exists(chapter.folder)) << "the emptied folder goes too";
  EXPECT_FALSE(QFileInfo::exists(result.archive + ".part"));
  EXPECT_EQ(QDir(chapter.box.file("comics")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
            QStringList{"chapter 1.cbz"});
  // Readable like any file the user makes there, not private like a temporary file.
  WriteBytes(chapter.box.file("comics/plain"), "x");
  EXPECT_EQ(QFileInfo(result.archive).permissions(),
            QFileInfo(chapter.box.file("comics/plain")).permissions());
}

TEST(CbzPacker, NotesSpanFromTheOldestPageToTheNewest) {
  Chapter chapter;
  // Written out of order: the newest page is neither the first nor the last.
  const QDateTime oldest(QDate(2026, 12, 7), QTime(23, 50), Qt::UTC);
  for (const auto& [name, minutes] : {std::pair{"001.jpg", 5}, {"002.png", 20}, {"003.webp", 0}}) {
    QFile page(chapter.folder + "/" + name);
    ASSERT_TRUE(page.open(QIODevice::ReadWrite) && page.setFileTime(oldest.addSecs(60 * minutes), QFileDevice::FileModificationTime));
  }
  const auto result = archive::PackChapter(chapter.folder, 3, Info());
  const QString xml = QString::fromUtf8(ReadArchive(result.archive).value(3).bytes);
  EXPECT_TRUE(xml.contains("<Notes>Downloaded from 2026-12-07 23:50:00 UTC to 2026-12-08 00:10:00 UTC.</Notes>"))
      << xml.toStdString();
}

TEST(CbzPacker, OnlyThisChaptersPagesArePackedAndRemoved) {
  Chapter chapter;
  // Not pages of pages 1..3: a note, a later page, a short name, a folder, a link.
  WriteBytes(chapter.folder + "/notes.txt", "mine");
  WriteBytes(chapter.folder + "/004.jpg", "page beyond the total");
  WriteBytes(chapter.folder + "/01.jpg", "too few digits");
  QDir().mkpath(chapter.folder + "/005.d");
  QFile::link(chapter.folder + "/001.jpg", chapter.folder + "/000.jpg");
  const auto result = archive::PackChapter(chapter.folder, 3, Info());
  ASSERT_TRUE(result.ok) << result.error.toStdString();
  EXPECT_TRUE(chapter.ArchiveComplete());
  EXPECT_EQ(QDir(chapter.folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System),
            (QStringList{"000.jpg", "004.jpg", "005.d", "01.jpg", "notes.txt"}));
}

TEST(CbzPacker, EveryCrashPointLeavesThePagesOrACompleteArchive) {
  for (const PackStep stop : {PackStep::ArchiveWritten, PackStep::ArchiveChecked,
                              PackStep::ArchiveInPlace, PackStep::PageRemoved}) {
    Chapter chapter;
    const auto result =
        archive::PackChapter(chapter.folder, 3, Info(), [stop](PackStep step) { return step != stop; });
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(chapter.AllPagesThere() || chapter.ArchiveComplete()) << int(stop);
    // The pages leave only after the archive is in place.
    if (stop <= PackStep::ArchiveChecked) {
      EXPECT_TRUE(chapter.AllPagesThere()) << int(stop);
      // What a crash leaves behind is replaced by the next packing.
      const auto again = archive::PackChapter(chapter.folder, 3, Info());
      EXPECT_TRUE(again.ok && chapter.ArchiveComplete()) << int(stop);
      EXPECT_FALSE(QFileInfo::exists(again.archive + ".part"));
    }
  }
}

TEST(CbzPacker, FailuresKeepEveryPage) {
  Chapter chapter;
  // The archive's name is taken by a folder: the rename fails after a good check.
  QDir().mkpath(chapter.box.file("comics/chapter 1.cbz/inside"));
  auto result = archive::PackChapter(chapter.folder, 3, Info());
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.error.isEmpty());
  EXPECT_FALSE(result.diskFull) << "any other failure is no full disk";
  EXPECT_TRUE(chapter.AllPagesThere());
  EXPECT_FALSE(QFileInfo::exists(result.archive + ".part"));

  Sandbox empty;
  result = archive::PackChapter(empty.path(), 3, Info());
  EXPECT_FALSE(result.ok) << "no pages, no archive";
  EXPECT_FALSE(QFileInfo::exists(empty.path() + ".cbz"));
  EXPECT_FALSE(archive::PackChapter("/", 3, Info()).ok);
  EXPECT_FALSE(archive::PackChapter("relative/folder", 3, Info()).ok);
}

TEST(CbzPacker, ADiskWithoutRoomForTheArchiveSaysSoAndKeepsThePages) {
  // ~70 KB of pages on a 128 KiB disk: there is no room for a copy of them.
  testing_support::SmallDisk disk(128);
  if (!disk.Mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";
  const Chapter chapter(disk.Path());
  const auto result = archive::PackChapter(chapter.folder, 3, Info());
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(result.diskFull) << result.error.toStdString();
  EXPECT_TRUE(chapter.AllPagesThere());
  EXPECT_FALSE(QFileInfo::exists(result.archive + ".part"));
}

TEST(ChapterPages, NamesAndDuplicates) {
  EXPECT_EQ(archive::PageNumberOf("001.jpg"), 1);
  EXPECT_EQ(archive::PageNumberOf("1234.png"), 1234);
  EXPECT_EQ(archive::PageNumberOf("01.jpg"), 0);
  EXPECT_EQ(archive::PageNumberOf("001."), 0);
  EXPECT_EQ(archive::PageNumberOf("001.tar.gz"), 0);
  EXPECT_EQ(archive::PageNumberOf("0a1.jpg"), 0);
  EXPECT_EQ(archive::PageNumberOf("99999999999.jpg"), 0) << "no overflow into a small number";

  // A restart saved page 2 again in another format: the newer file is the page.
  Sandbox box;
  WriteBytes(box.file("002.jpg"), "old");
  QFile old(box.file("002.jpg"));
  old.open(QIODevice::ReadWrite);
  old.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
  old.close();
  WriteBytes(box.file("002.png"), "new");
  WriteBytes(box.file("010.png"), "ten");
  const auto pages = archive::FindChapterPages(box.path(), 10);
  EXPECT_EQ(pages.numbers, (QList<int>{2, 10})) << "numeric order, gaps allowed";
  EXPECT_EQ(QFileInfo(pages.files[0]).fileName(), "002.png");
}

TEST(ComicInfo, HostileTitleStillGivesAValidDocumentInSchemaOrder) {
  archive::ComicInfo info = Info();
  info.title = QString("A <b>&\"Title\"") + QChar(0x01) + QChar(0xD800) + " 漫画";
  info.languageIso = "zh-CN";
  info.firstPage = QDateTime(QDate(2026, 12, 7), QTime(23, 50));
  info.lastPage = QDateTime(QDate(2026, 12, 8), QTime(0, 10));
  info.pageSizes = {100, 200};
  QXmlStreamReader xml(archive::ComicInfoXml(info));
  QStringList order;
  QMap<QString, QString> text;
  int pages = 0;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    const QString name = xml.name().toString();
    if (name == "ComicInfo" || name == "Pages") continue;
    if (name == "Page") {
      EXPECT_EQ(xml.attributes().value("ImageSize").toString(), pages == 0 ? "100" : "200");
      ++pages;
      continue;
    }
    order << name;
    text[name] = xml.readElementText();
  }
  ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(order, (QStringList{"Title", "Notes", "Year", "Month", "Day", "Web", "PageCount",
                                "LanguageISO"}));
  EXPECT_EQ(text["Title"], QString("A <b>&\"Title\"") + QChar(0xFFFD) + " 漫画")
      << "the control character goes, the broken surrogate is replaced";
  EXPECT_EQ(text["Day"], "8") << "the day the download ended";
  EXPECT_EQ(text["PageCount"], "2");
  EXPECT_EQ(pages, 2);
  EXPECT_EQ(text["Web"], info.web);
}

// ---- ComicInfo documents of series chapters ---------------------------------------------

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

TEST(ComicInfoSchema, EveryDocumentTheProgramWritesIsValidAndReadsBack) {
  archive::ComicInfo packed = SeriesChapter();
  packed.languageIso = "zh";
  packed.firstPage = QDateTime(QDate(2026, 1, 31), QTime(23, 0));
  packed.lastPage = QDateTime(QDate(2026, 2, 1), QTime(1, 0));
  packed.pageSizes = {100, 200, 300};
  archive::ComicInfo plain;
  plain.title = "Only a title";
  plain.pageSizes = {1};
  for (const archive::ComicInfo& info : {packed, SeriesChapter(), plain, archive::ComicInfo()}) {
    const QByteArray xml = archive::ComicInfoXml(info);
    EXPECT_EQ(SchemaErrors(xml), QStringList()) << xml.constData();
  }
  // The validator itself finds what a strict reader refuses.
  EXPECT_FALSE(SchemaErrors("<ComicInfo><Series>a</Series><Title>b</Title></ComicInfo>").isEmpty());
  EXPECT_FALSE(SchemaErrors("<ComicInfo><Count>many</Count></ComicInfo>").isEmpty());

  const QByteArray xml = archive::ComicInfoXml(SeriesChapter());
  EXPECT_TRUE(xml.contains("&lt;Storm&gt; &amp; &quot;Rain&quot;")) << xml.constData();
  const std::optional<archive::ComicInfo> read = archive::ReadComicInfo(xml);
  ASSERT_TRUE(read);
  EXPECT_EQ(std::tie(read->title, read->series, read->number, read->count, read->web),
            std::tie(packed.title, packed.series, packed.number, packed.count, packed.web));
  for (const QByteArray& hostile : {QByteArray("<Other><Series>x</Series></Other>"),
                                    QByteArray("<ComicInfo><Series>x</Title></ComicInfo>"),
                                    QByteArray("<!DOCTYPE x [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>"
                                               "<ComicInfo><Series>&e;</Series></ComicInfo>")})
    EXPECT_FALSE(archive::ReadComicInfo(hostile) && !archive::ReadComicInfo(hostile)->series.isEmpty())
        << hostile.constData();
}

TEST(ComicInfoSchema, AFolderDocumentGoesIntoTheArchiveOrGainsTheLoosePages) {
  for (const bool pack : {true, false}) {
    SCOPED_TRACE(pack ? "packed" : "loose");
    Chapter chapter;
    ASSERT_TRUE(archive::WriteChapterInfo(chapter.folder, SeriesChapter()));
    QByteArray xml;
    if (pack) {
      archive::ComicInfo fromTask;
      fromTask.title = "Tide Keeper 12.5 - page 1 - SiteName";
      const archive::PackResult packed = archive::PackChapter(chapter.folder, 3, fromTask);
      ASSERT_TRUE(packed.ok) << packed.error.toStdString();
      EXPECT_FALSE(QDir(chapter.folder).exists()) << "the folder's own document left with the pages";
      xml = ReadArchive(packed.archive).last().bytes;
    } else {
      ASSERT_TRUE(archive::CompleteChapterInfo(chapter.folder + "/", 3));
      xml = ReadBytes(chapter.folder + "/ComicInfo.xml");
    }
    EXPECT_EQ(SchemaErrors(xml), QStringList()) << xml.constData();
    EXPECT_TRUE(xml.contains("<PageCount>3</PageCount>") && xml.contains("<Series>Tide &amp; Keeper"))
        << xml.constData();
    EXPECT_TRUE(xml.contains("<Title>Chapter 12.5: &lt;Storm&gt;")) << "the chapter's own title wins";
    EXPECT_TRUE(xml.contains("<Web>http://site.example/read?c=12.5&amp;s=tide</Web>"));
  }
  Sandbox empty;
  EXPECT_FALSE(archive::CompleteChapterInfo(empty.path(), 2)) << "no document: nothing is made up";
  EXPECT_FALSE(QFile::exists(empty.file("ComicInfo.xml")));
}

} // namespace
