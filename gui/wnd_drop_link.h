#pragma once
// CWndDropLink: a small always-on-top picture on the desktop onto which the user drags a
// chapter link from the web browser; the link goes to the main window (CComicLinkDrop), which
// opens the add-task dialog with it. The picture is the current skin's "drop" image (all its
// frames) and moves, one frame every 500 ms, only while some task runs.
//
// The main window owns it, calls Create() once after its own handle exists, Toggle() for its
// command 2508, and destroys it in its exit sequence. Without a "drop" picture Create() fails
// and the feature is absent: Toggle() then does nothing.
//
// The window can be dragged with the left button. Its context menu offers "add task" (command
// 2500) and "hide" (command 2508); the choice comes out as CommandChosen. A double click asks
// for the main window to come back (RestoreMainWindow), as a click on the tray icon does.
//
// Texts: language section "DROP_LINK".
#include "core/task_event_observer.h"
#include "gui/wnd_comic_link_drop.h"
#include "platform/timer_notify.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QWidget>
#include <cstdint>

class CTaskManager;

class CWndDropLink : public QWidget, public FCTimerNotify, public CTaskEventObserver {
  Q_OBJECT
public:
  static constexpr int kFrameIntervalMs = 500;
  static constexpr int kCommandAddTask = 2500;
  static constexpr int kCommandToggle = 2508;

  /// `tasks` must outlive the window; `mainWindow` receives dropped links.
  CWndDropLink(CTaskManager& tasks, platform::HWND mainWindow);
  ~CWndDropLink() override;

  /// Loads the frames of the skin's "drop" picture. False: no picture, no drop window.
  bool Create();
  bool IsCreated() const { return !frames_.isEmpty(); }

  /// Hidden: hide it. Otherwise show it near the top-right corner of the screen without
  /// activating it, on top, with the balloon "DROP_LINK" "2". Returns whether it is visible
  /// now (the main window's check button 2508 shows that).
  bool Toggle();

  int FrameCount() const { return int(frames_.size()); }
  std::uint64_t FrameCounter() const { return frameCounter_; }
  const CComicLinkDrop& DropTarget() const { return drop_; }
  void SetMainWindow(platform::HWND window) { drop_.SetMainWindow(window); }

  void OnTimerNotify() override;
  void OnTaskChanged() override;

signals:
  /// A context-menu choice: kCommandAddTask or kCommandToggle, for the main window.
  void CommandChosen(int command);
  /// Double click: bring the main window back.
  void RestoreMainWindow();

protected:
  void paintEvent(QPaintEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

private:
  bool AnyTaskRunning() const;

  CTaskManager& tasks_;
  CComicLinkDrop drop_;
  QList<QImage> frames_;
  std::uint64_t frameCounter_ = 0;
  bool dragging_ = false;
  QPoint dragOffset_;
};
