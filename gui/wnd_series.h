#pragma once
// CWndSeries: the Series window. It lists the series Folivex follows (name, folder, chapters
// downloaded of those seen, last check, next check) and offers Follow, Check now and
// Unfollow (which keeps every file), and the setting "check every N hours" (0: never), which
// applies at once. Its owner (CSeriesPanel) calls Refresh() when the series change.
// Non-modal.
//
// Texts: language section "SERIES".
#include "core/series_manager.h"

#include <QDialog>

class CSetting;
class QPushButton;
class QSpinBox;
class QTreeWidget;

class CWndSeries : public QDialog {
  Q_OBJECT
public:
  enum Column { kName, kFolder, kChapters, kLastCheck, kNextCheck, kColumns };

  /// `series` and `setting` must outlive the window.
  CWndSeries(CSeriesManager& series, CSetting& setting, QWidget* parent = nullptr);

  /// Rebuilds the rows from the series' records.
  void Refresh();
  /// The folder of the selected row; empty when none.
  QString SelectedFolder() const;

  /// Opens the follow dialog (modal) with `url` and `folder` filled in.
  void OpenFollow(const QString& url = QString(), const QString& folder = QString());
  void CheckSelected();
  void UnfollowSelected();

  QTreeWidget* List() const { return list_; }
  QSpinBox* HoursBox() const { return hours_; }
  QPushButton* FollowButton() const { return follow_; }
  QPushButton* CheckButton() const { return check_; }
  QPushButton* UnfollowButton() const { return unfollow_; }

  /// The "Chapters" text: "3 / 5" (downloaded of seen).
  static QString ChaptersText(const CSeriesRecord& record);

private:
  void UpdateButtons();
  static QString Text(int key);
  static QString TimeText(const QDateTime& time);

  CSeriesManager& series_;
  CSetting& setting_;
  QTreeWidget* list_ = nullptr;
  QSpinBox* hours_ = nullptr;
  QPushButton* follow_ = nullptr;
  QPushButton* check_ = nullptr;
  QPushButton* unfollow_ = nullptr;
  QPushButton* close_ = nullptr;
};
