#include "frontend/dlg_search_link.h"

#include "frontend/dlg_add_task.h"
#include "frontend/dlg_balloon_tip.h"
#include "frontend/dlg_folder_browser.h"
#include "frontend/dlg_folder_rules.h"
#include "frontend/folder_rule.h"
#include "frontend/task_manager.h"
#include "frontend/tip_edit.h"
#include "frontend/wnd_tip_button.h"
#include "skin/skin_loader.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <vector>

DlgSearchLink::DlgSearchLink(CTaskManager& tasks, QWidget* parent)
    : QDialog(parent), tasks_(tasks), client_(tasks.Launcher()) {
  client_.SetDoneCallback([this](const LinkSearchOutcome& outcome) {
    SetSearching(false);
    if (!outcome.pageFailed) return;
    // Said at the address: nothing was shown, and an empty viewer would not tell why.
    QString text = Text(16);
    if (outcome.status >= 400) text += QStringLiteral(" (HTTP %1)").arg(outcome.status);
    dialogs::ShowBalloonTip(text, address_);
  });
  BuildWidgets();
  const QString clip = QGuiApplication::clipboard()->text();
  if (dialogs::BeginsWithHttp(clip)) address_->setText(clip);
  folder_->setText(tasks_.Setting().folder);
  startNow_->setChecked(true);
  QString hint = Text(30);
  hint.replace(QLatin1String("\\r"), QLatin1String("\r"));
  links_->SetHint(hint);
  ApplyTexts();
  address_->selectAll();
  address_->setFocus();
}

QString DlgSearchLink::Text(int key) {
  return FCSkinLoader::LoadLanguageText(QStringLiteral("IDD_SEARCH_LINK"), key);
}

void DlgSearchLink::BuildWidgets() {
  addressLabel_ = new QLabel(this);
  folderLabel_ = new QLabel(this);
  linksLabel_ = new QLabel(this);
  helpLabel_ = new QLabel(this);
  helpLabel_->setWordWrap(true);
  address_ = new QLineEdit(this);
  folder_ = new QLineEdit(this);
  links_ = new CTipEdit(this);
  addressTip_ = new CWndTipButton(this);
  folderTip_ = new CWndTipButton(this);
  startNow_ = new QRadioButton(this);
  addOnly_ = new QRadioButton(this);
  auto* group = new QButtonGroup(this);
  group->addButton(startNow_, 0);
  group->addButton(addOnly_, 1);
  browse_ = new QPushButton(this);
  search_ = new QPushButton(this);
  add_ = new QPushButton(this);
  // Enter must not press any button of this dialog. Escape or the close box cancel it.
  for (QPushButton* button : {browse_, search_, add_}) {
    button->setAutoDefault(false);
    button->setDefault(false);
  }

  auto* grid = new QGridLayout(this);
  grid->addWidget(addressLabel_, 0, 0);
  grid->addWidget(address_, 0, 1);
  grid->addWidget(search_, 0, 2);
  grid->addWidget(addressTip_, 0, 3);
  grid->addWidget(folderLabel_, 1, 0);
  grid->addWidget(folder_, 1, 1);
  grid->addWidget(browse_, 1, 2);
  grid->addWidget(folderTip_, 1, 3);
  grid->addWidget(helpLabel_, 2, 0, 1, 4);
  grid->addWidget(linksLabel_, 3, 0, 1, 4);
  grid->addWidget(links_, 4, 0, 1, 4);
  grid->addWidget(startNow_, 5, 0, 1, 4);
  grid->addWidget(addOnly_, 6, 0, 1, 4);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(add_);
  grid->addLayout(buttons, 7, 0, 1, 4);
  address_->setMinimumWidth(360);
  links_->setMinimumHeight(160);

  connect(search_, &QPushButton::clicked, this, &DlgSearchLink::Search);
  connect(add_, &QPushButton::clicked, this, &DlgSearchLink::Add);
  connect(browse_, &QPushButton::clicked, this, &DlgSearchLink::Browse);
}

void DlgSearchLink::ApplyTexts() {
  setWindowTitle(Text(0));
  linksLabel_->setText(Text(1));
  addressTip_->SetTipText(Text(5));
  folderTip_->SetTipText(Text(6));
  helpLabel_->setText(Text(7));
  search_->setText(Text(8));
  add_->setText(Text(9));
  browse_->setText(Text(11));
  addressLabel_->setText(Text(20));
  folderLabel_->setText(Text(21));
  startNow_->setText(Text(25));
  addOnly_->setText(Text(26));
}

void DlgSearchLink::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Focus the links box first and then the address, so the empty box shows its hint.
  links_->setFocus();
  address_->setFocus();
  address_->selectAll();
  raise();
  activateWindow();
}

void DlgSearchLink::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

int DlgSearchLink::StartChoice() const { return startNow_->isChecked() ? 0 : 1; }

bool DlgSearchLink::IsSearching() const { return !search_->isEnabled(); }

void DlgSearchLink::SetSearching(bool searching) {
  search_->setEnabled(!searching);
  add_->setEnabled(!searching);
}

void DlgSearchLink::Browse() {
  const QString chosen = dialogs::BrowseForFolder(this, folder_->text());
  if (!chosen.isEmpty()) folder_->setText(chosen);
}

void DlgSearchLink::Search() {
  const QString url = address_->text();
  const QString folder = folder_->text();
  if (!dialogs::BeginsWithHttp(url)) {
    dialogs::ShowBalloonTip(Text(12), address_);
    return;
  }
  const folder_rule::Problem problem = folder_rule::CheckTaskFolder(folder);
  if (problem != folder_rule::Problem::None) {
    const QString why = DlgAddTask::FolderProblemText(problem);
    dialogs::ShowBalloonTip(why.isEmpty() ? Text(13) : why, folder_);
    return;
  }
  // No engine will ever report when none starts: the buttons then stay usable.
  if (client_.Start(tasks_.EngineProgram(), url, folder)) SetSearching(true);
}

void DlgSearchLink::Add() {
  const QString baseFolder = folder_->text();
  const QStringList lines =
      links_->IsShowingHint() ? QStringList() : dialogs::SplitLinkLines(links_->toPlainText());
  if (lines.isEmpty()) {
    dialogs::ShowBalloonTip(Text(15), links_);
    return;
  }
  const auto folderText = [](int key, int line) {
    return dialogs::FormatNumber(FCSkinLoader::LoadLanguageText(QStringLiteral("FOLDER"), key),
                                 line);
  };
  std::vector<dialogs::LinkLine> parsed;
  QStringList skipped; // lines whose address is listed already: no task, no folder
  bool holdsPages = false;
  for (int i = 0; i < lines.size(); ++i) {
    const QString address = dialogs::LinkLineAddress(lines[i]);
    const bool listed = std::any_of(parsed.begin(), parsed.end(), [&](const auto& line) {
      return line.url == address;
    });
    if (!address.isEmpty() && (listed || tasks_.HasTaskWithUrl(address))) {
      skipped << QStringLiteral("%1: %2").arg(i + 1).arg(address);
      continue;
    }
    dialogs::LinkLine line;
    folder_rule::Refusal refusal = folder_rule::Refusal::None;
    QString problem;
    switch (dialogs::ParseLinkLine(lines[i], baseFolder, line, &refusal)) {
    case dialogs::LinkLineError::NoSpace: problem = dialogs::FormatNumber(Text(35), i + 1); break;
    case dialogs::LinkLineError::NotHttp: problem = dialogs::FormatNumber(Text(36), i + 1); break;
    case dialogs::LinkLineError::BadFolder:
      problem = refusal == folder_rule::Refusal::Outside ||
                        refusal == folder_rule::Refusal::LeadsOutside ||
                        refusal == folder_rule::Refusal::DotComponent
                    ? folderText(6, i + 1)
                    : dialogs::FormatNumber(Text(37), i + 1);
      break;
    case dialogs::LinkLineError::None: break;
    }
    const bool folderTaken =
        problem.isEmpty() &&
        (std::any_of(tasks_.begin(), tasks_.end(),
                     [&](const auto& task) { return folder_rule::SameFolder(task->folder, line.folder); }) ||
         std::any_of(parsed.begin(), parsed.end(), [&](const auto& other) {
           return folder_rule::SameFolder(other.folder, line.folder);
         }));
    if (folderTaken) problem = folderText(7, i + 1);
    if (!problem.isEmpty()) {
      dialogs::ShowBalloonTip(problem, links_);
      return;
    }
    holdsPages = holdsPages || folder_rule::HoldsPageFiles(line.folder);
    parsed.push_back(line);
  }
  if (holdsPages &&
      !dialogs::AskYesNo(this, FCSkinLoader::LoadLanguageText(QStringLiteral("FOLDER"), 9)))
    return;
  const bool startNow = StartChoice() == 0;
  for (const dialogs::LinkLine& line : parsed)
    if (tasks_.AddTask(line.url, line.folder, startNow)) ++added_;
  if (!skipped.isEmpty()) {
    QString notice = FCSkinLoader::LoadLanguageText(QStringLiteral("FOLDER"), 8);
    notice.replace(QLatin1String("%s"), skipped.join(QLatin1Char('\n')));
    dialogs::ShowNotice(this, notice);
  }
  QDialog::accept();
}

void DlgSearchLink::reject() {
  client_.Quit();
  SetSearching(false);
  QDialog::reject();
}
