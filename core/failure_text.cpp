#include "core/failure_text.h"

#include "common/skin_loader.h"

namespace failure_text {
namespace {

// The [ERROR] key of a reason that has its text there.
constexpr int kErrorPages = 1;
constexpr int kErrorDiskFull = 5;

// Fills the first "%s" or "%d" of `format` with `detail`; a text without either is kept.
QString Fill(QString format, const QString& detail) {
  for (const QLatin1String mark : {QLatin1String("%s"), QLatin1String("%d")}) {
    const qsizetype at = format.indexOf(mark);
    if (at >= 0) return format.replace(at, mark.size(), detail);
  }
  return format;
}

} // namespace

QString ErrorText(int key) {
  QString text = FCSkinLoader::LoadLanguageText(QStringLiteral("ERROR"), key);
  if (text.isEmpty() && key != kErrorPages)
    text = FCSkinLoader::LoadLanguageText(QStringLiteral("ERROR"), kErrorPages);
  return text.isEmpty() ? QStringLiteral("Download failed") : text;
}

QString ReasonText(const QString& key, const QString& detail) {
  const QString text = FCSkinLoader::LoadLanguageText(QStringLiteral("REASON"), key);
  if (!text.isEmpty()) return Fill(text, detail);
  QString why = key;
  if (!detail.isEmpty()) why += QStringLiteral(": ") + detail;
  return ErrorText(kErrorPages) + QStringLiteral(" (") + why + QLatin1Char(')');
}

QString ReportText(const common::FailureReport& report) {
  if (report.reason == common::FailureReason::DiskFull) return ErrorText(kErrorDiskFull);
  return ReasonText(common::FailureReasonName(report.reason), report.detail);
}

bool EndsTaskAtOnce(common::FailureReason reason) {
  return reason == common::FailureReason::DiskFull ||
         reason == common::FailureReason::FolderNotWritable;
}

} // namespace failure_text
