#include "skin/tray_icon.h"

#include <QSystemTrayIcon>

FCTrayIcon::FCTrayIcon() : tray_(std::make_unique<QSystemTrayIcon>()) {
  QObject::connect(tray_.get(), &QSystemTrayIcon::activated, tray_.get(),
                   [this](QSystemTrayIcon::ActivationReason reason) {
                     switch (reason) {
                     case QSystemTrayIcon::Trigger: OnTrayLButtonDown(); break;
                     case QSystemTrayIcon::DoubleClick: OnTrayLButtonDblClk(); break;
                     case QSystemTrayIcon::Context: OnTrayRButtonUp(); break;
                     default: break;
                     }
                   });
  QObject::connect(tray_.get(), &QSystemTrayIcon::messageClicked, tray_.get(),
                   [this] { OnTrayMessageClicked(); });
  probe_ = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
  tray_present_ = probe_();
  probe_timer_.StartTimer(kProbeIntervalMs);
}

FCTrayIcon::~FCTrayIcon() {
  probe_timer_.StopTimer();
  tray_->hide();
}

void FCTrayIcon::AddIcon(const QIcon& icon, const QString& tip) {
  tray_->setIcon(icon);
  tray_->setToolTip(tip.left(kMaxTipLength));
  // Hiding first makes the icon register anew with a tray that has just come back.
  tray_->hide();
  tray_->show();
}

void FCTrayIcon::SetTip(const QString& tip) { tray_->setToolTip(tip.left(kMaxTipLength)); }
QString FCTrayIcon::Tip() const { return tray_->toolTip(); }
bool FCTrayIcon::IsIconShown() const { return tray_->isVisible(); }

void FCTrayIcon::SetTrayProbe(std::function<bool()> probe) {
  probe_ = std::move(probe);
  tray_present_ = probe_ && probe_();
}

void FCTrayIcon::ProbeTray() {
  const bool present = probe_ && probe_();
  const bool cameBack = present && !tray_present_;
  tray_present_ = present;
  if (cameBack) OnTaskbarCreated();
}

void FCTrayIcon::ShowTrayMessage(const QString& title, const QString& text) {
  if (IsIconShown()) tray_->showMessage(title, text, QSystemTrayIcon::Information, 10000);
}
