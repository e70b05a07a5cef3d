#pragma once
// CTaskForm: the rows the add-task and search-link dialogs share. An address row and a
// folder row, each a label, a field and a tip icon, with a Browse button beside the folder;
// and the choice between starting the new tasks at once and only adding them to the list.
// The widgets belong to the dialog that builds the form; the dialog sets their texts.
#include <QString>

class CWndTipButton;
class QDialog;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

struct CTaskForm {
  /// Creates every widget as a child of `dialog`; Browse fills the folder field with the
  /// chosen folder. "Start now" is checked.
  void Build(QDialog* dialog);
  /// Puts the address row into `row` and the folder row into `row + 1` of `grid`, four
  /// columns wide. `addressButton` (may be null) stands right of the address field, in the
  /// column of Browse; without it the address field takes that column too.
  void PlaceRows(QGridLayout* grid, int row, QWidget* addressButton) const;
  /// Puts the two start choices into `row` and `row + 1`, from `column` to the last column.
  void PlaceChoices(QGridLayout* grid, int row, int column) const;
  /// Creates OK (the default button) and Cancel, wired to the dialog's accept and reject, and
  /// puts them at the right of `row`, four columns wide.
  void PlaceOkCancel(QDialog* dialog, QGridLayout* grid, int row);
  /// 0: start now (the first radio button), 1: only add to the list.
  int StartChoice() const;

  QLabel* addressLabel = nullptr;
  QLineEdit* address = nullptr;
  CWndTipButton* addressTip = nullptr;
  QLabel* folderLabel = nullptr;
  QLineEdit* folder = nullptr;
  QPushButton* browse = nullptr;
  CWndTipButton* folderTip = nullptr;
  QRadioButton* startNow = nullptr;
  QRadioButton* addOnly = nullptr;
  QPushButton* ok = nullptr;      ///< set by PlaceOkCancel
  QPushButton* cancel = nullptr;  ///< set by PlaceOkCancel
};
