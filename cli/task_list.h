#pragma once
// Lines of a chapter list in the link-search format: an address, one or more spaces, a
// folder ("http://site/c/12   comics/Chapter 12"). The folders come from web text, so every
// folder is kept inside one base folder by the front-ends' folder rule (frontend/folder_rule.h):
// relative folders are taken inside it, absolute ones must already lie inside it, and no folder
// may contain a "." or ".." component or reach outside through a symbolic link.
#include "cli/get_options.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace folivex_get {

/// One accepted line.
struct ListEntry {
  int line = 0;   ///< 1-based line number in the file
  QString url;
  QString folder; ///< absolute, cleaned, inside the base folder
};

struct TaskList {
  QList<ListEntry> entries;
  QStringList rejected; ///< one message per refused line: "line 3: ..."
};

/// Decodes a list file: UTF-16LE after FF FE (the engine's own result file), UTF-8 otherwise
/// (a UTF-8 byte order mark is dropped).
QString DecodeListText(const QByteArray& bytes);

/// Parses every line of `text`. Empty lines and lines starting with "#" are skipped quietly;
/// a line without an address and a folder, or whose folder leaves `base`, is refused.
/// `base` is an absolute folder.
TaskList ParseTaskList(const QString& text, const QString& base);

/// The absolute, cleaned folder for `folder` inside `base` (folder_rule::ResolveFolderInside;
/// nothing is created), or an empty string with `why` set when it is refused.
QString ResolveListFolder(const QString& folder, const QString& base, QString* why);

} // namespace folivex_get
