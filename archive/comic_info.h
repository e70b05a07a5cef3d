#pragma once
// The "ComicInfo.xml" metadata document that comic readers and library managers look for in
// the root of a .cbz archive, or beside the loose pages of a chapter. Only the fields the
// download knows are written; element order follows the schema's sequence, which strict
// readers validate. Library programs file a chapter by Series and Number.
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace archive {

struct ComicInfo {
  QString title;          ///< the task's title; the element is left out when empty
  QString series;         ///< the series a followed or searched chapter belongs to
  QString number;         ///< its chapter number ("12", "12.5")
  int count = 0;          ///< chapters of the series, when the site states it; 0: unknown
  QString web;            ///< the chapter's address
  QString languageIso;    ///< e.g. "en", "zh-CN"; left out when the page did not state one
  QDateTime firstPage;    ///< when the first packed page was saved
  QDateTime lastPage;     ///< when the download ended; gives Year, Month and Day
  QList<qint64> pageSizes; ///< bytes of each page, in page order (PageCount, Pages); none: left out
};

/// The name of the document, in an archive's root and in a chapter folder.
inline constexpr const char* kComicInfoFileName = "ComicInfo.xml";

/// The UTF-8 XML text of `info`. Control characters XML 1.0 cannot carry are dropped from the
/// texts and lone surrogates become U+FFFD, so any web page title gives a well-formed document.
QByteArray ComicInfoXml(const ComicInfo& info);

/// `text` without the characters XML 1.0 forbids.
QString XmlSafeText(const QString& text);

/// The series fields of a ComicInfo document (Title, Series, Number, Count, Web); nullopt when
/// it is no well-formed ComicInfo document. Other elements are passed over.
std::optional<ComicInfo> ReadComicInfo(const QByteArray& xml);

/// Writes `info` as "ComicInfo.xml" into `folder`, whole (beside it, then renamed). False when
/// it could not be written.
bool WriteChapterInfo(const QString& folder, const ComicInfo& info);
/// The chapter fields of the "ComicInfo.xml" in `folder`; nullopt when there is none or it
/// cannot be read.
std::optional<ComicInfo> ReadChapterInfo(const QString& folder);
/// Adds the page count and sizes of pages 1 to `total` to the "ComicInfo.xml" of a chapter
/// whose pages stay loose. False when the folder has no readable document or it cannot be
/// written.
bool CompleteChapterInfo(const QString& folder, int total);

} // namespace archive
