#include "gui/dlg_add_task.h"

#include "gui/dlg_balloon_tip.h"
#include "gui/dlg_folder_rules.h"
#include "gui/wnd_tip_button.h"
#include "core/folder_rule.h"
#include "core/task_manager.h"
#include "common/skin_loader.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

DlgAddTask::DlgAddTask(CTaskManager& tasks, const QString& link, QWidget* parent)
    : QDialog(parent), tasks_(tasks) {
  BuildWidgets();
  QString address = link;
  if (address.isEmpty()) {
    const QString clip = dialogs::FirstAddressLine(QGuiApplication::clipboard()->text());
    if (!tasks_.HasTaskWithUrl(clip)) address = clip;
  }
  form_.address->setText(address);
  form_.folder->setText(SuggestFreeFolder(tasks_.Setting().folder));
  ApplyTexts();
  form_.address->selectAll();
  form_.address->setFocus();
}

QString DlgAddTask::Text(int key) {
  return FCSkinLoader::LoadLanguageText(QStringLiteral("IDD_ADD_TASK"), key);
}

void DlgAddTask::BuildWidgets() {
  form_.Build(this);
  auto* grid = new QGridLayout(this);
  form_.PlaceRows(grid, 0, nullptr);
  form_.PlaceChoices(grid, 2, 1);
  form_.PlaceOkCancel(this, grid, 4);
}

void DlgAddTask::ApplyTexts() {
  setWindowTitle(Text(0));
  form_.addressTip->SetTipText(Text(1));
  form_.folderTip->SetTipText(Text(2));
  form_.startNow->setText(Text(3));
  form_.addOnly->setText(Text(4));
  form_.browse->setText(Text(5));
  form_.ok->setText(Text(6));
  form_.cancel->setText(Text(7));
  form_.addressLabel->setText(Text(8));
  form_.folderLabel->setText(Text(9));
}

void DlgAddTask::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  raise();
  activateWindow();
  form_.address->selectAll();
  form_.address->setFocus();
}

int DlgAddTask::StartChoice() const { return form_.StartChoice(); }

bool DlgAddTask::FolderInUse(const QString& folder) const {
  for (const auto& task : tasks_)
    if (folder_rule::SameFolder(task->folder, folder)) return true;
  return false;
}

QString DlgAddTask::SuggestFreeFolder(const QString& last) const {
  const QString next = dialogs::SuggestNextFolder(last);
  if (next != last) return next;
  // A name without a number: proposing it again would put the next chapter over the last
  // one, so a folder that is taken gets " 2" (" 3", ...) instead.
  const auto taken = [&](const QString& folder) {
    return FolderInUse(folder) || folder_rule::HoldsPageFiles(folder);
  };
  if (last.isEmpty() || !taken(last)) return last;
  const bool slash = last.endsWith(QLatin1Char('/'));
  const QString stem = slash ? last.left(last.size() - 1) : last;
  for (int n = 2; n < 1000; ++n) {
    const QString candidate = stem + QStringLiteral(" %1").arg(n) + (slash ? "/" : "");
    if (!taken(candidate)) return candidate;
  }
  return last;
}

QString DlgAddTask::FolderProblemText(folder_rule::Problem problem) {
  const auto text = [](int key) {
    return FCSkinLoader::LoadLanguageText(QStringLiteral("FOLDER"), key);
  };
  switch (problem) {
  case folder_rule::Problem::NotAbsolute: return text(1);
  case folder_rule::Problem::IsFile: return text(2);
  case folder_rule::Problem::NotWritable: return text(3);
  case folder_rule::Problem::TooLong: return text(10);
  case folder_rule::Problem::DiskFull: return text(12);
  default: return QString();
  }
}

void DlgAddTask::accept() {
  const QString url = form_.address->text();
  const QString folder = form_.folder->text();
  if (!dialogs::BeginsWithHttp(url)) {
    dialogs::ShowBalloonTip(Text(10), form_.address);
    return;
  }
  if (!dialogs::IsWebAddress(url)) {
    dialogs::ShowBalloonTip(Text(13), form_.address);
    return;
  }
  if (tasks_.HasTaskWithUrl(url)) {
    dialogs::ShowBalloonTip(Text(12), form_.address);
    return;
  }
  if (FolderInUse(folder)) {
    dialogs::ShowBalloonTip(FCSkinLoader::LoadLanguageText(QStringLiteral("FOLDER"), 4), form_.folder);
    return;
  }
  const folder_rule::Problem problem = folder_rule::CheckTaskFolder(folder);
  if (problem != folder_rule::Problem::None) {
    const QString why = FolderProblemText(problem);
    dialogs::ShowBalloonTip(why.isEmpty() ? Text(11) : why, form_.folder);
    return;
  }
  if (folder_rule::HoldsPageFiles(folder) &&
      !dialogs::AskYesNo(this, FCSkinLoader::LoadLanguageText(QStringLiteral("FOLDER"), 5)))
    return;
  tasks_.Setting().folder = folder;
  added_ = tasks_.AddTask(url, folder, StartChoice() == 0);
  QDialog::accept();
}
