#pragma once
// Opening folders, files and web pages for the user, and saying so when nothing opened.
//
// Every outside program Folivex starts to show something goes through these: the opener
// (platform::Opener()) is watched, and when it fails a message over the window that asked
// names the target and why, with a button that copies the target, so the user can open it
// by hand. Texts: language section "OPEN".
#include "platform/launcher.h"

#include <QString>

class QWidget;

namespace dialogs {

/// Opens `target` (a folder, a file or a web address).
void OpenForUser(QWidget* parent, const QString& target);
/// Shows `file` selected in its folder where the file manager can, else opens the folder.
void ShowInFolderForUser(QWidget* parent, const QString& file);

/// The message for a failed opening of `target`.
QString OpenFailureText(const QString& target, const platform::OpenFailure& failure);

/// A message over `parent` whose text can be selected, with a button that copies `copyText`
/// to the clipboard. With a box answerer set (SetBoxAnswerer) the answerer gets the text.
void ShowCopyableMessage(QWidget* parent, const QString& text, const QString& copyText);

} // namespace dialogs
