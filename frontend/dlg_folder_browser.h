#pragma once
// The folder browser of the dialogs' browse buttons. The real one is the desktop's folder
// chooser; tests install their own so no dialog of the window system ever opens.
#include <QString>
#include <functional>

class QWidget;

namespace dialogs {

/// Shows a folder chooser owned by `owner`, starting at `preselect` (empty: no preselection).
/// Returns the chosen folder, or empty when the user cancelled.
using FolderBrowser = std::function<QString(QWidget* owner, const QString& preselect)>;

/// Replaces the browser for the rest of the process; an empty function restores the real one.
void SetFolderBrowser(FolderBrowser browser);

/// Runs the browser for the folder field's text `current`; the chooser starts at it only when
/// that path exists. Returns the chosen folder, or empty.
QString BrowseForFolder(QWidget* owner, const QString& current);

} // namespace dialogs
