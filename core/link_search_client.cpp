#include "core/link_search_client.h"

#include "common/program_folder.h"
#include "common/protocol.h"

CLinkSearchClient::~CLinkSearchClient() { Quit(); }

bool CLinkSearchClient::Start(const QString& program, const QString& url,
                              const QString& folder) {
  common::HandOff job;
  job.hwnd = Handle();
  job.url = url;
  job.folder = common::WithTrailingSlash(folder);
  job.searchLink = QStringLiteral("1");
  const pid_t pid = engines_.Start(program, job);
  engineProcess_ = platform::IdentifyProcess(pid);
  return pid != 0;
}

void CLinkSearchClient::Quit() {
  if (engine_ != 0) platform::SendNotifyMessage(engine_, protocol::WM_APP_ENGINE_QUIT, 0, 0);
  engine_ = 0;
}

platform::LRESULT CLinkSearchClient::WindowProc(std::uint32_t message, platform::WPARAM wParam,
                                                platform::LPARAM lParam) {
  switch (message) {
  case protocol::WM_APP_ENGINE_HELLO:
    // One search at a time: a newer engine replaces the one held.
    if (engine_ != platform::HWND(lParam)) Quit();
    engine_ = platform::HWND(lParam);
    return protocol::ENGINE_HELLO_ACCEPTED;
  case protocol::WM_APP_SEARCH_DONE: {
    engine_ = 0; // it ends by itself
    LinkSearchOutcome outcome;
    // Only this value means failure: anything else is a result shown, as it always was.
    outcome.pageFailed = std::int64_t(wParam) == protocol::SEARCH_DONE_PAGE_FAILED;
    if (outcome.pageFailed) outcome.status = std::int32_t(lParam);
    if (done_) done_(outcome);
    return protocol::ENGINE_HELLO_ACCEPTED;
  }
  default:
    return 0;
  }
}
