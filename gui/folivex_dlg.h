#pragma once
// CFolivexDlg: the front-end's main window. Its whole surface is the current skin's "main"
// panel description (task list, news strip, title, command buttons); it owns the tray icon
// and the drop window, answers the engines as the task manager's message window, and turns
// the user's commands into task manager calls and dialogs.
//
// Commands (skin buttons, menus, or posted to itself):
//   2500 add task       2501 start selected   2502 stop selected   2503 delete selected
//   2504 delete asking  2506 hot page         2508 drop window     2509 help page
//   2510 power off when done                  2511 main menu       2600 exit
//   2601 hide to tray   2602 maximise / restore                    2603 show the window
//   3000 search links   3001 settings         3002 list menu        3010 series
// Removing tasks never deletes files. It asks first when some of them are downloading (once
// for all), and always when it comes from the Delete key (2504). Exiting while downloads run
// asks first, with "do not ask again" (the setting "ask_exit").
// The maximise button shows its restore face while the window is maximised, and a double
// click on the title band maximises and restores too.
// A left click on the tray icon hides a shown window and shows a hidden one; a click on a
// tray notice shows the window.
// Escape and the minimise box hide the window to the tray (2601); Enter does nothing; closing
// the window runs the exit sequence: the window rectangle is stored unless the window is
// minimised or hidden, the drop window goes, every task is stopped and saved, and
// "setting.ini" is written.
//
// Only the skin's bare surface and its title band move the window (OnHitTest); presses on
// controls, including the task list and the other bands, stay with them.
//
// Hiding to the tray stores the window rectangle first, so an exit while the window is hidden
// keeps its last visible place. Without a system tray, hiding would leave no way back to the window, so 2601 then only
// minimises it.
#include "core/main_window_endpoint.h"
#include "core/task_event_observer.h"
#include "skin/panel_window.h"
#include "core/task_end_notice.h"
#include "skin/tray_icon.h"

#include <QDialog>
#include <QList>
#include <functional>
#include <memory>

class CSeriesPanel;
class CSetting;
class CTaskManager;
class CWndDropLink;
class CWndTaskList;
class QMenu;

class CFolivexDlg : public FCPanelWindowT<QDialog>,
                    public FCTrayIcon,
                    public CTaskEventObserver,
                    public CMainWindowEndpoint,
                    public FINoticeSink {
public:
  enum Command : int {
    kAddTask = 2500,
    kStartTasks = 2501,
    kStopTasks = 2502,
    kDeleteTasks = 2503,
    kDeleteTasksAsking = 2504,
    kHotPage = 2506,
    kToggleDrop = 2508,
    kHelpPage = 2509,
    kShutdownWhenDone = 2510,
    kMainMenu = 2511,
    kExit = 2600,
    kHideToTray = 2601,
    kMaximize = 2602,
    kShowWindow = 2603,
    kSearchLinks = 3000,
    kSettings = 3001,
    kListMenu = 3002,
    kListSelectAll = 3003,
    kListRemoveFinished = 3004,
    kListReverse = 3005,
    kSeries = 3010,
    kFirstLanguage = 3100,
    kLastLanguage = 3200,
  };
  static constexpr int kTaskListId = 2008;

  /// `tasks` and `setting` must outlive the window. Nothing is shown before Initialize().
  CFolivexDlg(CTaskManager& tasks, CSetting& setting, const QString& displayName);
  ~CFolivexDlg() override;

  /// Title, skin, drop window, tray icon, position from the settings, "auto_continue", show.
  /// False when the skin could not be loaded (the window then has no surface).
  bool Initialize();
  /// Runs a command as if a button sent it.
  void OnCommand(int id);
  /// Queues a command to this window, as a posted message.
  void PostCommand(int id);
  /// The exit sequence; afterwards the window is hidden, answers no message and calls the
  /// exit handler once.
  void ExitSequence();
  bool HasExited() const { return exited_; }
  /// Called at the end of the exit sequence (main() ends the event loop there).
  void SetExitHandler(std::function<void()> handler) { exit_handler_ = std::move(handler); }
  /// Called first thing when the exit sequence begins.
  void SetExitStartHandler(std::function<void()> handler) { exit_start_handler_ = std::move(handler); }

  /// Opens an address in the desktop's web browser; a failure is reported over `parent`.
  static void OpenInBrowser(QWidget* parent, const QString& address);

  /// The tray tip: the display name, then a blank line and one line per running task.
  QString BuildTrayTip() const;
  /// Brings the window back from the tray or the task bar.
  void RestoreFromTray();
  bool IsHiddenToTray() const { return !isVisible(); }
  CWndTaskList* TaskList() const;
  CWndDropLink* DropWindow() const { return drop_.get(); }
  /// The followed series and their window; null before Initialize() and after the exit.
  CSeriesPanel* Series() const { return series_.get(); }
  QString DisplayName() const { return display_name_; }

  /// Replaces the check for a system tray (tests): true lets 2601 hide the window.
  void SetTrayAvailability(std::function<bool()> available) { tray_available_ = std::move(available); }
  /// Test hooks: what a menu returns instead of being shown (null: shown), and what a
  /// message box does instead of being shown. Process-wide; null restores the real ones.
  using MenuChooser = std::function<int(const QMenu& menu)>;
  static void SetMenuChooser(MenuChooser chooser);
  using MessageSink = std::function<void(const QString& text)>;
  static void SetMessageSink(MessageSink sink);
  /// A message box over `parent` (or what the message sink does with the text).
  static void ShowMessage(QWidget* parent, const QString& text);

  // CMainWindowEndpoint
  bool IsShutdownWhenDoneChecked() const override;
  void ActivateFromOtherInstance() override { RestoreFromTray(); }
  /// A task ended or the queue is over: shown in the tray while the window is hidden, unless
  /// "notify_done" is off.
  void ShowNotice(const QString& title, const QString& text) override;
  platform::LRESULT OnOtherMessage(std::uint32_t message, platform::WPARAM wParam,
                                   platform::LPARAM lParam) override;
  // FCTrayIcon
  void OnTrayLButtonDown() override;
  void OnTrayMessageClicked() override { RestoreFromTray(); }
  void OnTrayRButtonUp() override;
  void OnTaskbarCreated() override;
  // CTaskEventObserver
  void OnTaskChanged() override;

protected:
  /// Border codes at the edges (none while maximised); inside, HTCAPTION only where the press
  /// lands on a caption surface (IsCaptionSurface), else HTCLIENT: a press belongs to the
  /// control under it.
  int OnHitTest(const QPoint& pos) override;
  /// The root panel's surface, the title control and the band (panel) that holds it.
  bool IsCaptionSurface(const QWidget* under) const;
  bool event(QEvent* e) override;
  void changeEvent(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void accept() override {}
  void reject() override { PostCommand(kHideToTray); }

private:
  void HideToTray();
  /// The placement stored in the settings for a client rectangle: the frame's top-left
  /// corner and the client size, as ApplyStoredGeometry restores them.
  QRect PlacementOf(const QRect& client) const;
  void StoreWindowRect(const QRect& rect);
  void ShowMainMenu();
  void ShowListMenu();
  int RunMenu(QMenu& menu, int anchorId);
  void OpenAddTask(const QString& link);
  void ToggleDropWindow();
  void ForEachSelected(const std::function<void(std::int32_t)>& action);
  /// Removes the selected tasks, asking first when some are downloading or `alwaysAsk`.
  void RemoveSelected(bool alwaysAsk);
  /// Whether the exit may go on: true at once without running downloads or with "ask_exit"
  /// off, else the user's answer.
  bool ConfirmExit();
  /// The maximise button shows whether the window is maximised.
  void ShowMaximisedState();
  void ApplyStoredGeometry();
  QIcon AppIcon() const;

  CTaskManager& tasks_;
  CSetting& setting_;
  QString display_name_;
  std::unique_ptr<CWndDropLink> drop_;
  std::unique_ptr<CSeriesPanel> series_;
  std::function<void()> exit_handler_;
  std::function<void()> exit_start_handler_;
  std::function<bool()> tray_available_;
  CTaskEndNotice notice_{tasks_, *this};
  bool exited_ = false;
  bool hiding_ = false;
};
