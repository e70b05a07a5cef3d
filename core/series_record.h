#pragma once
// CSeriesRecord: a followed series, kept inside its own folder in the small file
// "folivex-series.json", so that the folder can be moved or copied whole and still knows its
// series:
//
//   {"format": 1, "url": "http://site/comic/77/", "series": "Tide Keeper", "count": 0,
//    "take": "all", "checked": "2024-05-01T10:00:00Z", "searched": "2024-05-01T10:00:00Z",
//    "new": 2, "error": "",
//    "chapters": [{"url": "http://site/comic/77/1.html", "number": "1", "title": "Chapter 1",
//                  "folder": "Tide Keeper - Chapter 1", "state": "downloaded"}, ...]}
//
// A chapter's folder is a name inside the series folder, never a path, and is checked again
// when read. The chapters are kept in reading order as they were first seen. The file is
// written whole (beside it, then renamed) and only when it changed; a file that cannot be read
// is no series record and is never overwritten.
//
// Checking (Plan): the chapters a search found are merged in; new ones are appended; the ones
// not yet downloaded that the page still lists are to be downloaded, oldest first; ones that
// vanished from the page are left alone. The first check takes every chapter, or only the ones
// that appear later (the others are "skipped").
#include "core/chapter_links.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

/// What has become of a chapter of a followed series.
enum class ChapterState {
  New,        ///< seen; not downloaded yet (queued, or waiting for the next check)
  Downloaded, ///< its task finished
  Failed,     ///< its last download failed; tried again at the next check
  Skipped,    ///< out before the series was followed with "only new chapters"
};

/// Which chapters the first check of a series takes.
enum class FirstCheck {
  Ask,     ///< not decided yet: the front-end asks before the first check
  All,     ///< every chapter the page lists
  OnlyNew, ///< only the chapters that appear after the first check
};

struct SeriesChapter {
  QString url;
  QString number; ///< "12.5"; empty when none was found
  QString title;  ///< the link text
  QString folder; ///< one name inside the series folder
  ChapterState state = ChapterState::New;
  bool operator==(const SeriesChapter&) const = default;
};

class CSeriesRecord {
public:
  static constexpr const char* kFileName = "folivex-series.json";
  static constexpr int kFormat = 1;

  /// The record of a series folder; nullopt when the folder holds none or it cannot be read.
  static std::optional<CSeriesRecord> Load(const QString& folder);
  /// A new record for the list page `url` in `folder` (nothing is written yet).
  static CSeriesRecord Create(const QString& folder, const QString& url, FirstCheck take);
  /// Whether `folder` holds a record file.
  static bool IsSeriesFolder(const QString& folder);

  /// Writes the record into its folder when it differs from what was loaded or last saved.
  bool Save();

  /// The folder the record lives in (absolute, without trailing "/").
  const QString& Folder() const { return folder_; }
  /// The chapter's folder inside the series folder, ending with "/".
  QString ChapterFolder(const SeriesChapter& chapter) const;
  /// The chapter with this address, or null.
  SeriesChapter* FindChapter(const QString& url);
  int CountIn(ChapterState state) const;

  /// What one check found to do.
  struct Plan {
    QList<SeriesChapter> download; ///< in reading order
    int newChapters = 0;           ///< chapters seen for the first time that are to be downloaded
  };
  /// Merges the chapters a check found (in reading order) into the record and tells what to
  /// download; `series` and `count` are what the list page said (used when the record has
  /// none yet). Marks the record checked at `now`.
  Plan MergeCheck(const QList<chapter_links::ChapterLink>& found, const QString& series,
                  int count, const QDateTime& now);
  /// Notes a check that could not search the page.
  void NoteFailedCheck(const QString& error, const QDateTime& now);
  /// Sets the state of the chapter with this address; false when there is none.
  bool Mark(const QString& url, ChapterState state);

  QString url;                  ///< the list page
  QString series;               ///< the series name; fixed by the first check that found one
  int count = 0;                ///< chapters the site states; 0: unknown
  FirstCheck take = FirstCheck::Ask;
  QDateTime checked;            ///< the last check (successful or not); invalid: never checked
  QDateTime searched;           ///< the last check that could search the page; invalid: none yet
  int lastNew = 0;              ///< new chapters the last check found
  QString lastError;            ///< why the last check failed; empty when it did not
  QList<SeriesChapter> chapters; ///< in the order first seen (reading order)

private:
  QByteArray ToJson() const;
  bool FromJson(const QByteArray& bytes);

  QString folder_;
  QByteArray saved_; ///< the file's content as last loaded or saved
};
