#pragma once
// How the task list names a task and where its pages are, for rows, tips and the folder that
// a double click opens.
#include <QString>

class CTaskInfo;

namespace task_place {

/// A page title without its page part, so the rows of one chapter's tasks read alike: "第3页",
/// "第 3/20 页", "Page 3", "page 3 of 20", "3ページ", "3페이지", "(3/20)", "- 3/20" and a lone
/// "3/20" are removed wherever they stand, with the separators they leave dangling. A title
/// that would be left empty is returned unchanged.
QString ChapterTitle(const QString& title);

/// The row name of a task: ChapterTitle of its title, or its address while it has none.
QString TaskName(const CTaskInfo& task);

/// The CBZ archive a task's pages were packed into: the one packed in this run, or, for a
/// finished task whose folder holds no page any more, "FOLDER.cbz" when it exists. Empty when
/// the pages are loose in the folder.
QString TaskArchive(const CTaskInfo& task);

/// The file-system name of what holds the task's pages: the archive's file name, or the last
/// component of the folder.
QString PlaceName(const CTaskInfo& task);

} // namespace task_place
