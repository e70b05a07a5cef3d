#pragma once
// The "ComicInfo.xml" metadata document that comic readers and library managers look for in
// the root of a .cbz archive. Only the fields the download knows are written; element order
// follows the schema's sequence, which strict readers validate.
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace archive {

struct ComicInfo {
  QString title;          ///< the task's title; the element is left out when empty
  QString web;            ///< the chapter's address
  QString languageIso;    ///< e.g. "en", "zh-CN"; left out when the page did not state one
  QDateTime firstPage;    ///< when the first packed page was saved
  QDateTime lastPage;     ///< when the download ended; gives Year, Month and Day
  QList<qint64> pageSizes; ///< bytes of each packed page, in page order (PageCount, Pages)
};

/// The UTF-8 XML text of `info`. Control characters XML 1.0 cannot carry are dropped from the
/// texts and lone surrogates become U+FFFD, so any web page title gives a well-formed document.
QByteArray ComicInfoXml(const ComicInfo& info);

/// `text` without the characters XML 1.0 forbids.
QString XmlSafeText(const QString& text);

} // namespace archive
