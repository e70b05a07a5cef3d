#include "gui/dlg_folder_browser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace dialogs {
namespace {

FolderBrowser& Installed() {
  static FolderBrowser browser;
  return browser;
}

QString DesktopBrowser(QWidget* owner, const QString& preselect) {
  return QFileDialog::getExistingDirectory(owner, QString(), preselect,
                                           QFileDialog::ShowDirsOnly);
}

} // namespace

void SetFolderBrowser(FolderBrowser browser) { Installed() = std::move(browser); }

QString StartFolder(const QString& current) {
  if (current.isEmpty() || !QDir::isAbsolutePath(current)) return QString();
  if (QFileInfo(current).isDir()) return current;
  // A folder still to be created (or a file's path): its deepest existing folder.
  QString path = QDir::cleanPath(current);
  while (!QFileInfo(path).isDir()) {
    const QString up = QFileInfo(path).path();
    if (up == path) return QString();
    path = up;
  }
  return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

QString BrowseForFolder(QWidget* owner, const QString& current) {
  const QString preselect = StartFolder(current);
  const FolderBrowser& browser = Installed();
  return browser ? browser(owner, preselect) : DesktopBrowser(owner, preselect);
}

} // namespace dialogs
