#include "core/link_search_client.h"

#include "common/program_folder.h"
#include "common/protocol.h"
#include "common/temp_file.h"

#include <QFile>
#include <QTemporaryFile>

namespace {

// A new, empty, private file for one result: in `folder` when one is given.
QString NewResultFile(const QString& folder) {
  if (folder.isEmpty()) return common::CreateTempFile();
  QTemporaryFile file(folder + QStringLiteral("/search-XXXXXX.json"));
  file.setAutoRemove(false);
  return file.open() ? file.fileName() : QString();
}

} // namespace

CLinkSearchClient::~CLinkSearchClient() { Quit(); }

void CLinkSearchClient::DropResultFile() {
  if (!resultFile_.isEmpty()) QFile::remove(resultFile_);
  resultFile_.clear();
}

bool CLinkSearchClient::Start(const QString& program, const QString& url,
                              const QString& folder) {
  common::HandOff job;
  job.hwnd = Handle();
  job.url = url;
  job.folder = common::WithTrailingSlash(folder);
  job.searchLink = QStringLiteral("1");
  // A new private file that the engine replaces with its result: no other user can read the
  // links or plant a result of their own.
  DropResultFile();
  resultFile_ = NewResultFile(resultFolder_);
  if (!resultFile_.isEmpty()) job.searchResult = resultFile_;
  if (!cookiesFile_.isEmpty()) job.cookiesFile = cookiesFile_;
  const pid_t pid = engines_.Start(program, job);
  engineProcess_ = platform::IdentifyProcess(pid);
  if (pid == 0) DropResultFile(); // no engine will ever write it
  return pid != 0;
}

void CLinkSearchClient::Quit() {
  if (engine_ != 0) platform::SendNotifyMessage(engine_, protocol::WM_APP_ENGINE_QUIT, 0, 0);
  engine_ = 0;
  DropResultFile();
}

platform::LRESULT CLinkSearchClient::WindowProc(std::uint32_t message, platform::WPARAM wParam,
                                                platform::LPARAM lParam) {
  switch (message) {
  case protocol::WM_APP_ENGINE_HELLO:
    // One search at a time: a newer engine replaces the one held.
    if (engine_ != platform::HWND(lParam) && engine_ != 0)
      platform::SendNotifyMessage(engine_, protocol::WM_APP_ENGINE_QUIT, 0, 0);
    engine_ = platform::HWND(lParam);
    return protocol::ENGINE_HELLO_ACCEPTED;
  case protocol::WM_APP_SEARCH_DONE: {
    const std::int64_t what = std::int64_t(wParam);
    const bool handsOver =
        what == protocol::SEARCH_DONE_WRITTEN || what == protocol::SEARCH_DONE_NOT_WRITTEN;
    // An engine that was replaced or told to quit may still finish: its result is not this
    // search's, and it deletes the file itself when it hears so.
    if (handsOver && platform::HWND(lParam) != engine_) return 0;
    engine_ = 0; // it ends by itself
    LinkSearchOutcome outcome;
    outcome.pageFailed = what == protocol::SEARCH_DONE_PAGE_FAILED;
    if (outcome.pageFailed) outcome.status = std::int32_t(lParam);
    if (what == protocol::SEARCH_DONE_WRITTEN && !resultFile_.isEmpty()) {
      std::optional<common::SearchResult> result = common::ReadSearchResultFile(resultFile_);
      outcome.received = result.has_value();
      if (result) {
        outcome.links = std::move(result->links);
        outcome.page = std::move(result->page);
      }
    }
    DropResultFile();
    if (done_) done_(outcome);
    return protocol::ENGINE_HELLO_ACCEPTED;
  }
  default:
    return 0;
  }
}
