#pragma once
// CChapterSearch: a link search that runs on its own, for the series checks of both
// front-ends. It searches through a CLinkSearchClient (the engine hands over the links it found
// and what the list page says about its series) and watches the engine while it does.
//
// A search ends in exactly one call of the done callback, unless it is cancelled or the object
// is destroyed first: with the links, or with a failure (the engine could not start, did not
// say hello in time, ended without a result or took too long, the list page could not be
// loaded, the result could not be read). After a failure the engine has been told to quit;
// one that does not end is the caller's to end (EngineProcess()).
//
// Threading: the user-interface thread, whose event loop must run. The callback runs from that
// loop, never inside an engine's message, so it may start the next search or delete this object.
#include "common/search_result_file.h"
#include "core/link_search_client.h"
#include "platform/launcher.h"

#include <QString>
#include <QTimer>
#include <functional>
#include <vector>

class CChapterSearch {
public:
  struct Result {
    bool ok = false;
    QString error;     ///< why it failed, in English: "the list page could not be loaded (HTTP 404)"
    std::vector<common::FoundLink> links; ///< in page order, their folders inside the search's
    common::ListPage page; ///< what the list page says about its series
  };

  /// Limits: the engine's hello, and the whole search from the start.
  static constexpr int kDefaultHelloTimeoutMs = 60000;
  static constexpr int kDefaultSearchTimeoutMs = 180000;

  /// `launcher` must outlive the search.
  explicit CChapterSearch(platform::FIProgramLauncher& launcher);
  ~CChapterSearch();
  CChapterSearch(const CChapterSearch&) = delete;
  CChapterSearch& operator=(const CChapterSearch&) = delete;

  void SetDoneCallback(std::function<void(const Result&)> done) { done_ = std::move(done); }
  /// Where the engine's result file is made (a private folder); the temporary folder unless set.
  void SetResultFolder(const QString& folder) { client_.SetResultFolder(folder); }
  /// The user's cookies.txt that the searches started from now on load; empty: none.
  void SetCookiesFile(const QString& path) { client_.SetCookiesFile(path); }
  void SetTimeouts(int helloMs, int searchMs) {
    helloTimeoutMs_ = helloMs;
    searchTimeoutMs_ = searchMs;
  }

  /// Starts `program` searching the list page `url`; the links' folders lie in `folder`. A
  /// search still running is cancelled first.
  void Start(const QString& program, const QString& url, const QString& folder);
  /// Tells the engine to quit; no callback follows.
  void Cancel();
  bool IsRunning() const { return running_; }
  /// The engine last started, running or ended.
  platform::ProcessRef EngineProcess() const { return client_.EngineProcess(); }

  /// Why a list page failed, from the HTTP status the engine saw (0: no answer).
  static QString PageFailureReason(int status);

private:
  void Finish(Result result);
  void Fail(const QString& error);

  CLinkSearchClient client_;
  std::function<void(const Result&)> done_;
  QTimer hello_;
  QTimer whole_;
  QTimer watch_;
  bool running_ = false;
  int searchNumber_ = 0; ///< counts the searches started
  int helloTimeoutMs_ = kDefaultHelloTimeoutMs;
  int searchTimeoutMs_ = kDefaultSearchTimeoutMs;
};
