#pragma once
// The data folder: where this user's settings, tasks, command files and choices live.
//
// A copy that runs where it lies (a writable program folder) keeps everything in its program
// folder, as always. An installed copy (the program folder cannot be written, or it holds
// "layout.ini" with "user_data=1", which the package installs so that root gets the same
// layout as everyone else) uses "$XDG_DATA_HOME/folivex/", by default
// "~/.local/share/folivex/", and creates "task/" and "skin/cmd/" there on first use.
//
// Folivex, Gantrell and folivex-get all derive it here from the program folder and the
// environment, which an engine inherits from its front-end, so command files still meet.
//
// Read-only data that ships with the program (skins, languages) is looked up in the data
// folder first and the program folder second (see FCSkinLoader).
#include <QString>

namespace common {

/// The data folder, with a trailing "/". For the user layout it is created when missing.
QString DataFolder();

/// Creates in the data folder, when missing, the folders the programs write into: "task/" and
/// "skin/cmd/". A copied program folder may lack them (an archive or a checkout leaves empty
/// folders out). False when one of them cannot be made.
bool PrepareDataFolder();

/// Whether the program folder at `programFolder` asks for the user layout: it cannot be
/// written by this process, or its "layout.ini" says "user_data=1".
bool UsesUserDataFolder(const QString& programFolder);

/// The user layout's folder for the given environment values: `xdgDataHome` + "/folivex/"
/// when it is an absolute path (the base directory rule ignores relative ones), else
/// `home` + "/.local/share/folivex/".
QString UserDataFolder(const QString& xdgDataHome, const QString& home);

} // namespace common
