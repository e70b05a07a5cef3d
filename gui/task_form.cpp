#include "gui/task_form.h"

#include "gui/dlg_folder_browser.h"
#include "gui/wnd_tip_button.h"

#include <QButtonGroup>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

void CTaskForm::Build(QDialog* dialog) {
  addressLabel = new QLabel(dialog);
  folderLabel = new QLabel(dialog);
  address = new QLineEdit(dialog);
  folder = new QLineEdit(dialog);
  addressTip = new CWndTipButton(dialog);
  folderTip = new CWndTipButton(dialog);
  startNow = new QRadioButton(dialog);
  addOnly = new QRadioButton(dialog);
  auto* group = new QButtonGroup(dialog);
  group->addButton(startNow, 0);
  group->addButton(addOnly, 1);
  startNow->setChecked(true);
  browse = new QPushButton(dialog);
  browse->setAutoDefault(false);
  address->setMinimumWidth(360);

  QLineEdit* field = folder;
  QObject::connect(browse, &QPushButton::clicked, dialog, [dialog, field] {
    const QString chosen = dialogs::BrowseForFolder(dialog, field->text());
    if (!chosen.isEmpty()) field->setText(chosen);
  });
}

void CTaskForm::PlaceRows(QGridLayout* grid, int row, QWidget* addressButton) const {
  grid->addWidget(addressLabel, row, 0);
  if (addressButton) {
    grid->addWidget(address, row, 1);
    grid->addWidget(addressButton, row, 2);
  } else {
    grid->addWidget(address, row, 1, 1, 2);
  }
  grid->addWidget(addressTip, row, 3);
  grid->addWidget(folderLabel, row + 1, 0);
  grid->addWidget(folder, row + 1, 1);
  grid->addWidget(browse, row + 1, 2);
  grid->addWidget(folderTip, row + 1, 3);
}

void CTaskForm::PlaceChoices(QGridLayout* grid, int row, int column) const {
  grid->addWidget(startNow, row, column, 1, 4 - column);
  grid->addWidget(addOnly, row + 1, column, 1, 4 - column);
}

int CTaskForm::StartChoice() const { return startNow->isChecked() ? 0 : 1; }

void CTaskForm::PlaceOkCancel(QDialog* dialog, QGridLayout* grid, int row) {
  ok = new QPushButton(dialog);
  cancel = new QPushButton(dialog);
  cancel->setAutoDefault(false);
  ok->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  grid->addLayout(buttons, row, 0, 1, 4);
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
}
