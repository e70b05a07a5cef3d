#include "common/engine_report.h"

#include "common/ini_rules.h"
#include "common/protocol.h"

#include <QRegularExpression>
#include <algorithm>

namespace common {
namespace {

QString Code(const char* code) { return QString::fromLatin1(code); }

QStringList Items(const PageInfoReport& r) {
  return {Code(protocol::kReportPageInfo), QString::number(r.taskId), r.title,
          QString::number(r.total)};
}

QStringList Items(const PageSavedReport& r) {
  return {Code(protocol::kReportPageSaved), QString::number(r.taskId), QString::number(r.page),
          r.url};
}

QStringList Items(const StallReport& r) {
  return {Code(protocol::kReportStall), QString::number(r.taskId)};
}

QStringList Items(const LanguageReport& r) {
  return {Code(protocol::kReportLanguage), QString::number(r.taskId), r.language};
}

QStringList Items(const PageCapReport& r) {
  return {Code(protocol::kReportPageCap), QString::number(r.taskId), QString::number(r.cap)};
}

QStringList Items(const FailureReport& r) {
  return {Code(protocol::kReportFailure), QString::number(r.taskId), FailureReasonName(r.reason),
          FailureDetail(r.detail)};
}

struct ReasonName {
  FailureReason reason;
  const char* name;
};

constexpr ReasonName kReasonNames[] = {
    {FailureReason::ProxyNoAnswer, "proxy"},
    {FailureReason::SiteRefused, "site_refused"},
    {FailureReason::SiteNotFound, "site_not_found"},
    {FailureReason::SiteTimedOut, "site_timed_out"},
    {FailureReason::SiteNoAnswer, "site"},
    {FailureReason::HttpError, "http"},
    {FailureReason::NotWebPage, "not_page"},
    {FailureReason::NoPageImage, "no_image"},
    {FailureReason::NoNextPage, "no_next"},
    {FailureReason::ImageHttpError, "image_http"},
    {FailureReason::ImageRedirects, "image_redirects"},
    {FailureReason::ImageTimedOut, "image_timed_out"},
    {FailureReason::ImageNoAnswer, "image_no_answer"},
    {FailureReason::ImageNotPicture, "image_not_picture"},
    {FailureReason::ImageTooLarge, "image_too_large"},
    {FailureReason::ImageCutShort, "image_cut_short"},
    {FailureReason::FolderNotWritable, "folder"},
    {FailureReason::DiskFull, "disk_full"},
};

bool IsAlnumAscii(QChar c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

} // namespace

QString LanguageCode(const QString& tag) {
  // Longer than any tag a page would state in earnest (the usual limit of language tags).
  constexpr qsizetype kLongestTag = 35;
  const QString first = tag.section(QLatin1Char(','), 0, 0).trimmed();
  if (first.isEmpty() || first.size() > kLongestTag) return {};
  const QStringList subtags = first.split(QRegularExpression(QStringLiteral("[-_]")));
  for (const QString& subtag : subtags)
    if (subtag.isEmpty() || subtag.size() > 8 || !std::all_of(subtag.begin(), subtag.end(), IsAlnumAscii))
      return {};
  const QString primary = subtags.front().toLower();
  const bool letters = std::all_of(primary.begin(), primary.end(),
                                   [](QChar c) { return c >= u'a' && c <= u'z'; });
  if (!letters || primary.size() < 2 || primary.size() > 3 || primary == QLatin1String("und"))
    return {};
  return primary;
}

QString FailureReasonName(FailureReason reason) {
  for (const ReasonName& entry : kReasonNames)
    if (entry.reason == reason) return QString::fromLatin1(entry.name);
  return {};
}

std::optional<FailureReason> FailureReasonNamed(const QString& name) {
  for (const ReasonName& entry : kReasonNames)
    if (name == QLatin1String(entry.name)) return entry.reason;
  return std::nullopt;
}

QString FailureDetail(const QString& text) {
  QString detail = text.left(kMaxFailureDetail * 2);
  for (QChar& c : detail)
    if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
        c == QChar::ParagraphSeparator)
      c = QLatin1Char(' ');
  return detail.trimmed().left(kMaxFailureDetail);
}

QStringList ReportItems(const EngineReport& report) {
  return std::visit([](const auto& r) { return Items(r); }, report);
}

std::optional<EngineReport> ParseReport(const QStringList& items) {
  if (items.isEmpty()) return std::nullopt;
  const QString& code = items[0];
  // Each report has exactly its items: a longer or shorter list comes from something else.
  if (code == QLatin1String(protocol::kReportPageInfo) && items.size() == 4)
    return PageInfoReport{ParseInt32(items[1]), items[2], ParseInt32(items[3])};
  if (code == QLatin1String(protocol::kReportPageSaved) && items.size() == 4)
    return PageSavedReport{ParseInt32(items[1]), ParseInt32(items[2]), items[3]};
  if (code == QLatin1String(protocol::kReportStall) && items.size() == 2)
    return StallReport{ParseInt32(items[1])};
  if (code == QLatin1String(protocol::kReportLanguage) && items.size() == 3) {
    // The code as the front-end keeps it; a report without a usable one says nothing.
    const QString language = LanguageCode(items[2]);
    if (language.isEmpty()) return std::nullopt;
    return LanguageReport{ParseInt32(items[1]), language};
  }
  if (code == QLatin1String(protocol::kReportPageCap) && items.size() == 3)
    return PageCapReport{ParseInt32(items[1]), ParseInt32(items[2])};
  if (code == QLatin1String(protocol::kReportFailure) && items.size() == 4) {
    // A reason this build does not know says nothing; the stall after it still counts.
    const std::optional<FailureReason> reason = FailureReasonNamed(items[2]);
    if (!reason) return std::nullopt;
    return FailureReport{ParseInt32(items[1]), *reason, FailureDetail(items[3])};
  }
  return std::nullopt;
}

std::int32_t ReportTaskId(const EngineReport& report) {
  return std::visit([](const auto& r) { return r.taskId; }, report);
}

} // namespace common
