#pragma once
// The manual page folivex-get.1, made from the usage text (UsageText) at build time, so the
// synopsis, the options and the exit status the page shows are the ones --help prints. The
// sections the usage text has no room for (files, environment, examples) are written here.
#include <QString>

namespace folivex_get {

/// The page in the man macros: the usage text's lines become the synopsis, its paragraphs the
/// description, its option list the options and its exit status paragraph the exit status.
QString ManPage(const QString& usage, const QString& version);

/// `text` as troff shows it literally: backslashes, hyphens and a leading dot or quote escaped.
QString TroffText(const QString& text);

} // namespace folivex_get
