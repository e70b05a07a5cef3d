#pragma once
// The folder rule of both front-ends: whether a folder can take a task, and whether a folder
// that came from web text (a link search's result lines) stays inside the folder the user
// chose. Folivex's dialogs and folivex-get's chapter lists apply the same rule.
#include <QString>

namespace folder_rule {

/// Why a folder was refused.
enum class Refusal {
  None,         ///< The folder is usable.
  BadBase,      ///< The base folder is not absolute or has a "." or ".." component.
  DotComponent, ///< The folder has a "." or ".." component.
  Outside,      ///< The folder, taken by its text, lies outside the base folder.
  LeadsOutside, ///< A symbolic link on the way leads out of the base folder.
  Unusable,     ///< The folder cannot be created or used (PrepareTaskFolder).
};

/// Creates `folder` with every missing level (a failure is only noticed by the test that
/// follows), then tells whether it can take a task: an absolute path that exists as a folder
/// and is not the file-system root. A path that names a file is refused.
bool PrepareTaskFolder(const QString& folder);

/// `folder` resolved against `baseFolder` by its text alone: a relative folder is taken below
/// the cleaned `baseFolder`, an absolute one is kept as given and must lie inside it. Empty
/// when `baseFolder` is not absolute, when either has a "." or ".." component (a name such as
/// "..." is fine), or when the folder lies outside. Nothing on disk is looked at.
QString FolderInside(const QString& baseFolder, const QString& folder, Refusal* why = nullptr);

/// FolderInside, and when `baseFolder` exists also where the path really leads: the deepest
/// part of it that exists, symbolic links resolved, must lie inside the real base folder.
/// Nothing is created.
QString ResolveFolderInside(const QString& baseFolder, const QString& folder,
                            Refusal* why = nullptr);

/// ResolveFolderInside, then creates the base folder and the folder (PrepareTaskFolder) and
/// checks once more where the created folder really lies. Nothing is created when the text
/// already leaves the base folder.
QString CreateFolderInside(const QString& baseFolder, const QString& folder,
                           Refusal* why = nullptr);

} // namespace folder_rule
