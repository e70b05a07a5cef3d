#include "engine/page_trouble.h"

namespace engine {

using common::FailureReason;
using common::FailureReport;

void CPageTrouble::PageAnswered(int status, bool webPage) {
  if (status >= 400) page_ = FailureReport{0, FailureReason::HttpError, QString::number(status)};
  else if (status != 0 && !webPage) page_ = FailureReport{0, FailureReason::NotWebPage, {}};
  else if (status != 0) page_.reset();
  // Status 0 comes with no answer at all; the load's error name tells more (PageLoadFailed).
}

void CPageTrouble::PageLoadFailed(const QString& errorText) {
  page_ = FailureOfLoadError(errorText);
}

FailureReport CPageTrouble::Reason(FailureReason missing,
                                   const std::optional<FailureReport>& fetchFailure) const {
  if (page_) return *page_;
  if (fetchFailure) return *fetchFailure;
  return FailureReport{0, missing, {}};
}

FailureReport CPageTrouble::FailureOfLoadError(const QString& errorText) {
  const QString name = errorText.trimmed();
  const auto is = [&name](const char* error) {
    return name.compare(QLatin1String(error), Qt::CaseInsensitive) == 0;
  };
  if (name.contains(QLatin1String("PROXY"), Qt::CaseInsensitive) ||
      name.contains(QLatin1String("SOCKS"), Qt::CaseInsensitive) ||
      is("net::ERR_TUNNEL_CONNECTION_FAILED"))
    return {0, FailureReason::ProxyNoAnswer, name};
  if (is("net::ERR_CONNECTION_REFUSED")) return {0, FailureReason::SiteRefused, {}};
  if (is("net::ERR_NAME_NOT_RESOLVED") || is("net::ERR_NAME_RESOLUTION_FAILED"))
    return {0, FailureReason::SiteNotFound, {}};
  if (is("net::ERR_CONNECTION_TIMED_OUT") || is("net::ERR_TIMED_OUT"))
    return {0, FailureReason::SiteTimedOut, {}};
  return {0, FailureReason::SiteNoAnswer, name};
}

} // namespace engine
