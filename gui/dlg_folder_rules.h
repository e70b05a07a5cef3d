#pragma once
// Input rules shared by the add-task and search-link dialogs: the address test, the folder
// proposed for the next task and the lines of the search-link links box. The folder test
// itself is the front-ends' common rule (frontend/folder_rule.h).
#include "core/folder_rule.h"

#include <QString>
#include <QStringList>

namespace dialogs {

/// Whether `text` begins with "http://" or "https://", letter case ignored.
bool BeginsWithHttp(const QString& text);
/// BeginsWithHttp, and the address names a host ("http://" alone or "http:///x" do not).
bool IsWebAddress(const QString& text);
/// The first line of `text` that begins with an address (BeginsWithHttp), without blanks
/// around it; empty when no line does. A clipboard of several lines fills an address field
/// with this.
QString FirstAddressLine(const QString& text);

/// The folder proposed for a new task after `folder`: the last run of decimal digits (the one
/// that only non-digits follow) is counted up by one, without leading zeros; everything else
/// stays. ".../vol 12/" gives ".../vol 13/", ".../vol 09/" gives ".../vol 10/", a folder
/// without digits is returned unchanged. Numbers of any length are counted exactly.
QString SuggestNextFolder(const QString& folder);

/// The lines of the links box: carriage returns become line breaks, empty lines are dropped.
QStringList SplitLinkLines(const QString& text);

/// Why a links-box line was refused.
enum class LinkLineError {
  None,      ///< The line is usable.
  NoSpace,   ///< No space separates an address from a folder.
  NotHttp,   ///< The address is no web address (IsWebAddress).
  BadFolder, ///< The folder escapes the base folder, or cannot be created or used.
};

struct LinkLine {
  QString url;    ///< The part before the first space.
  QString folder; ///< The part after it without leading spaces, made absolute.
};

/// Parses one links-box line: the address is the part before the first space, the folder the
/// part after it without its leading spaces. The folder comes from web text (a link search),
/// so it must stay inside `baseFolder` (folder_rule::CreateFolderInside, which also creates
/// the folder that passes).
/// `why` (when given) tells what the folder rule refused for BadFolder.
LinkLineError ParseLinkLine(const QString& line, const QString& baseFolder, LinkLine& out,
                            folder_rule::Refusal* why = nullptr);

/// Checks one link whose address and folder are already apart (a line of the links box, or a
/// checked link of a search result): the address must be a web address, and the folder must
/// stay inside `baseFolder` (folder_rule::CreateFolderInside, which creates it).
LinkLineError CheckLink(const QString& url, const QString& folder, const QString& baseFolder,
                        LinkLine& out, folder_rule::Refusal* why = nullptr);

/// The address of a links-box line: the part before its first space (empty without one).
QString LinkLineAddress(const QString& line);

/// `text` with its first "%d" replaced by `number` (the language texts of numbered lines).
QString FormatNumber(const QString& text, int number);

} // namespace dialogs
