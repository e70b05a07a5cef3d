#pragma once
// DlgFollowSeries: the modal dialog that follows a series: the address of its chapter list
// page, the series folder, and what the first check takes: every chapter that is out, or only
// the chapters that come out from now on. OK hands them to the series manager, which checks
// the series at once; an input error is shown as a balloon tip at its field.
//
// The search-link dialog opens it with the address and folder of its search.
// Texts: language section "SERIES".
#include "core/series_manager.h"
#include "gui/task_form.h"

#include <QDialog>

class QPushButton;

class DlgFollowSeries : public QDialog {
  Q_OBJECT
public:
  /// `series` must outlive the dialog.
  DlgFollowSeries(CSeriesManager& series, const QString& url, const QString& folder,
                  QWidget* parent = nullptr);

  void accept() override;

  /// Every chapter (0) or only new ones (1).
  FirstCheck Take() const;

  QLineEdit* AddressEdit() const { return form_.address; }
  QLineEdit* FolderEdit() const { return form_.folder; }
  QRadioButton* EveryChapterRadio() const { return form_.startNow; }
  QRadioButton* OnlyNewRadio() const { return form_.addOnly; }

private:
  static QString Text(int key);

  CSeriesManager& series_;
  CTaskForm form_;
};
