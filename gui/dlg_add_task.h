#pragma once
// DlgAddTask: the modal dialog that adds one chapter: an address, a folder and whether the
// download starts at once. It opens with the dropped link when there is one, else with an
// address from the clipboard that no task has yet, and proposes the folder after the last one
// used (SuggestNextFolder); a clipboard of several lines gives its first address line. OK checks
// the input in a fixed order (an address needs a host: "http://" alone is refused), shows the first problem as a
// balloon tip at its field and stays open; with good input it remembers the folder as the
// setting "folder", adds the task through the task manager and closes.
//
//   DlgAddTask dialog(tasks, droppedLink);   // parent null: a window of its own
//   if (dialog.exec() == QDialog::Accepted) ... dialog.AddedTask() ...
//
// The folder must not be one another task of the list saves into (two chapters would mix
// their pages), and a folder that already holds pages is used only after the user agrees.
//
// Texts: language sections "IDD_ADD_TASK" and "FOLDER" (why a folder cannot be used).
#include "core/folder_rule.h"
#include "gui/task_form.h"

#include <QDialog>

class CTaskInfo;
class CTaskManager;
class QLineEdit;
class QPushButton;
class QRadioButton;

class DlgAddTask : public QDialog {
  Q_OBJECT
public:
  /// `tasks` must outlive the dialog. `link` (may be empty) fills the address field.
  explicit DlgAddTask(CTaskManager& tasks, const QString& link = QString(),
                      QWidget* parent = nullptr);

  /// OK: validates and, on success, adds the task and closes.
  void accept() override;

  /// The task OK created; null before, or when none was created.
  CTaskInfo* AddedTask() const { return added_; }
  /// 0: start now (the first radio button), 1: only add to the list.
  int StartChoice() const;

  QLineEdit* AddressEdit() const { return form_.address; }
  QLineEdit* FolderEdit() const { return form_.folder; }
  QRadioButton* StartNowRadio() const { return form_.startNow; }
  QRadioButton* AddOnlyRadio() const { return form_.addOnly; }
  QPushButton* OkButton() const { return form_.ok; }
  QPushButton* BrowseButton() const { return form_.browse; }

  /// The "FOLDER" text that says why a folder cannot be used; empty for problems without a
  /// text of their own (the caller's general text applies).
  static QString FolderProblemText(folder_rule::Problem problem);

protected:
  void showEvent(QShowEvent* event) override;

private:
  void BuildWidgets();
  void ApplyTexts();
  static QString Text(int key);
  /// The proposal after the last folder used: SuggestNextFolder, and for a name without a
  /// number that a task uses or that holds pages, the name with " 2" (" 3", ...).
  QString SuggestFreeFolder(const QString& last) const;
  /// Whether a task of the list saves into `folder`.
  bool FolderInUse(const QString& folder) const;

  CTaskManager& tasks_;
  CTaskInfo* added_ = nullptr;
  CTaskForm form_;
};
