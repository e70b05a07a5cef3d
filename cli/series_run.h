#pragma once
// CSeriesRun: folivex-get --follow and --check. Each series is checked in turn (CSeriesCheck:
// its list page searched, its record brought up to date, its new chapters prepared); then the
// chapters of all of them are downloaded together in one CDownloadRun, oldest first, and each
// chapter's end is noted in its series' record: done chapters are downloaded, the others are
// tried again at the next check.
//
//   --follow URL FOLDER   makes FOLDER a series folder for the list page URL (or checks it
//                         when it already follows URL), adds it to the series Folivex follows
//                         (CSeriesList), and checks it once.
//   --check [FOLDER ...]  checks every series folder at or below the FOLDERs, or else every
//                         series Folivex follows; a listed folder that is gone is reported.
//
// One line per series goes to the run's summary stream: "Tide Keeper: 2 new chapters";
// failures go to standard error.
#include "cli/download_run.h"
#include "core/series_check.h"
#include "core/series_record.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdio>

namespace folivex_get {

class CSeriesRun {
public:
  static constexpr int kDone = 0;
  static constexpr int kFailed = 1;

  /// `launcher` and `downloads` must outlive the run; engines are `engineProgram`.
  CSeriesRun(platform::FIProgramLauncher& launcher, const QString& engineProgram,
             CDownloadRun& downloads, std::FILE* err);

  /// Shortens the search limits (tests).
  void SetSearchTimeouts(int helloMs, int searchMs) { check_.SetTimeouts(helloMs, searchMs); }
  /// The user's cookies.txt for the list pages' engines; empty: none. (The chapters get it
  /// from the download run.)
  void SetCookiesFile(const QString& path) { check_.SetCookiesFile(path); }

  int Follow(const QString& url, const QString& folder, FirstCheck take);
  int Check(const QStringList& folders);
  /// Ends the current search and the downloads with `exitCode`.
  void Interrupt(int exitCode);

private:
  /// Checks one series and queues its chapters; false when the check failed.
  bool CheckOne(const CSeriesRecord& record);
  int DownloadAndNote(int failedChecks);
  /// A line of the run's report (summary stream); a message on standard error.
  void Say(const QString& text);
  void Warn(const QString& text);
  static void Write(std::FILE* stream, const QString& text);

  CSeriesCheck check_;
  QString engineProgram_;
  CDownloadRun& downloads_;
  std::FILE* err_;
  QHash<QString, QString> seriesOf_; ///< chapter address -> its series folder
  int nextLabel_ = 1;
  int interruptCode_ = -1;
  bool searching_ = false;
};

} // namespace folivex_get
