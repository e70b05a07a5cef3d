#pragma once
// CLinkSearchRun: a link search whose result goes to standard output.
//
// The run talks to the engine through the same CLinkSearchClient as the search-link dialog:
// the engine writes the links it found into a result file in the run's own folder, and after
// its WM_APP_SEARCH_DONE the run prints them in UTF-8, one line per link: the address, three
// spaces and the folder (the base folder and the link text). With chapters only, it prints
// only the links that are chapters of the series (core/chapter_links.h), in reading order, each
// with the folder "SERIES - Chapter NUMBER". A list page that could not be loaded, or a result
// that could not be handed over, ends the run with a message and kFailed.
#include "cli/run_folder.h"
#include "core/link_search_client.h"

#include <QString>
#include <QStringList>
#include <cstdio>
#include <vector>

namespace folivex_get {

class CLinkSearchRun {
public:
  /// Exit codes of a run.
  static constexpr int kDone = 0;
  static constexpr int kFailed = 1;
  /// Limits: the engine's hello and the whole search.
  static constexpr int kDefaultHelloTimeoutMs = 60000;
  static constexpr int kDefaultSearchTimeoutMs = 180000;
  /// A search that ends without a result tells the engine to quit; one still running this
  /// long after gets SIGTERM, then SIGKILL.
  static constexpr int kEngineTermAfterMs = 3000;
  static constexpr int kEngineKillAfterMs = 5000;

  CLinkSearchRun(platform::FIProgramLauncher& launcher, const QString& engineProgram,
                 std::FILE* out, std::FILE* err);

  void SetTimeouts(int helloMs, int searchMs) {
    helloTimeoutMs_ = helloMs;
    searchTimeoutMs_ = searchMs;
  }

  /// Prints only the chapters of the series instead of every link.
  void SetChaptersOnly(bool chaptersOnly) { chaptersOnly_ = chaptersOnly; }

  /// The user's cookies.txt for the engine; empty: none.
  void SetCookiesFile(const QString& path) { client_.SetCookiesFile(path); }
  /// Searches the list page `url`; the result lines carry `folder` (a "/" is appended).
  /// Returns kDone or kFailed.
  int Run(const QString& url, const QString& folder);
  /// Tells the engine to quit and ends Run() with `exitCode`.
  void Interrupt(int exitCode);

  /// The printed lines of `links`, each without line end; control characters become spaces.
  static QStringList ResultLines(const std::vector<common::FoundLink>& links);
  /// The chapters among the links a search of the list page `url` found (see above), their
  /// folders in `base` (ending with "/").
  static std::vector<common::FoundLink> Chapters(const LinkSearchOutcome& outcome,
                                                 const QString& url, const QString& base);

private:
  void End(int exitCode);

  CLinkSearchClient client_;
  QString engineProgram_;
  std::FILE* out_;
  std::FILE* err_;
  CRunFolder scratch_; ///< where the engine writes its result
  bool done_ = false;
  bool chaptersOnly_ = false;
  QString url_;    ///< the list page searched
  QString folder_; ///< the base folder of its links, ending with "/"
  int exitCode_ = -1;
  QStringList lines_; ///< the result, printed once the engine has been answered
  int helloTimeoutMs_ = kDefaultHelloTimeoutMs;
  int searchTimeoutMs_ = kDefaultSearchTimeoutMs;
};

} // namespace folivex_get
