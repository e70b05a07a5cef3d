#include "gui/dlg_folder_rules.h"

#include "common/web_address.h"
#include "core/folder_rule.h"

#include <QUrl>

namespace dialogs {
namespace {

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

/// Adds one to a text of decimal digits and drops leading zeros ("09" -> "10", "99" -> "100").
QString Increment(QString digits) {
  int i = digits.size() - 1;
  for (; i >= 0; --i) {
    if (digits[i] != QLatin1Char('9')) {
      digits[i] = QChar(digits[i].unicode() + 1);
      break;
    }
    digits[i] = QLatin1Char('0');
  }
  if (i < 0) digits.prepend(QLatin1Char('1'));
  while (digits.size() > 1 && digits.startsWith(QLatin1Char('0'))) digits.remove(0, 1);
  return digits;
}

} // namespace

bool BeginsWithHttp(const QString& text) { return common::BeginsWithWebScheme(text); }

bool IsWebAddress(const QString& text) {
  if (!BeginsWithHttp(text)) return false;
  const QUrl url(text);
  return url.isValid() && !url.host().isEmpty();
}

QString FirstAddressLine(const QString& text) {
  for (const QString& line : SplitLinkLines(text)) {
    const QString trimmed = line.trimmed();
    if (BeginsWithHttp(trimmed)) return trimmed;
  }
  return QString();
}

QString SuggestNextFolder(const QString& folder) {
  int end = folder.size();
  while (end > 0 && !IsDigit(folder[end - 1])) --end;
  const QString suffix = folder.mid(end);
  int start = end;
  while (start > 0 && IsDigit(folder[start - 1])) --start;
  if (start == end) return folder;
  return folder.left(start) + Increment(folder.mid(start, end - start)) + suffix;
}

QStringList SplitLinkLines(const QString& text) {
  QString unified = text;
  unified.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return unified.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString LinkLineAddress(const QString& line) {
  const int space = line.indexOf(QLatin1Char(' '));
  return space < 0 ? QString() : line.left(space);
}

LinkLineError ParseLinkLine(const QString& line, const QString& baseFolder, LinkLine& out,
                            folder_rule::Refusal* why) {
  const int space = line.indexOf(QLatin1Char(' '));
  if (space < 0) return LinkLineError::NoSpace;
  QString folder = line.mid(space + 1);
  int lead = 0;
  while (lead < folder.size() && folder[lead] == QLatin1Char(' ')) ++lead;
  folder.remove(0, lead);
  return CheckLink(line.left(space), folder, baseFolder, out, why);
}

LinkLineError CheckLink(const QString& url, const QString& folder, const QString& baseFolder,
                        LinkLine& out, folder_rule::Refusal* why) {
  if (!IsWebAddress(url)) return LinkLineError::NotHttp;
  if (folder.isEmpty()) return LinkLineError::BadFolder;
  const QString inside = folder_rule::CreateFolderInside(baseFolder, folder, why);
  if (inside.isEmpty()) return LinkLineError::BadFolder;
  out.url = url;
  out.folder = inside;
  return LinkLineError::None;
}

QString FormatNumber(const QString& text, int number) {
  QString result = text;
  const int at = result.indexOf(QLatin1String("%d"));
  if (at >= 0) result.replace(at, 2, QString::number(number));
  return result;
}

} // namespace dialogs
