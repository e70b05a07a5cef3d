#include "frontend/dlg_add_task.h"

#include "frontend/dlg_balloon_tip.h"
#include "frontend/dlg_folder_browser.h"
#include "frontend/dlg_folder_rules.h"
#include "frontend/folder_rule.h"
#include "frontend/task_manager.h"
#include "frontend/wnd_tip_button.h"
#include "skin/skin_loader.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

DlgAddTask::DlgAddTask(CTaskManager& tasks, const QString& link, QWidget* parent)
    : QDialog(parent), tasks_(tasks) {
  BuildWidgets();
  QString address = link;
  if (address.isEmpty()) {
    const QString clip = QGuiApplication::clipboard()->text();
    if (dialogs::BeginsWithHttp(clip) && !tasks_.HasTaskWithUrl(clip)) address = clip;
  }
  address_->setText(address);
  folder_->setText(SuggestFreeFolder(tasks_.Setting().folder));
  startNow_->setChecked(true);
  ApplyTexts();
  address_->selectAll();
  address_->setFocus();
}

QString DlgAddTask::Text(int key) {
  return FCSkinLoader::LoadLanguageText(QStringLiteral("IDD_ADD_TASK"), key);
}

void DlgAddTask::BuildWidgets() {
  addressLabel_ = new QLabel(this);
  folderLabel_ = new QLabel(this);
  address_ = new QLineEdit(this);
  folder_ = new QLineEdit(this);
  addressTip_ = new CWndTipButton(this);
  folderTip_ = new CWndTipButton(this);
  startNow_ = new QRadioButton(this);
  addOnly_ = new QRadioButton(this);
  auto* group = new QButtonGroup(this);
  group->addButton(startNow_, 0);
  group->addButton(addOnly_, 1);
  browse_ = new QPushButton(this);
  ok_ = new QPushButton(this);
  cancel_ = new QPushButton(this);
  browse_->setAutoDefault(false);
  cancel_->setAutoDefault(false);
  ok_->setDefault(true);

  auto* grid = new QGridLayout(this);
  grid->addWidget(addressLabel_, 0, 0);
  grid->addWidget(address_, 0, 1, 1, 2);
  grid->addWidget(addressTip_, 0, 3);
  grid->addWidget(folderLabel_, 1, 0);
  grid->addWidget(folder_, 1, 1);
  grid->addWidget(browse_, 1, 2);
  grid->addWidget(folderTip_, 1, 3);
  grid->addWidget(startNow_, 2, 1, 1, 3);
  grid->addWidget(addOnly_, 3, 1, 1, 3);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  grid->addLayout(buttons, 4, 0, 1, 4);
  address_->setMinimumWidth(360);

  connect(ok_, &QPushButton::clicked, this, &DlgAddTask::accept);
  connect(cancel_, &QPushButton::clicked, this, &DlgAddTask::reject);
  connect(browse_, &QPushButton::clicked, this, &DlgAddTask::Browse);
}

void DlgAddTask::ApplyTexts() {
  setWindowTitle(Text(0));
  addressTip_->SetTipText(Text(1));
  folderTip_->SetTipText(Text(2));
  startNow_->setText(Text(3));
  addOnly_->setText(Text(4));
  browse_->setText(Text(5));
  ok_->setText(Text(6));
  cancel_->setText(Text(7));
  addressLabel_->setText(Text(8));
  folderLabel_->setText(Text(9));
}

void DlgAddTask::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  raise();
  activateWindow();
  address_->selectAll();
  address_->setFocus();
}

int DlgAddTask::StartChoice() const { return startNow_->isChecked() ? 0 : 1; }

void DlgAddTask::Browse() {
  const QString chosen = dialogs::BrowseForFolder(this, folder_->text());
  if (!chosen.isEmpty()) folder_->setText(chosen);
}

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
  default: return QString();
  }
}

void DlgAddTask::accept() {
  const QString url = address_->text();
  const QString folder = folder_->text();
  if (!dialogs::BeginsWithHttp(url)) {
    dialogs::ShowBalloonTip(Text(10), address_);
    return;
  }
  if (tasks_.HasTaskWithUrl(url)) {
    dialogs::ShowBalloonTip(Text(12), address_);
    return;
  }
  if (FolderInUse(folder)) {
    dialogs::ShowBalloonTip(FCSkinLoader::LoadLanguageText(QStringLiteral("FOLDER"), 4), folder_);
    return;
  }
  const folder_rule::Problem problem = folder_rule::CheckTaskFolder(folder);
  if (problem != folder_rule::Problem::None) {
    const QString why = FolderProblemText(problem);
    dialogs::ShowBalloonTip(why.isEmpty() ? Text(11) : why, folder_);
    return;
  }
  if (folder_rule::HoldsPageFiles(folder) &&
      !dialogs::AskYesNo(this, FCSkinLoader::LoadLanguageText(QStringLiteral("FOLDER"), 5)))
    return;
  tasks_.Setting().folder = folder;
  added_ = tasks_.AddTask(url, folder, StartChoice() == 0);
  QDialog::accept();
}
