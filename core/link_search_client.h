#pragma once
// CLinkSearchClient: the window a link-search engine talks to, shared by the search-link
// dialog and folivex-get's link search.
//
// Start() hands an engine a job with this window's handle, "search_link" = "1" and a new private
// file for its result ("search_result"). The engine says hello (WM_APP_ENGINE_HELLO, accepted
// whatever its task id; a second engine replaces the first, which is told to quit), writes the
// links it found into that file, reports WM_APP_SEARCH_DONE and ends by itself. The client then
// reads and deletes the file and hands the links to the done callback. An engine whose list
// page could not be loaded writes nothing and says so in that message. Quit() and destruction
// tell an engine still held to quit (notify, no wait) and delete a result file not yet read.
//
// Threading: the user-interface thread. The done callback runs inside the engine's
// WM_APP_SEARCH_DONE while the engine waits for the answer, so it must not wait on the engine.
#include "common/search_result_file.h"
#include "core/engine_launcher.h"
#include "platform/process.h"
#include "platform/window_message.h"

#include <QString>
#include <functional>
#include <vector>

/// What an engine's WM_APP_SEARCH_DONE says.
struct LinkSearchOutcome {
  bool pageFailed = false; ///< the list page could not be loaded; no result was written
  int status = 0;          ///< then the page's HTTP status; 0 when the site gave no answer
  bool received = false;   ///< the result file was read (`links` holds what it found)
  std::vector<common::FoundLink> links; ///< the links found, in the page's order
  common::ListPage page; ///< what the list page says about its series
};

class CLinkSearchClient : public platform::MessageWindow {
public:
  /// `launcher` must outlive the client.
  explicit CLinkSearchClient(platform::FIProgramLauncher& launcher) : engines_(launcher) {}
  ~CLinkSearchClient() override;

  /// Called for every WM_APP_SEARCH_DONE, after the engine has been let go.
  void SetDoneCallback(std::function<void(const LinkSearchOutcome&)> done) {
    done_ = std::move(done);
  }

  /// Where result files are made (a private folder); the temporary folder unless set.
  void SetResultFolder(const QString& folder) { resultFolder_ = folder; }

  /// The user's cookies.txt that engines started from now on load; empty: none.
  void SetCookiesFile(const QString& path) { cookiesFile_ = path; }
  /// Starts `program` searching the list page `url`; the folders it proposes lie in `folder`
  /// (a "/" is appended when missing). False when no engine could be started.
  bool Start(const QString& program, const QString& url, const QString& folder);
  /// Tells the held engine to quit and lets it go.
  void Quit();
  /// The engine window held since its hello; 0 when none.
  platform::HWND Engine() const { return engine_; }
  /// The process of the engine last started, running or ended (unknown before a start).
  platform::ProcessRef EngineProcess() const { return engineProcess_; }

  platform::LRESULT WindowProc(std::uint32_t message, platform::WPARAM wParam,
                               platform::LPARAM lParam) override;

private:
  void DropResultFile();

  CEngineLauncher engines_;
  QString resultFolder_;
  QString resultFile_; ///< the file the engine last started writes to; empty when none
  std::function<void(const LinkSearchOutcome&)> done_;
  platform::HWND engine_ = 0;
  platform::ProcessRef engineProcess_;
  QString cookiesFile_;
};
