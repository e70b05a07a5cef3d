#include "frontend/dlg_folder_browser.h"

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

QString BrowseForFolder(QWidget* owner, const QString& current) {
  const QString preselect =
      !current.isEmpty() && QFileInfo::exists(current) ? current : QString();
  const FolderBrowser& browser = Installed();
  return browser ? browser(owner, preselect) : DesktopBrowser(owner, preselect);
}

} // namespace dialogs
