#pragma once
// DlgSetting: the modal settings dialog. It edits "max_download" (a list of 1, 2 or 3 tasks at
// once), "auto_continue", "pack_cbz", "page_delay" (seconds between pages, 0 to 60),
// "max_pages" (the page cap of a chapter without a stated total, 1 to 100000), the proxy,
// "cookies_file" (the user's cookies.txt) and "notify_done". OK stores them into the settings
// object; "setting.ini" is written at exit; a new delay, cap, proxy and cookies file apply to
// engines started afterwards.
// No scheduling pass is asked for: a raised limit applies at the task manager's next
// pass.
//
//   DlgSetting dialog(app.Setting(), mainWindow);
//   dialog.exec();
//
// Texts: language section "IDD_SETTING".
#include <QDialog>

class CSetting;
class CWndTipButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

class DlgSetting : public QDialog {
  Q_OBJECT
public:
  /// `setting` must outlive the dialog.
  explicit DlgSetting(CSetting& setting, QWidget* parent = nullptr);

  /// OK: "max_download" = list index + 1, "auto_continue" and "pack_cbz" = check states, the
  /// proxy and the cookies file as typed (empty: none); closes. A proxy address that cannot be
  /// used, or a cookies file that cannot be read, gets a balloon tip instead; so does a cookies
  /// file with malformed lines, naming them, until OK is pressed again for the same file.
  void accept() override;

  /// The list index shown for a "max_download" value: the value less one, within 1 to
  /// CSetting::kMaxDownloads.
  static int ListIndexFor(int maxDownload);

  QComboBox* LimitList() const { return limit_; }
  QCheckBox* AutoContinueCheck() const { return autoContinue_; }
  QCheckBox* PackCbzCheck() const { return packCbz_; }
  QCheckBox* NotifyDoneCheck() const { return notifyDone_; }
  QCheckBox* AskExitCheck() const { return askExit_; }
  QSpinBox* DelayBox() const { return delay_; }
  QSpinBox* MaxPagesBox() const { return maxPages_; }
  QLineEdit* ProxyEdit() const { return proxy_; }
  QLineEdit* CookiesEdit() const { return cookies_; }
  QPushButton* OkButton() const { return ok_; }

private:
  static QString Text(int key);
  /// Whether the cookies file as typed may be stored; shows why not at the field.
  bool CookiesFileUsable(const QString& path);

  CSetting& setting_;
  QLabel* limitLabel_ = nullptr;        // 3000
  QComboBox* limit_ = nullptr;          // 2001
  QCheckBox* autoContinue_ = nullptr;   // 2002
  QCheckBox* packCbz_ = nullptr;
  QCheckBox* notifyDone_ = nullptr;
  QCheckBox* askExit_ = nullptr;
  QLabel* delayLabel_ = nullptr;
  QSpinBox* delay_ = nullptr;           // seconds between pages, 0-60
  QLabel* maxPagesLabel_ = nullptr;
  QSpinBox* maxPages_ = nullptr;        // page cap without a stated total, 1-100000
  CWndTipButton* tip_ = nullptr;        // 2005
  QLabel* proxyLabel_ = nullptr;
  QLineEdit* proxy_ = nullptr;
  QLabel* cookiesLabel_ = nullptr;
  QLineEdit* cookies_ = nullptr;
  QString cookiesWarned_; // the file whose malformed lines were shown last
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};
