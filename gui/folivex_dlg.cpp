#include "gui/folivex_dlg.h"

#include "common/protocol.h"
#include "core/task_place.h"
#include "gui/dlg_add_task.h"
#include "gui/dlg_balloon_tip.h"
#include "gui/dlg_folder_rules.h"
#include "gui/dlg_search_link.h"
#include "gui/dlg_setting.h"
#include "gui/open_report.h"
#include "gui/series_panel.h"
#include "gui/site_address.h"
#include "core/task_manager.h"
#include "gui/wnd_comic_link_drop.h"
#include "gui/wnd_drop_link.h"
#include "gui/wnd_task_list.h"
#include "gui/wnd_title.h"
#include "platform/launcher.h"
#include "skin/button_base.h"
#include "skin/panel.h"
#include "skin/panel_ctrl.h"
#include "skin/skin_events.h"
#include "common/skin_loader.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCursor>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QSystemTrayIcon>
#include <malloc.h>

namespace {

CFolivexDlg::MenuChooser& Chooser() {
  static CFolivexDlg::MenuChooser chooser;
  return chooser;
}

CFolivexDlg::MessageSink& Sink() {
  static CFolivexDlg::MessageSink sink;
  return sink;
}

QString Text(const char* section, int key) {
  return FCSkinLoader::LoadLanguageText(QString::fromLatin1(section), key);
}

QAction* AddItem(QMenu& menu, int id, const QString& text) {
  QAction* action = menu.addAction(text);
  action->setData(id);
  return action;
}

FCButtonBase* SkinButton(int id) { return qobject_cast<FCButtonBase*>(FindPanelCtrlWindow(id)); }

} // namespace

CFolivexDlg::CFolivexDlg(CTaskManager& tasks, CSetting& setting, const QString& displayName)
    : CMainWindowEndpoint(tasks), tasks_(tasks), setting_(setting), display_name_(displayName) {
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  setModal(false);
  tray_available_ = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
}

CFolivexDlg::~CFolivexDlg() {
  series_.reset();
  drop_.reset();
  DestroyHandle();
}

void CFolivexDlg::SetMenuChooser(MenuChooser chooser) { Chooser() = std::move(chooser); }
void CFolivexDlg::SetMessageSink(MessageSink sink) { Sink() = std::move(sink); }

QIcon CFolivexDlg::AppIcon() const {
  const QString file = FCSkinLoader::GetSkinFolder() + QStringLiteral("icon.png");
  QIcon icon(file);
  if (QFile::exists(file) && !icon.isNull()) return icon;
  // A skin without an icon still needs something in the tray.
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(QColor(52, 110, 180));
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(QRectF(2, 2, 28, 28), 6, 6);
  painter.end();
  return QIcon(pixmap);
}

bool CFolivexDlg::Initialize() {
  const QIcon icon = AppIcon();
  setWindowIcon(icon);
  setWindowTitle(display_name_ + QLatin1Char(' ') + FCSkinLoader::LoadLanguageText(
                                                        QStringLiteral("app"), QStringLiteral("VER")));
  const bool skinned = LoadPanelDescription(FCSkinLoader::GetSkinFilePath(QStringLiteral("main")));

  drop_ = std::make_unique<CWndDropLink>(tasks_, Handle());
  drop_->Create();
  QObject::connect(drop_.get(), &CWndDropLink::CommandChosen, this,
                   [this](int command) { PostCommand(command); });
  QObject::connect(drop_.get(), &CWndDropLink::RestoreMainWindow, this,
                   [this] { RestoreFromTray(); });
  if (CWndTaskList* list = TaskList())
    QObject::connect(list, &CWndTaskList::CommandChosen, this, [this](int command) { OnCommand(command); });

  series_ = std::make_unique<CSeriesPanel>(
      tasks_, setting_, [this](const QString& title, const QString& text) { ShowTrayMessage(title, text); });

  AddIcon(icon, display_name_);
  platform::PostMessage(Handle(), protocol::WM_APP_TRIM_MEMORY, 0, 0);
  ApplyStoredGeometry();

  if (setting_.auto_continue != 0) {
    QList<CTaskInfo*> records;
    for (const auto& task : tasks_) records << task.get();
    for (CTaskInfo* record : records) tasks_.QueueTask(record);
  }
  OnTaskChanged();
  show();
  return skinned;
}

void CFolivexDlg::ApplyStoredGeometry() {
  // A first start (no stored size) keeps the size the skin was designed for.
  QString stored;
  const bool hasSize = FCSkinLoader::ReadIniString(QStringLiteral("app"), QStringLiteral("width"),
                                                   CSetting::DefaultFile(), stored);
  move(setting_.x, setting_.y);
  if (hasSize && setting_.width > 0 && setting_.height > 0)
    resize(qMin(setting_.width, panel_window::kMaxWindowSide),
           qMin(setting_.height, panel_window::kMaxWindowSide));
}

CWndTaskList* CFolivexDlg::TaskList() const {
  return qobject_cast<CWndTaskList*>(FindPanelCtrlWindow(kTaskListId));
}

bool CFolivexDlg::IsShutdownWhenDoneChecked() const {
  const FCButtonBase* check = SkinButton(kShutdownWhenDone);
  return check && check->GetCheck() != 0;
}

// --- commands ---------------------------------------------------------------------------------

void CFolivexDlg::PostCommand(int id) {
  QMetaObject::invokeMethod(this, [this, id] { OnCommand(id); }, Qt::QueuedConnection);
}

void CFolivexDlg::ForEachSelected(const std::function<void(std::int32_t)>& action) {
  CWndTaskList* list = TaskList();
  if (!list) return;
  for (std::int32_t id : list->SelectedIds()) action(id);
}

void CFolivexDlg::OnCommand(int id) {
  if (exited_) return;
  switch (id) {
  case kAddTask: OpenAddTask(QString()); break;
  case kStartTasks:
    ForEachSelected([this](std::int32_t task) {
      if (CTaskInfo* record = tasks_.FindTask(task)) tasks_.QueueTask(record);
    });
    break;
  case kStopTasks: ForEachSelected([this](std::int32_t task) { tasks_.StopTask(task); }); break;
  case kDeleteTasks: RemoveSelected(false); break;
  case kDeleteTasksAsking: RemoveSelected(true); break;
  case kHotPage: OpenInBrowser(this, dialogs::SiteAddress(QStringLiteral("/cn/comic/hot.php"))); break;
  case kHelpPage: OpenInBrowser(this, dialogs::SiteAddress(QStringLiteral("/cn/comic/help.php"))); break;
  case kToggleDrop: ToggleDropWindow(); break;
  case kShutdownWhenDone:
    if (FCButtonBase* check = SkinButton(kShutdownWhenDone)) check->SetCheck(check->GetCheck() ? 0 : 1);
    break;
  case kMainMenu: ShowMainMenu(); break;
  case kExit:
    if (ConfirmExit()) ExitSequence();
    break;
  case kHideToTray: HideToTray(); break;
  case kMaximize:
    if (isMaximized()) showNormal();
    else showMaximized();
    break;
  case kShowWindow: RestoreFromTray(); break;
  case kSearchLinks: {
    DlgSearchLink dialog(tasks_, this);
    if (series_) dialog.SetSeriesManager(&series_->Manager());
    dialog.exec();
    break;
  }
  case kSettings: {
    DlgSetting dialog(setting_, this);
    if (dialog.exec() == QDialog::Accepted) {
      setting_.Write(CSetting::DefaultFile()); // kept at once, not only at exit
      tasks_.RequestSelection();
    }
    break;
  }
  case kListMenu: ShowListMenu(); break;
  case kSeries:
    if (series_) series_->Open(this);
    break;
  default: break;
  }
}

void CFolivexDlg::RemoveSelected(bool alwaysAsk) {
  CWndTaskList* list = TaskList();
  if (!list) return;
  const QList<std::int32_t> ids = list->SelectedIds();
  if (ids.isEmpty()) return;
  int running = 0;
  for (std::int32_t id : ids)
    if (const CTaskInfo* task = tasks_.FindTask(id)) running += task->status == TASK_RUNNING ? 1 : 0;
  if (running > 0 || alwaysAsk) {
    // One question for all of them; the pages on disk stay either way.
    const QString question =
        running > 0 ? dialogs::FormatNumber(dialogs::FormatNumber(Text("CONFIRM", 1), running), int(ids.size()))
                    : dialogs::FormatNumber(Text("CONFIRM", 2), int(ids.size()));
    if (!dialogs::AskYesNo(this, question)) return;
  }
  for (std::int32_t id : ids)
    if (CTaskInfo* record = tasks_.FindTask(id)) tasks_.DeleteTask(record);
}

bool CFolivexDlg::ConfirmExit() {
  const int running = tasks_.CountTasks(TASK_RUNNING);
  if (exited_ || running == 0 || setting_.ask_exit == 0) return true;
  bool dontAsk = false;
  const bool yes = dialogs::AskYesNoWithCheck(
      this, dialogs::FormatNumber(Text("CONFIRM", 3), running), Text("CONFIRM", 4), dontAsk);
  // "Do not ask again" counts only for an exit the user went through with.
  if (yes && dontAsk) setting_.ask_exit = 0;
  return yes;
}

void CFolivexDlg::OpenAddTask(const QString& link) {
  DlgAddTask dialog(tasks_, link, this);
  dialog.exec();
}

void CFolivexDlg::ToggleDropWindow() {
  if (!drop_) return;
  drop_->Toggle();
  if (FCButtonBase* check = SkinButton(kToggleDrop)) check->SetCheck(drop_->isVisible() ? 1 : 0);
}

void CFolivexDlg::OpenInBrowser(QWidget* parent, const QString& address) {
  if (address.isEmpty()) return;
  dialogs::OpenForUser(parent, address);
}

QRect CFolivexDlg::PlacementOf(const QRect& client) const {
  // Restoring moves the frame to (x, y) and gives the client the stored size (move() and
  // resize() of a top-level window); storing the same two keeps a framed window in place
  // and at its size over any number of restarts.
  const QPoint frameOffset = geometry().topLeft() - frameGeometry().topLeft();
  return QRect(client.topLeft() - frameOffset, client.size());
}

void CFolivexDlg::StoreWindowRect(const QRect& rect) {
  if (rect.isEmpty()) return;
  setting_.x = rect.left();
  setting_.y = rect.top();
  setting_.width = rect.width();
  setting_.height = rect.height();
  setting_.placed = true;
}

void CFolivexDlg::HideToTray() {
  if (!isVisible()) return;
  // The exit sequence stores no rectangle for a hidden window: remember the last visible one
  // now, so an exit from the tray keeps where the user left the window.
  if (!isMinimized() && !isMaximized()) StoreWindowRect(PlacementOf(geometry()));
  hiding_ = true;
  // With a tray the window is only hidden: iconifying it first leaves the window manager's
  // iconic state to arrive after the window has been shown again, which then reads as the
  // minimise box and hides it at once. Without a tray it is minimised, so the task bar keeps it.
  if (!tray_available_ || tray_available_()) hide();
  else showMinimized();
  hiding_ = false;
}

void CFolivexDlg::OnTrayLButtonDown() {
  if (isVisible() && !isMinimized()) HideToTray();
  else RestoreFromTray();
}

void CFolivexDlg::RestoreFromTray() {
  if (exited_) return;
  if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
  setAttribute(Qt::WA_ShowWithoutActivating, true);
  show();
  setAttribute(Qt::WA_ShowWithoutActivating, false);
  raise();
  activateWindow();
}

// --- menus ------------------------------------------------------------------------------------

int CFolivexDlg::RunMenu(QMenu& menu, int anchorId) {
  if (Chooser()) return Chooser()(menu);
  QPoint at = QCursor::pos();
  if (anchorId != 0) {
    QWidget* anchor = FindPanelCtrlWindow(anchorId);
    if (!anchor) return 0;
    at = anchor->mapToGlobal(QPoint(0, anchor->height()));
  }
  QAction* chosen = menu.exec(at);
  return chosen ? chosen->data().toInt() : 0;
}

void CFolivexDlg::ShowMessage(QWidget* parent, const QString& text) {
  if (Sink()) return Sink()(text);
  QMessageBox::information(parent, parent ? parent->window()->windowTitle() : QString(), text);
}

void CFolivexDlg::ShowMainMenu() {
  if (!FindPanelCtrlWindow(kMainMenu)) return;
  QMenu menu(this);
  AddItem(menu, kSearchLinks, Text("MAIN_MENU", 1));
  AddItem(menu, kSeries, Text("MAIN_MENU", 5));
  AddItem(menu, kSettings, Text("MAIN_MENU", 2));
  menu.addSeparator();
  QMenu* languages = menu.addMenu(Text("MAIN_MENU", 3));
  const QList<std::int32_t> ids = FCSkinLoader::ListLanguages();
  const std::int32_t current = FCSkinLoader::GetCurrentLanguage();
  for (int i = 0; i < ids.size() && kFirstLanguage + i <= kLastLanguage; ++i) {
    QAction* item = AddItem(*languages, kFirstLanguage + i, FCSkinLoader::GetLanguageName(ids[i]));
    item->setCheckable(true);
    item->setChecked(ids[i] == current);
  }
  menu.addSeparator();
  // Without a configured site there is no help page: say so by a disabled item.
  AddItem(menu, kHelpPage, Text("MAIN_MENU", 4))->setEnabled(!dialogs::SiteBase().isEmpty());
  menu.addSeparator();
  AddItem(menu, kExit, Text("TRAY", 2));
  const int chosen = RunMenu(menu, kMainMenu);
  if (chosen >= kFirstLanguage && chosen <= kLastLanguage) {
    ShowMessage(this, FCSkinLoader::LoadLanguageText(QStringLiteral("app"), QStringLiteral("50")));
    const int index = chosen - kFirstLanguage;
    if (index < ids.size()) FCSkinLoader::SetCurrentLanguage(ids[index]);
  } else if (chosen != 0) {
    PostCommand(chosen);
  }
}

void CFolivexDlg::ShowListMenu() {
  CWndTaskList* list = TaskList();
  if (!FindPanelCtrlWindow(kListMenu)) return;
  QMenu menu(this);
  AddItem(menu, kListSelectAll, Text("LIST_MENU", 1));
  AddItem(menu, kListReverse, Text("LIST_MENU", 2));
  AddItem(menu, kListRemoveFinished, Text("LIST_MENU", 3));
  switch (RunMenu(menu, kListMenu)) {
  case kListSelectAll:
    if (list) list->SelectAll();
    break;
  case kListRemoveFinished:
    tasks_.RemoveFinishedTasks();
    if (list) list->RebuildRows();
    break;
  case kListReverse:
    if (list) list->ReverseOrder();
    break;
  default: break;
  }
}

void CFolivexDlg::OnTrayRButtonUp() {
  QMenu menu(this);
  AddItem(menu, kShowWindow, Text("TRAY", 7));
  menu.addSeparator();
  AddItem(menu, kAddTask, Text("TRAY", 0));
  AddItem(menu, kSearchLinks, Text("TRAY", 6));
  AddItem(menu, kToggleDrop, Text("TRAY", 1));
  menu.addSeparator();
  AddItem(menu, kExit, Text("TRAY", 2));
  activateWindow();
  const int chosen = RunMenu(menu, 0);
  if (chosen != 0) PostCommand(chosen);
}

void CFolivexDlg::OnTaskbarCreated() { AddIcon(windowIcon(), display_name_); }

void CFolivexDlg::OnTaskChanged() { SetTip(BuildTrayTip()); }

void CFolivexDlg::ShowNotice(const QString& title, const QString& text) {
  if (setting_.notify_done && IsHiddenToTray()) ShowTrayMessage(title, text);
}

QString CFolivexDlg::BuildTrayTip() const {
  QString list;
  const QString label = Text("TRAY", 3);
  for (const auto& task : tasks_) {
    if (task->status != TASK_RUNNING) continue;
    list += QLatin1Char('\n') + label + task_place::TaskName(*task) +
            QString::asprintf(" ( %d / %d ) ", task->finish, task->total);
  }
  return list.isEmpty() ? display_name_ : display_name_ + QLatin1Char('\n') + list;
}

// --- window messages --------------------------------------------------------------------------

platform::LRESULT CFolivexDlg::OnOtherMessage(std::uint32_t message, platform::WPARAM wParam,
                                              platform::LPARAM lParam) {
  if (message == protocol::WM_APP_ADD_LINK) {
    const std::unique_ptr<QString> link = CComicLinkDrop::TakeLink(wParam);
    if (link && !exited_) OpenAddTask(*link);
    return 0;
  }
  if (message == protocol::WM_APP_TRIM_MEMORY) {
    malloc_trim(0); // give freed heap pages back to the system
    return 0;
  }
  return 0;
}

int CFolivexDlg::OnHitTest(const QPoint& pos) {
  if (!isMaximized()) {
    const int border = panel_window::BorderHitTest(size(), pos);
    if (border != HTCAPTION) return border;
  } else if (!rect().contains(pos)) {
    return 0;
  }
  return IsCaptionSurface(childAt(pos)) ? HTCAPTION : HTCLIENT;
}

bool CFolivexDlg::IsCaptionSurface(const QWidget* under) const {
  // The root panel's own surface (between the bands) and the title band move the window;
  // every control, and the other bands (toolbar, list frame, status bar), keep their presses.
  if (!under || under == RootPanel()) return true;
  if (qobject_cast<const CWndTitle*>(under)) return true;
  if (!qobject_cast<const FCPanel*>(under)) return false;
  for (const QObject* child : under->children())
    if (qobject_cast<const CWndTitle*>(child)) return true;
  return false;
}

bool CFolivexDlg::event(QEvent* e) {
  if (e->type() == FCCommandEvent::EventType()) {
    auto* command = static_cast<FCCommandEvent*>(e);
    if (command->code == BN_CLICKED) OnCommand(command->ctrlId);
    command->accept();
    return true;
  }
  return FCPanelWindowT<QDialog>::event(e);
}

void CFolivexDlg::ShowMaximisedState() {
  if (FCButtonBase* button = SkinButton(kMaximize)) {
    button->SetCheck(isMaximized() ? 1 : 0);
    button->update();
  }
}

void CFolivexDlg::changeEvent(QEvent* e) {
  FCPanelWindowT<QDialog>::changeEvent(e);
  if (e->type() == QEvent::WindowStateChange) ShowMaximisedState();
  // The minimise box hides the window to the tray, as command 2601 does.
  if (e->type() == QEvent::WindowStateChange && !hiding_ && isMinimized() && isVisible()) {
    auto* change = static_cast<QWindowStateChangeEvent*>(e);
    if (!(change->oldState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
      StoreWindowRect(PlacementOf(normalGeometry()));
    PostCommand(kHideToTray);
  }
}

void CFolivexDlg::closeEvent(QCloseEvent* e) {
  if (!ConfirmExit()) {
    e->ignore();
    return;
  }
  ExitSequence();
  e->accept();
}

void CFolivexDlg::mouseDoubleClickEvent(QMouseEvent* e) {
  // The title band: as a framed window's title bar, a double click maximises and restores.
  if (e->button() == Qt::LeftButton && OnHitTest(e->position().toPoint()) == HTCAPTION) {
    OnCommand(kMaximize);
    e->accept();
    return;
  }
  FCPanelWindowT<QDialog>::mouseDoubleClickEvent(e);
}

void CFolivexDlg::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
  case Qt::Key_Escape: PostCommand(kHideToTray); e->accept(); return;
  case Qt::Key_Return:
  case Qt::Key_Enter: e->accept(); return; // the default action does nothing
  default: FCPanelWindowT<QDialog>::keyPressEvent(e);
  }
}

void CFolivexDlg::ExitSequence() {
  if (exited_) return;
  exited_ = true;
  if (exit_start_handler_) exit_start_handler_();
  if (isVisible() && !isMinimized()) StoreWindowRect(PlacementOf(geometry()));
  series_.reset(); // no check adds a task any more
  drop_.reset();
  tasks_.StopAllTasks();
  tasks_.SaveAllTasks();
  setting_.Write(CSetting::DefaultFile());
  hide();
  DestroyHandle();
  if (exit_handler_) exit_handler_();
}
