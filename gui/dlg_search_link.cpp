#include "gui/dlg_search_link.h"

#include "common/program_folder.h"
#include "common/skin_loader.h"
#include "core/folder_rule.h"
#include "core/series_check.h"
#include "core/series_name.h"
#include "core/task_manager.h"
#include "gui/dlg_add_task.h"
#include "gui/dlg_balloon_tip.h"
#include "gui/dlg_follow_series.h"
#include "gui/dlg_folder_rules.h"
#include "gui/found_link_list.h"
#include "gui/open_report.h"
#include "gui/tip_edit.h"
#include "gui/wnd_tip_button.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTemporaryFile>
#include <QVBoxLayout>
#include <algorithm>

DlgSearchLink::DlgSearchLink(CTaskManager& tasks, QWidget* parent)
    : QDialog(parent), tasks_(tasks), client_(tasks.Launcher()) {
  client_.SetDoneCallback([this](const LinkSearchOutcome& outcome) { OnSearchDone(outcome); });
  BuildWidgets();
  form_.address->setText(dialogs::FirstAddressLine(QGuiApplication::clipboard()->text()));
  form_.folder->setText(SuggestBaseFolder(tasks_, tasks_.Setting().folder));
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

QString DlgSearchLink::SuggestBaseFolder(const CTaskManager& tasks, const QString& fallback) {
  const CTaskInfo* last = nullptr;
  for (const auto& task : tasks)
    if (!last || task->id > last->id) last = task.get();
  if (!last || !folder_rule::IsTaskFolderPath(last->folder)) return fallback;
  // By the text alone: the folder may be gone, or on a disk that is not mounted now.
  const QString parent = QFileInfo(QDir::cleanPath(last->folder)).path();
  if (parent == QLatin1String("/")) return fallback;
  return parent + QLatin1Char('/');
}

QWidget* DlgSearchLink::BuildResultPage() {
  auto* page = new QWidget(this);
  list_ = new CFoundLinkList(found_, page);
  checkAll_ = new QPushButton(page);
  checkNone_ = new QPushButton(page);
  openText_ = new QPushButton(page);
  chaptersOnly_ = new QCheckBox(page);
  chaptersOnly_->setChecked(true);
  auto* column = new QVBoxLayout(page);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(list_);
  auto* row = new QHBoxLayout;
  row->addWidget(checkAll_);
  row->addWidget(checkNone_);
  row->addWidget(chaptersOnly_);
  row->addStretch();
  row->addWidget(openText_);
  column->addLayout(row);
  connect(checkAll_, &QPushButton::clicked, this, [this] { CheckShown(true); });
  connect(checkNone_, &QPushButton::clicked, this, [this] { CheckShown(false); });
  connect(openText_, &QPushButton::clicked, this, [this] { OpenAsText(); });
  connect(chaptersOnly_, &QCheckBox::toggled, this, &DlgSearchLink::ShowChapters);
  return page;
}

void DlgSearchLink::BuildWidgets() {
  form_.Build(this);
  linksLabel_ = new QLabel(this);
  helpLabel_ = new QLabel(this);
  helpLabel_->setWordWrap(true);
  status_ = new QLabel(this);
  status_->setWordWrap(true);
  links_ = new CTipEdit(this);
  pages_ = new QStackedWidget(this);
  pages_->addWidget(links_);
  pages_->addWidget(BuildResultPage());
  search_ = new QPushButton(this);
  add_ = new QPushButton(this);
  follow_ = new QPushButton(this);
  follow_->hide(); // until there is a series manager
  // Enter must not press any button of this dialog. Escape or the close box cancel it.
  for (QPushButton* button : {form_.browse, search_, add_, checkAll_, checkNone_, openText_, follow_}) {
    button->setAutoDefault(false);
    button->setDefault(false);
  }

  auto* grid = new QGridLayout(this);
  form_.PlaceRows(grid, 0, search_);
  grid->addWidget(helpLabel_, 2, 0, 1, 4);
  grid->addWidget(status_, 3, 0, 1, 4);
  grid->addWidget(linksLabel_, 4, 0, 1, 4);
  grid->addWidget(pages_, 5, 0, 1, 4);
  form_.PlaceChoices(grid, 6, 0);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(follow_);
  buttons->addStretch();
  buttons->addWidget(add_);
  grid->addLayout(buttons, 8, 0, 1, 4);
  grid->setRowStretch(5, 1);
  pages_->setMinimumHeight(200);
  status_->hide();
  // Tab goes through the dialog in reading order, so it is usable from the keyboard alone.
  links_->setTabChangesFocus(true);
  QWidget* order[] = {form_.address, search_, form_.folder, form_.browse, links_, list_,
                      checkAll_, checkNone_, chaptersOnly_, openText_, form_.startNow,
                      form_.addOnly, follow_, add_};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  connect(search_, &QPushButton::clicked, this, &DlgSearchLink::Search);
  connect(add_, &QPushButton::clicked, this, &DlgSearchLink::Add);
  connect(follow_, &QPushButton::clicked, this, &DlgSearchLink::Follow);
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
  checkAll_->setText(Text(45));
  checkNone_->setText(Text(46));
  openText_->setText(Text(47));
  chaptersOnly_->setText(Text(52));
  follow_->setText(Text(53));
  list_->SetHeaders(Text(48), Text(49), Text(50));
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

bool DlgSearchLink::ShowsFoundLinks() const { return pages_->currentIndex() == 1; }

void DlgSearchLink::SetSearching(bool searching) {
  search_->setEnabled(!searching);
  add_->setEnabled(!searching);
  if (!searching) return;
  status_->setText(Text(40));
  status_->show();
}

void DlgSearchLink::OnSearchDone(const LinkSearchOutcome& outcome) {
  SetSearching(false);
  status_->hide();
  if (outcome.pageFailed) {
    // Said at the address: nothing was found, and an empty list would not tell why.
    QString text = Text(16);
    if (outcome.status >= 400) text += QStringLiteral(" (HTTP %1)").arg(outcome.status);
    dialogs::ShowBalloonTip(text, form_.address);
    return;
  }
  status_->show();
  if (!outcome.received) {
    status_->setText(Text(43));
    return;
  }
  if (outcome.links.empty()) {
    status_->setText(Text(42));
    return;
  }
  // The chapters follow the page's links a second time, in reading order with folders named
  // after the series; each view keeps its own marks and folders.
  seriesName_ = series_name::SeriesName(outcome.page.title, outcome.page.heading, searchedUrl_);
  seriesCount_ = outcome.page.count;
  chapters_ = chapter_links::NamedChapters(outcome.links, outcome.page, searchedUrl_);
  std::vector<common::FoundLink> entries = outcome.links;
  linkIndexes_.clear();
  chapterIndexes_.clear();
  for (int i = 0; i < int(outcome.links.size()); ++i) linkIndexes_.push_back(i);
  for (const chapter_links::ChapterLink& chapter : chapters_) {
    chapterIndexes_.push_back(int(entries.size()));
    entries.push_back(
        {chapter.url, common::WithTrailingSlash(searchedFolder_) + chapter.folderName, chapter.text});
  }
  found_.Assign(std::move(entries));
  if (chapters_.isEmpty()) chaptersOnly_->setChecked(false);
  chaptersOnly_->setEnabled(!chapters_.isEmpty());
  list_->SetBaseFolder(form_.folder->text());
  ShowChapters(chaptersOnly_->isChecked());
  pages_->setCurrentIndex(1);
  linksLabel_->hide();
  list_->setFocus();
}

void DlgSearchLink::ShowChapters(bool chaptersOnly) {
  found_.ShowOnly(chaptersOnly ? chapterIndexes_ : linkIndexes_);
  list_->Refresh();
  list_->ShowRow(0);
  status_->setText(dialogs::FormatNumber(Text(chaptersOnly ? 54 : 41), found_.ShownCount()));
}

void DlgSearchLink::CheckShown(bool checked) {
  found_.CheckAll(checked);
  list_->Refresh();
}

QString DlgSearchLink::OpenAsText() {
  QTemporaryFile file(QDir::tempPath() + QStringLiteral("/folivex-links-XXXXXX.txt"));
  file.setAutoRemove(false); // the user's viewer reads it, and the user may keep it
  const QByteArray bytes = found_.Text().toUtf8();
  if (!file.open() || file.write(bytes) != bytes.size() || !file.flush()) {
    file.remove();
    dialogs::ShowNotice(this, Text(51));
    return QString();
  }
  const QString path = file.fileName();
  file.close();
  dialogs::OpenForUser(this, path);
  return path;
}

void DlgSearchLink::Search() {
  const QString url = form_.address->text();
  const QString folder = form_.folder->text();
  if (!dialogs::BeginsWithHttp(url)) {
    dialogs::ShowBalloonTip(Text(12), form_.address);
    return;
  }
  if (!dialogs::IsWebAddress(url)) {
    dialogs::ShowBalloonTip(Text(14), form_.address);
    return;
  }
  const folder_rule::Problem problem = folder_rule::CheckTaskFolder(folder);
  if (problem != folder_rule::Problem::None) {
    const QString why = DlgAddTask::FolderProblemText(problem);
    dialogs::ShowBalloonTip(why.isEmpty() ? Text(13) : why, form_.folder);
    return;
  }
  // No engine will ever report when none starts: the buttons then stay usable.
  client_.SetCookiesFile(tasks_.Setting().cookies_file);
  if (!client_.Start(tasks_.EngineProgram(), url, folder)) return;
  searchedUrl_ = url;
  searchedFolder_ = folder;
  SetSearching(true);
}

void DlgSearchLink::Add() {
  std::vector<Candidate> candidates;
  if (ShowsFoundLinks()) {
    for (int row : found_.CheckedRows()) {
      const common::FoundLink& link = found_.Shown(row).link;
      candidates.push_back({link.url, link.folder, row + 1});
    }
    if (candidates.empty()) return Refuse(Text(44), list_, 0);
    AddCandidates(candidates, list_);
    return;
  }
  const QStringList lines =
      links_->IsShowingHint() ? QStringList() : dialogs::SplitLinkLines(links_->toPlainText());
  if (lines.isEmpty()) return Refuse(Text(15), links_, 0);
  for (int i = 0; i < lines.size(); ++i) {
    const QString address = dialogs::LinkLineAddress(lines[i]);
    QString folder = lines[i].mid(address.size() + 1);
    while (folder.startsWith(QLatin1Char(' '))) folder.remove(0, 1);
    candidates.push_back({address, folder, i + 1, !lines[i].contains(QLatin1Char(' '))});
  }
  AddCandidates(candidates, links_);
}

QString DlgSearchLink::UnusableFolderText(int number, const QString& folder,
                                         const QString& baseFolder) {
  // Said with the reason where there is one: too long, not writable, a file in the way.
  const QString text = dialogs::FormatNumber(Text(37), number);
  const QString inside = folder_rule::FolderInside(baseFolder, folder);
  const QString why = inside.isEmpty()
                          ? QString()
                          : DlgAddTask::FolderProblemText(folder_rule::CheckTaskFolder(inside));
  return why.isEmpty() ? text : text + QLatin1Char(' ') + why;
}

void DlgSearchLink::Refuse(const QString& message, QWidget* field, int number) {
  if (field == list_ && number > 0) list_->ShowRow(number - 1);
  dialogs::ShowBalloonTip(message, field);
}

bool DlgSearchLink::AddCandidates(const std::vector<Candidate>& candidates, QWidget* field) {
  const QString baseFolder = form_.folder->text();
  const auto folderText = [](int key, int number) {
    return dialogs::FormatNumber(FCSkinLoader::LoadLanguageText(QStringLiteral("FOLDER"), key),
                                 number);
  };
  std::vector<dialogs::LinkLine> parsed;
  QStringList skipped; // links whose address is listed already: no task, no folder
  bool holdsPages = false;
  for (const Candidate& candidate : candidates) {
    const int number = candidate.number;
    const bool listed = std::any_of(parsed.begin(), parsed.end(), [&](const auto& line) {
      return line.url == candidate.url;
    });
    if (!candidate.noSpace && (listed || tasks_.HasTaskWithUrl(candidate.url))) {
      skipped << QStringLiteral("%1: %2").arg(number).arg(candidate.url);
      continue;
    }
    dialogs::LinkLine line;
    folder_rule::Refusal refusal = folder_rule::Refusal::None;
    QString problem;
    const dialogs::LinkLineError error =
        candidate.noSpace ? dialogs::LinkLineError::NoSpace
                          : dialogs::CheckLink(candidate.url, candidate.folder, baseFolder, line, &refusal);
    switch (error) {
    case dialogs::LinkLineError::NoSpace: problem = dialogs::FormatNumber(Text(35), number); break;
    case dialogs::LinkLineError::NotHttp: problem = dialogs::FormatNumber(Text(36), number); break;
    case dialogs::LinkLineError::BadFolder:
      problem = refusal == folder_rule::Refusal::Outside ||
                        refusal == folder_rule::Refusal::LeadsOutside ||
                        refusal == folder_rule::Refusal::DotComponent
                    ? folderText(6, number)
                    : UnusableFolderText(number, candidate.folder, baseFolder);
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
    if (folderTaken) problem = folderText(7, number);
    if (!problem.isEmpty()) {
      Refuse(problem, field, number);
      return false;
    }
    holdsPages = holdsPages || folder_rule::HoldsPageFiles(line.folder);
    parsed.push_back(line);
  }
  if (holdsPages &&
      !dialogs::AskYesNo(this, FCSkinLoader::LoadLanguageText(QStringLiteral("FOLDER"), 9)))
    return false;
  const bool startNow = StartChoice() == 0;
  for (const dialogs::LinkLine& line : parsed) {
    if (field == list_) PrepareChapterFolder(line.url, line.folder);
    if (tasks_.AddTask(line.url, line.folder, startNow)) ++added_;
  }
  if (!skipped.isEmpty()) {
    QString notice = FCSkinLoader::LoadLanguageText(QStringLiteral("FOLDER"), 8);
    notice.replace(QLatin1String("%s"), skipped.join(QLatin1Char('\n')));
    dialogs::ShowNotice(this, notice);
  }
  QDialog::accept();
  return true;
}

void DlgSearchLink::PrepareChapterFolder(const QString& url, const QString& folder) {
  if (!chaptersOnly_->isChecked()) return;
  const auto chapter = std::find_if(chapters_.begin(), chapters_.end(),
                                    [&](const chapter_links::ChapterLink& c) { return c.url == url; });
  // Without its document the chapter still downloads; only the library fields are missing.
  if (chapter != chapters_.end())
    CSeriesCheck::PrepareChapterFolder(form_.folder->text(), folder, seriesName_, seriesCount_, *chapter);
}

void DlgSearchLink::SetSeriesManager(CSeriesManager* series) {
  series_ = series;
  follow_->setVisible(series_ != nullptr);
}

bool DlgSearchLink::Follow() {
  if (!series_) return false;
  DlgFollowSeries dialog(*series_, form_.address->text(), form_.folder->text(), this);
  if (dialog.exec() != QDialog::Accepted) return false;
  client_.Quit(); // the series' own check searches the page
  SetSearching(false);
  QDialog::accept();
  return true;
}

void DlgSearchLink::reject() {
  client_.Quit();
  SetSearching(false);
  QDialog::reject();
}
