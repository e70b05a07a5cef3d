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

/// Why a folder cannot take a task.
enum class Problem {
  None,        ///< Usable.
  NotAbsolute, ///< Empty, or not a full path.
  IsFile,      ///< The path names a file (or something else that is no folder).
  NotMade,     ///< It could not be created, or it is the file-system root.
  NotWritable, ///< It exists, but files cannot be written into it.
  Missing,     ///< It does not exist (ProbeTaskFolder creates nothing).
  DiskFull,    ///< A file written into it found no room (a full disk or quota).
  TooLong,     ///< A name in the path is longer than its file system takes, or the whole
               ///< path is longer than the system takes.
};

/// Whether the text `folder` can name a task's folder at all: an absolute path other than
/// the file-system root. The engine saves pages under it, so a task file edited by hand must
/// not send them to the working folder or the root.
bool IsTaskFolderPath(const QString& folder);

/// Creates `folder` with every missing level, then tells whether it can take a task: an
/// absolute path that exists as a writable folder and is not the file-system root. A path
/// that cannot be made says why where it can: TooLong, IsFile (a file on the way), or
/// NotWritable (the folder above the missing levels cannot be written). What it created is
/// remembered for the rest of the process (CreatedTopLevel).
Problem CheckTaskFolder(const QString& folder);

/// The highest level of `folder` (cleaned) that CheckTaskFolder created in this process: the
/// folder itself, or a parent created along with it. Empty when it created none of it. A
/// task keeps it, so that it removes only what was made for it.
QString CreatedTopLevel(const QString& folder);

/// Whether a name of `folder` is longer than the file system where it would lie takes
/// (pathconf of the deepest existing part; 255 bytes where it cannot say), or the whole path
/// is PATH_MAX bytes or longer. Names count in bytes of their file-system encoding.
bool IsPathTooLong(const QString& folder);

/// Whether pages can be written into the existing `folder` now, by writing a 4 KiB probe
/// file and removing it: only a real write tells permissions, read-only mounts, quotas and a
/// full disk. None, Missing, NotWritable or DiskFull; nothing is created.
Problem ProbeTaskFolder(const QString& folder);
/// CheckTaskFolder(folder) == Problem::None.
bool PrepareTaskFolder(const QString& folder);

/// Whether `folder` already holds saved pages: files named by three or more digits and an
/// image extension ("001.jpg", "012.png", ...).
bool HoldsPageFiles(const QString& folder);

/// Whether two folder texts name the same folder: compared cleaned (a trailing "/" or a
/// doubled one makes no difference), and by their real paths where they exist.
bool SameFolder(const QString& a, const QString& b);

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
