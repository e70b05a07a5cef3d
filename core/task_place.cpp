#include "core/task_place.h"

#include "archive/cbz_packer.h"
#include "core/folder_rule.h"
#include "core/task_info.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace task_place {
namespace {

// Separators a removed page part may leave behind ("Title - Page 3" -> "Title -").
const QString kSeparators = QStringLiteral("-–—|:_·,~");

// One page part each, case-insensitive. A "N/M" is a page count only while N <= M, so a date
// such as "2020/10" stays.
const QRegularExpression& PagePart() {
  static const QRegularExpression pattern(
      QStringLiteral(
          "第\\s*\\d+\\s*(?:/\\s*\\d+\\s*)?[页頁张張]"        // 第3页, 第 3/20 页
          "|\\d+\\s*/\\s*\\d+\\s*[页頁]"                     // 3/20页
          "|\\bpage\\s*\\d+(?:\\s*(?:of|/)\\s*\\d+)?\\b"      // Page 3, page 3 of 20, Page 3/20
          "|\\d+\\s*(?:ページ目?|枚目|페이지)"                // 3ページ, 3枚目, 3페이지
          "|[(\\[（【]\\s*(?<n>\\d+)\\s*/\\s*(?<m>\\d+)\\s*[)\\]）】]" // (3/20), [3/20]
          "|(?<=^|\\s)(?<a>\\d+)\\s*/\\s*(?<b>\\d+)(?=\\s|$)"), // a lone 3/20
      QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
  return pattern;
}

bool IsPageCount(const QRegularExpressionMatch& match) {
  for (const auto& [first, second] : {std::pair{"n", "m"}, std::pair{"a", "b"}}) {
    const QString n = match.captured(QLatin1String(first));
    if (!n.isEmpty()) return n.toLongLong() <= match.captured(QLatin1String(second)).toLongLong();
  }
  return true;
}

QString RemovePageParts(const QString& title) {
  QString out;
  qsizetype from = 0;
  QRegularExpressionMatchIterator it = PagePart().globalMatch(title);
  while (it.hasNext()) {
    const QRegularExpressionMatch match = it.next();
    if (!IsPageCount(match)) continue;
    out += title.mid(from, match.capturedStart() - from) + QLatin1Char(' ');
    from = match.capturedEnd();
  }
  return out + title.mid(from);
}

// Empty brackets, runs of separators and blanks, and separators at either end go.
QString TidySeparators(QString text) {
  static const QRegularExpression emptyBrackets(QStringLiteral("[(\\[（【]\\s*[)\\]）】]"));
  static const QRegularExpression separatorRun(
      QStringLiteral("\\s*([%1])(?:\\s*[%1])+\\s*").arg(QRegularExpression::escape(kSeparators)));
  static const QRegularExpression blanks(QStringLiteral("\\s+"));
  text.remove(emptyBrackets);
  text.replace(separatorRun, QStringLiteral(" \\1 "));
  text.replace(blanks, QStringLiteral(" "));
  text = text.trimmed();
  while (!text.isEmpty() && (kSeparators.contains(text.back()) || text.back().isSpace())) text.chop(1);
  while (!text.isEmpty() && (kSeparators.contains(text.front()) || text.front().isSpace()))
    text.remove(0, 1);
  return text;
}

} // namespace

QString ChapterTitle(const QString& title) {
  const QString cleaned = TidySeparators(RemovePageParts(title));
  return cleaned.isEmpty() ? title : cleaned;
}

QString TaskName(const CTaskInfo& task) {
  return task.title.isEmpty() ? task.url : ChapterTitle(task.title);
}

QString TaskArchive(const CTaskInfo& task) {
  if (!task.archive.isEmpty()) return task.archive;
  if (!task.IsFinished() || task.folder.isEmpty()) return QString();
  const QString archive = archive::ArchivePathFor(task.folder);
  if (!QFileInfo::exists(archive) || folder_rule::HoldsPageFiles(task.folder)) return QString();
  return archive;
}

QString PlaceName(const CTaskInfo& task) {
  const QString archive = TaskArchive(task);
  if (!archive.isEmpty()) return QFileInfo(archive).fileName();
  return QDir(QDir::cleanPath(task.folder)).dirName();
}

} // namespace task_place
