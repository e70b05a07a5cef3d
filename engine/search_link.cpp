#include "engine/search_link.h"

#include "common/protocol.h"
#include "common/web_address.h"
#include "engine/engine_window.h"
#include "engine/list_page_info.h"
#include "engine/search_result.h"
#include "platform/window_message.h"

#include <QFile>
#include <vector>

namespace {

// Only web addresses become tasks; script links, mail and ftp add no line.
bool IsCatchable(const QString& url) { return common::BeginsWithWebScheme(url); }

// Mail links are not chapters; markup holding ".add" or ".set" belongs to bookmark and
// settings scripts whose click would change something on the site.
bool IsSkippedLink(const QString& href, const QString& outerHtml) {
  return href.contains(QLatin1String("mailto:"), Qt::CaseInsensitive) ||
         outerHtml.contains(QLatin1String(".add"), Qt::CaseInsensitive) ||
         outerHtml.contains(QLatin1String(".set"), Qt::CaseInsensitive);
}

// The last steps use only what they are given: the view may have been deleted during the
// synchronous send to the dialog.
void HandOverAndQuit(const std::vector<common::FoundLink>& links, const common::ListPage& page,
                     const QString& resultFile, platform::HWND frontEnd,
                     platform::HWND engineWindow) {
  const bool written =
      !resultFile.isEmpty() && common::WriteSearchResultFile(resultFile, links, page);
  const platform::LRESULT reply = platform::SendMessage(
      frontEnd, protocol::WM_APP_SEARCH_DONE,
      written ? protocol::SEARCH_DONE_WRITTEN : protocol::SEARCH_DONE_NOT_WRITTEN, engineWindow);
  // Nobody took the result (the dialog was closed meanwhile): it is not left behind.
  if (written && reply != protocol::ENGINE_HELLO_ACCEPTED) QFile::remove(resultFile);
  platform::PostMessage(engineWindow, protocol::WM_APP_ENGINE_QUIT, 0, 0);
}

// Nothing to show: the dialog hears why, and the engine ends at once.
void TellFailureAndQuit(int status, platform::HWND frontEnd, platform::HWND engineWindow) {
  platform::SendMessage(frontEnd, protocol::WM_APP_SEARCH_DONE, protocol::SEARCH_DONE_PAGE_FAILED,
                        status);
  platform::PostMessage(engineWindow, protocol::WM_APP_ENGINE_QUIT, 0, 0);
}

} // namespace

CSearchLink::CSearchLink(CEngineWindow* window, engine::FIEngineHost& host, const QString& url,
                         const QString& resultFile)
    : window_(window), host_(host), url_(url), resultFile_(resultFile) {}

CSearchLink::~CSearchLink() {
  *alive_ = false;
  alive_.reset();
  view_.reset(); // no browser event may reach this object any more
}

void CSearchLink::Create(int) {
  // The control id only ordered child windows of the host; a browser target needs none.
  engine::FIBrowser* browser = host_.Browser();
  if (!browser) return;
  view_ = browser->CreateView(this);
  if (view_) view_->Navigate(url_);
}

void CSearchLink::OnBeforeNavigate(const QString& url, bool& cancel) {
  if (clicking_) {
    if (IsCatchable(url)) caught_.append(url);
    cancel = true;
  } else if (collecting_) {
    // A refresh or script of the page itself must not replace the list while it is walked.
    cancel = true;
  }
}

void CSearchLink::OnNewWindow(const QString& url) {
  // The window itself never opens; its address counts like a navigation.
  if (clicking_ && IsCatchable(url)) caught_.append(url);
}

void CSearchLink::OnDocumentComplete(bool isPage) {
  if (isPage) watch_.PageCompleted();
}

void CSearchLink::OnPageAnswer(int status, bool webPage) {
  // Clicks never get this far (their navigations are cancelled); this is the page's own
  // navigation, or a redirect of its script to another page, whose answer then counts.
  if (status != 0 && status < 400 && webPage) {
    pageFailure_.reset();
    return;
  }
  pageFailure_ = status;
  // An answer that is no page may never complete as a document: the quiet time starts now.
  watch_.PageCompleted();
}

void CSearchLink::ProcessResult() {
  if (resultStarted_) return;
  resultStarted_ = true;
  watch_.Stop();

  const std::weak_ptr<bool> alive = alive_;
  const platform::HWND frontEnd = host_.FrontEndWindow();
  const platform::HWND engineWindow = window_ ? window_->Handle() : 0;

  if (view_) view_->Stop();
  if (alive.expired()) return;
  if (pageFailure_) {
    TellFailureAndQuit(*pageFailure_, frontEnd, engineWindow);
    return;
  }
  const QString resultFile = resultFile_;
  // Read before the clicks, which may run the page's code.
  const std::optional<common::ListPage> page = ListPageInfo(alive);
  if (!page) return; // deleted meanwhile: the engine is ending and nobody waits for a result
  const std::optional<std::vector<common::FoundLink>> links = CollectLinks(alive);
  if (!links) return; // as above
  HandOverAndQuit(*links, *page, resultFile, frontEnd, engineWindow);
}

std::optional<common::ListPage> CSearchLink::ListPageInfo(const std::weak_ptr<bool>& alive) {
  engine::FIHTMLDocument* document = view_ ? view_->Document() : nullptr;
  if (!document) return common::ListPage();
  return engine::ReadListPage(*document, alive);
}

std::optional<std::vector<common::FoundLink>> CSearchLink::CollectLinks(
    const std::weak_ptr<bool>& alive) {
  engine::FIHTMLDocument* document = view_ ? view_->Document() : nullptr;
  if (!document) return std::vector<common::FoundLink>();
  std::unique_ptr<engine::FIElementCollection> all;
  int count = 0;
  try {
    all = document->all();
    count = all ? all->length() : 0;
  } catch (const engine::DocumentError&) {
    return std::vector<common::FoundLink>(); // no readable document: an empty list, still told
  }

  const QString folder = host_.Folder();
  engine::CSearchResult result(folder);
  collecting_ = true;
  // The list page must stay while it is walked; held, its clicks' navigations are cancelled
  // inside the page instead of being started and stopped in the browser, one by one.
  view_->HoldPage(true);
  // Every link's address, markup and text are read before the first click: read in one go
  // for the whole page, they cost a few round trips, where reading them between clicks (each
  // click may run page code, which makes read values stale) would cost several per link.
  struct Link {
    std::unique_ptr<engine::FIHTMLElement> element;
    QString text;
  };
  std::vector<Link> links;
  for (int i = 0; i < count; ++i) {
    // An element that fails (removed by a script, say) is passed over; the rest still count.
    try {
      std::unique_ptr<engine::FIHTMLElement> element = all->item(i);
      if (!element || !element->Is(engine::ElementKind::Anchor)) continue;
      if (IsSkippedLink(element->href(), element->outerHTML())) continue;
      QString linkText;
      try {
        linkText = element->innerText();
      } catch (const engine::DocumentError&) {
        // Listed all the same: the address is what matters; the folder gets a neutral name.
      }
      links.push_back({std::move(element), linkText});
    } catch (const engine::DocumentError&) {
      if (alive.expired()) return std::nullopt;
    }
  }
  for (Link& link : links) {
    try {
      const std::optional<QString> address = ClickLink(*link.element, alive);
      if (!address) return std::nullopt;
      if (address->isEmpty()) continue;
      result.Add(*address, link.text);
    } catch (const engine::DocumentError&) {
      if (alive.expired()) return std::nullopt;
    }
  }
  collecting_ = false;
  return result.Links();
}

std::optional<QString> CSearchLink::ClickLink(engine::FIHTMLElement& link,
                                              const std::weak_ptr<bool>& alive) {
  caught_.clear();
  clicking_ = true;
  try {
    link.click();
  } catch (const engine::DocumentError&) {
    if (alive.expired()) return std::nullopt;
    clicking_ = false;
    throw;
  }
  if (alive.expired()) return std::nullopt;
  clicking_ = false;
  return caught_.isEmpty() ? QString() : caught_.first();
}
