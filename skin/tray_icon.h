#pragma once
// FCTrayIcon: the notification-area icon of the front-end. Tray mouse events become virtual
// calls; when a tray (re)appears after having been gone, OnTaskbarCreated is called so the
// owner can add its icon again. The main window derives from it as a second base.
#include "platform/timer_notify.h"

#include <QIcon>
#include <QString>
#include <functional>
#include <memory>

class QSystemTrayIcon;

class FCTrayIcon {
public:
  static constexpr int kIconId = 1200;
  static constexpr int kMaxTipLength = 127;
  /// How often the tray's presence is checked.
  static constexpr int kProbeIntervalMs = 2000;

  FCTrayIcon();
  virtual ~FCTrayIcon();
  FCTrayIcon(const FCTrayIcon&) = delete;
  FCTrayIcon& operator=(const FCTrayIcon&) = delete;

  /// Shows the icon (again); the tip is cut to 127 characters.
  void AddIcon(const QIcon& icon, const QString& tip);
  void SetTip(const QString& tip);
  QString Tip() const;
  bool IsIconShown() const;
  /// Shows a short message at the icon (when it is shown).
  void ShowTrayMessage(const QString& title, const QString& text);

  virtual void OnTrayLButtonDown() {}
  virtual void OnTrayLButtonDblClk() {}
  virtual void OnTrayRButtonUp() {}
  virtual void OnTaskbarCreated() {}
  /// The user clicked a message shown by ShowTrayMessage.
  virtual void OnTrayMessageClicked() {}

  /// Replaces the check for a present tray (tests) and records what it says now.
  void SetTrayProbe(std::function<bool()> probe);
  /// Runs one presence check (what the probe timer does).
  void ProbeTray();

private:
  class CProbeTimer : public FCTimerNotify {
  public:
    explicit CProbeTimer(FCTrayIcon& owner) : owner_(owner) {}
    void OnTimerNotify() override { owner_.ProbeTray(); }

  private:
    FCTrayIcon& owner_;
  };

  std::unique_ptr<QSystemTrayIcon> tray_;
  CProbeTimer probe_timer_{*this};
  std::function<bool()> probe_;
  bool tray_present_ = false;
};
