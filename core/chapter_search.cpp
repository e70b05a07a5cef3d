#include "core/chapter_search.h"

#include "platform/window_message.h"

namespace {

constexpr int kWatchIntervalMs = 1000;

} // namespace

CChapterSearch::CChapterSearch(platform::FIProgramLauncher& launcher) : client_(launcher) {
  hello_.setSingleShot(true);
  whole_.setSingleShot(true);
  QObject::connect(&hello_, &QTimer::timeout, [this] {
    if (running_ && client_.Engine() == 0) Fail(QStringLiteral("the engine did not start"));
  });
  QObject::connect(&whole_, &QTimer::timeout,
                   [this] { Fail(QStringLiteral("the link search did not finish in time")); });
  // An engine that dies (or quits) without reporting would otherwise be waited for in vain.
  QObject::connect(&watch_, &QTimer::timeout, [this] {
    if (running_ && client_.Engine() != 0 && !platform::IsWindow(client_.Engine()))
      Fail(QStringLiteral("the engine ended without a result"));
  });
  client_.SetDoneCallback([this](const LinkSearchOutcome& outcome) {
    if (!running_) return;
    hello_.stop();
    whole_.stop();
    watch_.stop();
    Result result;
    if (outcome.pageFailed) {
      result.error = QStringLiteral("the list page could not be loaded (%1)")
                         .arg(PageFailureReason(outcome.status));
    } else if (!outcome.received) {
      result.error = QStringLiteral("the search result could not be read");
    } else {
      result.ok = true;
      result.links = outcome.links;
      result.page = outcome.page;
    }
    // Finish after the reply: the engine waits in its send until then. The timer as context
    // drops the call when this object goes first; the number when another search began.
    QTimer::singleShot(0, &hello_, [this, result, search = searchNumber_] {
      if (running_ && search == searchNumber_) Finish(result);
    });
  });
}

CChapterSearch::~CChapterSearch() { Cancel(); }

void CChapterSearch::Start(const QString& program, const QString& url, const QString& folder) {
  Cancel();
  running_ = true;
  ++searchNumber_;
  if (!client_.Start(program, url, folder)) {
    QTimer::singleShot(0, &hello_, [this, program, search = searchNumber_] {
      if (search == searchNumber_) Fail(QStringLiteral("cannot start the engine %1").arg(program));
    });
    return;
  }
  hello_.start(helloTimeoutMs_);
  whole_.start(searchTimeoutMs_);
  watch_.start(kWatchIntervalMs);
}

void CChapterSearch::Cancel() {
  running_ = false;
  hello_.stop();
  whole_.stop();
  watch_.stop();
  client_.Quit();
}

QString CChapterSearch::PageFailureReason(int status) {
  if (status == 0) return QStringLiteral("no answer from the site");
  if (status >= 400) return QStringLiteral("HTTP %1").arg(status);
  return QStringLiteral("not a web page");
}

void CChapterSearch::Fail(const QString& error) {
  if (!running_) return;
  client_.Quit();
  Result result;
  result.error = error;
  Finish(result);
}

void CChapterSearch::Finish(Result result) {
  running_ = false;
  hello_.stop();
  whole_.stop();
  watch_.stop();
  // Last, and from a copy: the callback may delete this object.
  if (const auto done = done_) done(result);
}
