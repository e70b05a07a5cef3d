#pragma once
// CPageTrouble: what went wrong with one page while its view watched it, kept so that the
// stall report that ends the view can say why ("104" before "102"). The page's own answer
// (no connection, an HTTP error, no web page) explains everything after it, so it comes
// first; then a page image that could not be fetched; then what the view itself found
// missing (no image, no way on).
//
// Runs on the engine's user-interface thread; a plain value owned by its view.
#include "common/engine_report.h"

#include <QString>
#include <optional>

namespace engine {

class CPageTrouble {
public:
  /// The answer to the page's own navigation: a later good answer (a script that moved on to
  /// another page) clears what an earlier one said.
  void PageAnswered(int status, bool webPage);
  /// The page's load failed with the browser's error name ("net::ERR_...").
  void PageLoadFailed(const QString& errorText);

  /// Why the view stalls: the page's trouble, else `fetchFailure`, else `missing`. Task id 0.
  common::FailureReport Reason(common::FailureReason missing,
                               const std::optional<common::FailureReport>& fetchFailure) const;

  /// The failure a page-load error name stands for: the proxy's ("PROXY", "SOCKS", a tunnel
  /// that could not be made), a refused connection, an unknown host, a timeout, or else the
  /// site's in general with the name as detail.
  static common::FailureReport FailureOfLoadError(const QString& errorText);

private:
  std::optional<common::FailureReport> page_;
};

} // namespace engine
