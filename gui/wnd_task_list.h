#pragma once
// CWndTaskList: the task list of the main window (skin control "task_list", id 2008). One row
// per task in list order with a state picture, the chapter's name (its title without the page
// part) and below it, dimmer, the folder or CBZ file that holds the pages (and why the task
// failed), a progress bar and the page counts.
// Rows are selected with the mouse (Control toggles, Shift extends, Control+A selects all),
// dragged to reorder the tasks, and give a tip with the task's details. A double click opens
// the task's folder, or shows a packed chapter's CBZ file in its folder. The Delete key and
// the row menu's commands go to the main window as commands (CommandChosen).
//
// A row holds only its task id and looks the task up on every paint and tip, so a row whose
// task vanished draws nothing. The row index always equals the task's list index because rows
// are rebuilt in list order after every reordering.
//
// An empty list shows a one-line hint on how to add a chapter ("LIST" "40").
//
// Dragging: a press on a row starts a drag once the pointer leaves an 8-pixel dead zone; while
// it lasts the insertion index is shown as a line and a pointer above or below the list
// scrolls a page every 100 ms. Release drops the selected tasks at the insertion index; a
// release inside the dead zone is a plain click that keeps only the pressed row selected.
// Dropped rows stay selected.
#include "core/task_event_observer.h"
#include "skin/list_window.h"
#include "platform/timer_notify.h"

#include <QDomElement>
#include <QList>
#include <functional>
#include <memory>

class CTaskInfo;
class CTaskManager;
class FCSkinImage;
class QMenu;

class CWndTaskList : public FCListWindow, public CTaskEventObserver {
  Q_OBJECT
public:
  static constexpr int kDefaultItemHeight = 26;
  static constexpr int kDeadZone = 8;
  static constexpr int kScrollIntervalMs = 100;
  /// Context menu items.
  static constexpr int kMenuOpenAddress = 6000;
  static constexpr int kMenuOpenFolder = 6001;
  static constexpr int kMenuCopyAddress = 6002;

  /// One row: the id of its task.
  class CTaskListItem : public FCListItem_Base {
  public:
    explicit CTaskListItem(std::int32_t taskId) : task_id(taskId) {}
    void DrawListItem(QPainter& painter, int left, int top, int right, int bottom) override;
    std::int32_t task_id;
  };

  /// Scrolls the list by `code` every 100 ms while it lives.
  class CScrollTimer : public FCTimerNotify {
  public:
    CScrollTimer(FCListWindow& list, int code);
    void OnTimerNotify() override;
    int Code() const { return code_; }

  private:
    FCListWindow& list_;
    int code_;
  };

  /// Reads the pictures and the row height of the skin element (files relative to `folder`)
  /// and builds the rows.
  CWndTaskList(CTaskManager& tasks, const QDomElement& element, const QString& folder,
               QWidget* parent);
  ~CWndTaskList() override;

  CTaskManager& Tasks() const { return tasks_; }
  int ItemHeight() const { return item_height_; }
  CTaskListItem* Row(int index) const { return static_cast<CTaskListItem*>(Item(index)); }
  /// The ids of the selected rows in row order.
  QList<std::int32_t> SelectedIds() const;
  void SelectAll();
  /// Selects exactly the rows of `indexes` (tests and the main window).
  void SelectOnly(const QList<int>& indexes);
  /// Deletes all rows and builds one unselected row per task in list order.
  void RebuildRows();
  /// Reverses the task list and rebuilds the rows.
  void ReverseOrder();
  /// Moves the selected tasks to insertion index `index` and rebuilds the rows.
  void MoveSelectedTo(int index);
  /// The row at a client point (scroll positions applied), or -1.
  int RowAt(const QPoint& clientPos) const;
  /// Where a drag at this client point would insert.
  int InsertionIndexAt(const QPoint& clientPos) const;
  /// The insertion index while rows are dragged, else -1.
  int DropIndex() const { return drop_index_; }
  bool IsDragging() const { return dragging_; }
  const CScrollTimer* UpTimer() const { return up_timer_.get(); }
  const CScrollTimer* DownTimer() const { return down_timer_.get(); }
  /// The tip text of the row's task (empty when the task is gone).
  QString TipText(std::int32_t taskId) const;
  /// Opens the folder of the first selected row's task, or shows its CBZ file selected.
  void OpenFirstSelectedFolder();
  /// Replaces the row menu for tests: gets the menu, returns the chosen item id (0: none).
  using MenuChooser = std::function<int(const QMenu& menu)>;
  static void SetMenuChooser(MenuChooser chooser);

  void OnTaskAdded(std::int32_t id) override;
  void OnTaskChanged() override;
  void OnTaskRemoved(std::int32_t id) override;
  void OnMouseEnter() override;

  /// The skin pictures shared by every task list of the process.
  struct Pictures;
  static const Pictures& SharedPictures();

signals:
  /// A command of the main window (CFolivexDlg::Command) for the selected rows.
  void CommandChosen(int command);

protected:
  void DrawListBackground(QPainter& painter, int left, int top, int right, int bottom) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

private:
  void LeftButtonDown(const QPoint& pos, Qt::KeyboardModifiers modifiers);
  void RightButtonDown(const QPoint& pos);
  void EndDrag(bool drop);
  void StopScrollTimers();
  int FirstSelected() const;
  int LastSelected() const;

  CTaskManager& tasks_;
  int item_height_ = kDefaultItemHeight;
  // Drag state: pressed_row_ >= 0 while the left button is held after a press on a row.
  int pressed_row_ = -1;
  QPoint press_pos_;
  bool dragging_ = false;
  int drop_index_ = -1;
  std::unique_ptr<CScrollTimer> up_timer_;
  std::unique_ptr<CScrollTimer> down_timer_;
};
