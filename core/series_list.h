#pragma once
// CSeriesList: the series Folivex follows, as the folders that hold their records
// (CSeriesRecord). It lives in the data folder as "series.json" ({"folders": [...]}), so
// folivex-get --check without folders checks the same series as Folivex, and a series
// followed with folivex-get --follow shows in Folivex. Each change re-reads the file first and
// writes it whole, so two programs that add at about the same time keep both additions.
//
// FoldersUnder finds the records below folders the user names, which is how a series folder
// that was moved is checked in its new place.
#include <QString>
#include <QStringList>

class CSeriesList {
public:
  static constexpr const char* kFileName = "series.json";
  /// How deep below a named folder records are looked for.
  static constexpr int kSearchDepth = 4;

  /// The list of the data folder.
  CSeriesList();
  /// The list kept in the file `path` (tests).
  explicit CSeriesList(const QString& path) : path_(path) {}

  /// The followed folders, in the order they were followed; missing ones included.
  QStringList Folders() const;
  /// Adds `folder` (made absolute and clean) unless it is listed; false when it cannot be written.
  bool Add(const QString& folder);
  /// Removes `folder`; false when it cannot be written.
  bool Remove(const QString& folder);

  /// Every folder holding a series record at or below each of `folders` (kSearchDepth levels,
  /// symbolic links not followed), each once, in the order found.
  static QStringList FoldersUnder(const QStringList& folders);

private:
  bool Write(const QStringList& folders) const;
  QString path_;
};
