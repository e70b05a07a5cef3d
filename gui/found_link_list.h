#pragma once
// CFoundLinkList: the checklist of the search-link dialog. One row per shown link of a
// CFoundLinks: a check box with the link text, the address, and the folder the link would be
// downloaded into. Checking (a click on the box, or Space for the selected rows) and editing a
// folder (a double click on it, or F2 for the current row) change the CFoundLinks at once;
// Refresh() shows it again after it was changed elsewhere.
//
// Threading: the user-interface thread.
#include <QTreeWidget>

class CFoundLinks;

class CFoundLinkList : public QTreeWidget {
  Q_OBJECT
public:
  enum Column : int { kTextColumn = 0, kAddressColumn = 1, kFolderColumn = 2 };

  /// `links` must outlive the list.
  CFoundLinkList(CFoundLinks& links, QWidget* parent = nullptr);

  void SetHeaders(const QString& text, const QString& address, const QString& folder);
  /// Folders inside `base` are shown by their path below it (the whole path in their tip);
  /// an edited folder is kept as typed, a relative one counting below the base.
  void SetBaseFolder(const QString& base) { base_ = base; }
  /// How `folder` is shown.
  QString ShownFolder(const QString& folder) const;
  /// Builds one row per shown link.
  void Refresh();
  /// Selects row `row` and scrolls it into view (a row a message is about).
  void ShowRow(int row);

protected:
  void keyPressEvent(QKeyEvent* event) override;

private:
  void OnItemChanged(QTreeWidgetItem* item, int column);

  CFoundLinks& links_;
  QString base_;
  bool refreshing_ = false;
};
