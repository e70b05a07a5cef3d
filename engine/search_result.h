#pragma once
// The result of a chapter link search: one text line per link, kept in a temporary UTF-16LE
// file that the user's text viewer shows. The user pastes the lines into the front-end's
// batch box, which reads an address, blanks and a folder from each line.
#include <QSet>
#include <QString>

namespace engine {

/// Separates the address from the folder in a result line.
inline constexpr const char* kResultSeparator = "   ";

/// One result line, ending with "\r\n": `address`, three spaces, `folder` as given, and the
/// link text made into one safe folder-name component (SafeFolderComponent). Blanks and
/// control characters in `address` are percent-encoded, so the line stays one line whatever
/// address a page produced.
QString SearchResultLine(const QString& address, const QString& folder, const QString& linkText);

/// The lines of one search, in link order. Links whose texts give the same folder name get
/// distinct folders ("name", "name 2", "name 3", ...), so no two chapters of a list ever share
/// a folder.
class CSearchResultLines {
public:
  /// `folder` is the folder every link's folder is made in (it ends with "/").
  explicit CSearchResultLines(QString folder) : folder_(std::move(folder)) {}
  /// Appends the line of one link (as SearchResultLine, with a folder name no earlier line of
  /// this search has).
  void Add(const QString& address, const QString& linkText);
  const QString& Text() const { return text_; }

private:
  QString folder_;
  QString text_;
  QSet<QString> used_;
};

/// Makes a new temporary file "t??????" in the temporary folder holding FF FE and `text` in
/// UTF-16 little-endian (no terminating zero). Returns its path, or empty when it could not be
/// made or written (a half-written file is removed).
QString CreateSearchResultFile(const QString& text);

} // namespace engine
