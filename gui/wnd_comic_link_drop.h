#pragma once
// CComicLinkDrop: the drop target of the drop window. It accepts text that begins with
// "http://" or "https://" in any letter case, offered as plain text or as a URI list, and hands a dropped
// link to the main window as WM_APP_ADD_LINK, posted with a heap QString* as wParam that the
// main window takes back with TakeLink (and so frees) after opening the add-task dialog with it.
#include "platform/window_message.h"

#include <QString>
#include <Qt>
#include <memory>

class QMimeData;

class CComicLinkDrop {
public:
  explicit CComicLinkDrop(platform::HWND mainWindow = 0) : mainWindow_(mainWindow) {}

  void SetMainWindow(platform::HWND window) { mainWindow_ = window; }
  platform::HWND MainWindow() const { return mainWindow_; }

  /// The link that `data` offers: its plain text, else the first entry of its URI list, when
  /// that begins with "http://" or "https://" (letter case ignored); empty otherwise.
  static QString DroppableText(const QMimeData* data);

  /// Drag enter and drag over: copy for a droppable link, nothing otherwise.
  Qt::DropAction DragOver(const QMimeData* data) const;

  /// Drop: posts WM_APP_ADD_LINK with a heap copy of the link. False (and nothing posted, no
  /// memory left behind) when there is no link or no main window to take it.
  bool Drop(const QMimeData* data) const;

  /// WM_APP_ADD_LINK carries a pointer, and messages also arrive from other processes: only a
  /// pointer made here and not yet taken may be followed. LinkMessageParam makes a heap copy
  /// of `link` for the message; TakeLink gives it back once, and null for any other value.
  /// User-interface thread only.
  static platform::WPARAM LinkMessageParam(const QString& link);
  static std::unique_ptr<QString> TakeLink(platform::WPARAM wParam);

private:
  platform::HWND mainWindow_;
};
