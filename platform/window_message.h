#pragma once
// Window handles and window messages between and inside the two programs.
//
// A window handle is a signed 32-bit number, unique on the machine among live windows:
// (process id << 8) | n with n = 1..255 per process. Only objects that another program, or a
// posted message, must reach are message windows (front-end main window, search-link dialog,
// engine host dialog, tray window).
//
// Threading contract: every message window lives on the process's user-interface thread (the
// thread of the QCoreApplication), and all messages are delivered there:
//  * SendMessage to a window of this process calls its WindowProc directly.
//  * SendMessage to another process waits for the reply; while it waits it handles the
//    messages that other processes send (or notify) to this process meanwhile, exactly as a
//    thread waiting in a classic SendMessage does. Timers and posted messages wait.
//  * SendNotifyMessage does not wait for another process; for a window of this process it
//    calls WindowProc directly.
//  * PostMessage queues the message on the owner's event loop.
// A send to a window that does not exist, or whose process dies or closes the connection,
// returns 0 at once.
#include <cstdint>
#include <sys/types.h>

namespace platform {

using HWND = std::int32_t;
using WPARAM = std::int64_t;
using LPARAM = std::int64_t;
using LRESULT = std::int64_t;

class MessageWindow {
public:
  /// Registers a new handle for this object; the process's message endpoint starts with the
  /// first window. Requires a QCoreApplication on the calling thread.
  MessageWindow();
  virtual ~MessageWindow();
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  /// The window handle; 0 after DestroyHandle().
  HWND Handle() const { return handle_; }

  /// Unregisters the handle early (the window is destroyed): IsWindow turns false and later
  /// messages to it are dropped.
  void DestroyHandle();

  /// Called on the user-interface thread for every message to this window.
  virtual LRESULT WindowProc(std::uint32_t message, WPARAM wParam, LPARAM lParam) = 0;

private:
  HWND handle_ = 0;
};

/// Runs `hook` on the process's message thread the moment a message `message` arrives from
/// another process for any window, before the user-interface thread handles it (which may be
/// busy): lets long blocking work there notice, say, a quit. One hook per process; it must be
/// thread-safe.
void SetArrivalHook(std::uint32_t message, void (*hook)());

/// `handled`, when given, tells whether a window of that handle received the message: false
/// when its process or the window is gone, or the process closed the connection unanswered.
LRESULT SendMessage(HWND window, std::uint32_t message, WPARAM wParam, LPARAM lParam,
                    bool* handled = nullptr);
bool SendNotifyMessage(HWND window, std::uint32_t message, WPARAM wParam, LPARAM lParam);
bool PostMessage(HWND window, std::uint32_t message, WPARAM wParam, LPARAM lParam);
bool IsWindow(HWND window);

/// The id of the process that owns `window` (0 for no window): the number a handle is made of.
pid_t ProcessOfWindow(HWND window);

} // namespace platform
