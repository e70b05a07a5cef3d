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

/// Where the chooser starts for the folder field's text `current`: the folder itself when it
/// exists, else its deepest existing parent (with a trailing "/"); empty for an empty or
/// relative text.
QString StartFolder(const QString& current);

/// Runs the browser for the folder field's text `current`, starting at StartFolder(current).
/// Returns the chosen folder, or empty.
QString BrowseForFolder(QWidget* owner, const QString& current);

} // namespace dialogs
