#pragma once
// DlgSearchLink: the modal dialog that turns a comic's chapter-list page into many tasks.
//
// Search starts an engine in link-search mode through the task manager's launcher; the
// dialog's CLinkSearchClient speaks with it. The engine collects the chapter links and shows
// them in a text viewer as lines "address   folder", says hello to the client and reports
// WM_APP_SEARCH_DONE when it has shown the result; the dialog itself never receives the lines.
// The user pastes lines (or types their own) into the links box, and Add turns every line into
// a task, after all lines have been checked.
//
// Because the folder of a line may come from a web page, it must lie inside the base folder
// field: a relative folder is taken below it, and a folder that would leave it ("." or ".."
// components, another absolute folder, a symbolic link pointing out) refuses the line.
//
// Enter never closes the dialog. Cancel, Escape or closing tells an engine that is still held
// to quit (notify, no wait) before the dialog closes; so does destroying the dialog.
//
// Threading: the user-interface thread; engine messages arrive at the client there, also while
// exec() runs. Texts: language section "IDD_SEARCH_LINK".
#include "frontend/link_search_client.h"
#include "platform/window_message.h"

#include <QDialog>

class CTaskManager;
class CTipEdit;
class CWndTipButton;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class DlgSearchLink : public QDialog {
  Q_OBJECT
public:
  /// `tasks` must outlive the dialog; Search starts its EngineProgram() with its Launcher().
  explicit DlgSearchLink(CTaskManager& tasks, QWidget* parent = nullptr);

  /// The window the link-search engine talks to.
  platform::HWND Handle() const { return client_.Handle(); }

  /// The search button: checks address and folder, then starts the engine.
  void Search();
  /// The add button: checks every line, then adds one task per line and closes.
  void Add();
  /// The browse button: the base folder field takes the chosen folder.
  void Browse();
  /// Cancel, Escape, close: a held engine is told to quit, then the dialog closes.
  void reject() override;

  /// The engine window this dialog holds; 0 when none.
  platform::HWND EngineWindow() const { return client_.Engine(); }
  /// Whether a search is under way (search and add disabled).
  bool IsSearching() const;
  /// 0: start now (the first radio button), 1: only add to the list.
  int StartChoice() const;
  /// Tasks Add created, in line order (lines whose address already had a task are skipped).
  int AddedCount() const { return added_; }

  QLineEdit* AddressEdit() const { return address_; }
  QLineEdit* FolderEdit() const { return folder_; }
  CTipEdit* LinksEdit() const { return links_; }
  QRadioButton* StartNowRadio() const { return startNow_; }
  QRadioButton* AddOnlyRadio() const { return addOnly_; }
  QPushButton* SearchButton() const { return search_; }
  QPushButton* AddButton() const { return add_; }

protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  void BuildWidgets();
  void ApplyTexts();
  void SetSearching(bool searching);
  static QString Text(int key);

  CTaskManager& tasks_;
  CLinkSearchClient client_;
  int added_ = 0;
  QLabel* addressLabel_ = nullptr; // 1600
  QLabel* folderLabel_ = nullptr;  // 1601
  QLabel* linksLabel_ = nullptr;   // 1602
  QLabel* helpLabel_ = nullptr;    // 1603
  QLineEdit* address_ = nullptr;   // 1300
  QLineEdit* folder_ = nullptr;    // 1301
  CTipEdit* links_ = nullptr;      // 1302
  CWndTipButton* addressTip_ = nullptr; // 1800
  CWndTipButton* folderTip_ = nullptr;  // 1801
  QRadioButton* startNow_ = nullptr;    // 1700
  QRadioButton* addOnly_ = nullptr;     // 1701
  QPushButton* browse_ = nullptr;       // 1502
  QPushButton* search_ = nullptr;       // 1500
  QPushButton* add_ = nullptr;          // 1501
};
