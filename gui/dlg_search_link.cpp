#include "gui/dlg_search_link.h"

#include "gui/dlg_add_task.h"
#include "gui/dlg_balloon_tip.h"
#include "gui/dlg_folder_rules.h"
#include "gui/wnd_tip_button.h"
#include "core/folder_rule.h"
#include "core/task_manager.h"
#include "gui/tip_edit.h"
#include "common/skin_loader.h"

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
    dialogs::ShowBalloonTip(text, form_.address);
  });
  BuildWidgets();
  const QString clip = QGuiApplication::clipboard()->text();
  if (dialogs::BeginsWithHttp(clip)) form_.address->setText(clip);
  form_.folder->setText(tasks_.Setting().folder);
  QString hint = Text(30);
  hint.replace(QLatin1String("\\r"), QLatin1String("\r"));
  links_->SetHint(hint);
  ApplyTexts();
  form_.address->selectAll();
  form_.address->setFocus();
}

QString DlgSearchLink::Text(int key) {
  return FCSkinLoader::LoadLanguageText(QStringLiteral("IDD_SEARCH_LINK"), key);
}

void DlgSearchLink::BuildWidgets() {
  form_.Build(this);
  linksLabel_ = new QLabel(this);
  helpLabel_ = new QLabel(this);
  helpLabel_->setWordWrap(true);
  links_ = new CTipEdit(this);
  search_ = new QPushButton(this);
  add_ = new QPushButton(this);
  // Enter must not press any button of this dialog. Escape or the close box cancel it.
  for (QPushButton* button : {form_.browse, search_, add_}) {
    button->setAutoDefault(false);
    button->setDefault(false);
  }

  auto* grid = new QGridLayout(this);
  form_.PlaceRows(grid, 0, search_);
  grid->addWidget(helpLabel_, 2, 0, 1, 4);
  grid->addWidget(linksLabel_, 3, 0, 1, 4);
  grid->addWidget(links_, 4, 0, 1, 4);
  form_.PlaceChoices(grid, 5, 0);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(add_);
  grid->addLayout(buttons, 7, 0, 1, 4);
  links_->setMinimumHeight(160);

  connect(search_, &QPushButton::clicked, this, &DlgSearchLink::Search);
  connect(add_, &QPushButton::clicked, this, &DlgSearchLink::Add);
}

void DlgSearchLink::ApplyTexts() {
  setWindowTitle(Text(0));
  linksLabel_->setText(Text(1));
  form_.addressTip->SetTipText(Text(5));
  form_.folderTip->SetTipText(Text(6));
  helpLabel_->setText(Text(7));
  search_->setText(Text(8));
  add_->setText(Text(9));
  form_.browse->setText(Text(11));
  form_.addressLabel->setText(Text(20));
  form_.folderLabel->setText(Text(21));
  form_.startNow->setText(Text(25));
  form_.addOnly->setText(Text(26));
}

void DlgSearchLink::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Focus the links box first and then the address, so the empty box shows its hint.
  links_->setFocus();
  form_.address->setFocus();
  form_.address->selectAll();
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

int DlgSearchLink::StartChoice() const { return form_.StartChoice(); }

bool DlgSearchLink::IsSearching() const { return !search_->isEnabled(); }

void DlgSearchLink::SetSearching(bool searching) {
  search_->setEnabled(!searching);
  add_->setEnabled(!searching);
}

void DlgSearchLink::Search() {
  const QString url = form_.address->text();
  const QString folder = form_.folder->text();
  if (!dialogs::BeginsWithHttp(url)) {
    dialogs::ShowBalloonTip(Text(12), form_.address);
    return;
  }
  const folder_rule::Problem problem = folder_rule::CheckTaskFolder(folder);
  if (problem != folder_rule::Problem::None) {
    const QString why = DlgAddTask::FolderProblemText(problem);
    dialogs::ShowBalloonTip(why.isEmpty() ? Text(13) : why, form_.folder);
    return;
  }
  // No engine will ever report when none starts: the buttons then stay usable.
  if (client_.Start(tasks_.EngineProgram(), url, folder)) SetSearching(true);
}

void DlgSearchLink::Add() {
  const QString baseFolder = form_.folder->text();
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
