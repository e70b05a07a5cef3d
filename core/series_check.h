#pragma once
// CSeriesCheck: one check of a followed series, shared by Folivex and folivex-get. It searches
// the series' list page (CChapterSearch), finds the chapters among its links
// (chapter_links), merges them into the record (CSeriesRecord::MergeCheck) and saves it, then
// prepares every chapter to download: its folder inside the series folder, created by the
// folder rule, with a "ComicInfo.xml" that names the series, the chapter number and title,
// the chapter's address and the stated count. Adding the chapters' tasks is the caller's.
//
// Threading: the user-interface thread, whose event loop must run; the callback runs from it.
#include "core/chapter_search.h"
#include "core/series_record.h"

#include <QDateTime>
#include <functional>

class CSeriesCheck {
public:
  struct Outcome {
    bool ok = false;
    QString error;          ///< why the page could not be searched
    CSeriesRecord record;   ///< as saved after the check
    CSeriesRecord::Plan plan; ///< the chapters to download, prepared, oldest first
  };

  /// `launcher` must outlive the check.
  explicit CSeriesCheck(platform::FIProgramLauncher& launcher);

  void SetDoneCallback(std::function<void(const Outcome&)> done) { done_ = std::move(done); }
  void SetTimeouts(int helloMs, int searchMs) { search_.SetTimeouts(helloMs, searchMs); }
  /// Where the search's result file is made; the temporary folder unless set.
  void SetResultFolder(const QString& folder) { search_.SetResultFolder(folder); }
  /// The user's cookies.txt that the checks started from now on load; empty: none.
  void SetCookiesFile(const QString& path) { search_.SetCookiesFile(path); }
  /// The clock the record's check times come from (tests); null: the real one.
  void SetClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }
  /// Checks the series of `record` with the engine `program`. A check still running is
  /// cancelled first.
  void Start(const QString& program, const CSeriesRecord& record);
  void Cancel();
  bool IsRunning() const { return search_.IsRunning(); }
  platform::ProcessRef EngineProcess() const { return search_.EngineProcess(); }

  /// The check's work once the search ended: merges, saves and prepares (see above).
  static Outcome Apply(CSeriesRecord record, const CChapterSearch::Result& result,
                       const QDateTime& now);
  /// Creates the chapter's folder inside the series folder and writes its "ComicInfo.xml".
  /// False when the folder cannot be made there.
  static bool PrepareChapter(const CSeriesRecord& record, const SeriesChapter& chapter);
  /// Creates `folder` inside `baseFolder` and writes into it the "ComicInfo.xml" of `chapter`
  /// of `series`, whose site states `count` chapters (0: none stated). False when the folder
  /// cannot be made there or the document cannot be written.
  static bool PrepareChapterFolder(const QString& baseFolder, const QString& folder,
                                   const QString& series, int count,
                                   const chapter_links::ChapterLink& chapter);
  /// Notes the end of a chapter's download in the record of `seriesFolder` (re-read, marked,
  /// saved): done marks it downloaded (and adds the pages to a loose chapter's ComicInfo.xml),
  /// anything else failed. False when the folder holds no record with that chapter.
  static bool NoteChapterEnd(const QString& seriesFolder, const QString& url, bool done,
                             const QString& chapterFolder, int pages);

private:
  CChapterSearch search_;
  CSeriesRecord record_;
  std::function<void(const Outcome&)> done_;
  std::function<QDateTime()> clock_;
};
