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
#include "core/link_search_client.h"
#include "gui/task_form.h"
#include "platform/window_message.h"

#include <QDialog>

class CTaskManager;
class CTipEdit;
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

  QLineEdit* AddressEdit() const { return form_.address; }
  QLineEdit* FolderEdit() const { return form_.folder; }
  CTipEdit* LinksEdit() const { return links_; }
  QRadioButton* StartNowRadio() const { return form_.startNow; }
  QRadioButton* AddOnlyRadio() const { return form_.addOnly; }
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
  CTaskForm form_;
  QLabel* linksLabel_ = nullptr;   // 1602
  QLabel* helpLabel_ = nullptr;    // 1603
  CTipEdit* links_ = nullptr;      // 1302
  QPushButton* search_ = nullptr;       // 1500
  QPushButton* add_ = nullptr;          // 1501
};
