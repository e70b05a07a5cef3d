#include "gui/found_link_list.h"

#include "core/found_links.h"

#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyledItemDelegate>

namespace {

// The text and the address say what the site offered: they are shown, never edited.
class CReadOnlyDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget*, const QStyleOptionViewItem&, const QModelIndex&) const override {
    return nullptr;
  }
};

} // namespace

CFoundLinkList::CFoundLinkList(CFoundLinks& links, QWidget* parent)
    : QTreeWidget(parent), links_(links) {
  setColumnCount(3);
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setAlternatingRowColors(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked);
  setItemDelegateForColumn(kTextColumn, new CReadOnlyDelegate(this));
  setItemDelegateForColumn(kAddressColumn, new CReadOnlyDelegate(this));
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(kTextColumn, QHeaderView::ResizeToContents);
  header()->setSectionResizeMode(kAddressColumn, QHeaderView::Stretch);
  header()->setSectionResizeMode(kFolderColumn, QHeaderView::ResizeToContents);
  connect(this, &QTreeWidget::itemChanged, this, &CFoundLinkList::OnItemChanged);
}

void CFoundLinkList::SetHeaders(const QString& text, const QString& address,
                                const QString& folder) {
  setHeaderLabels({text, address, folder});
}

void CFoundLinkList::Refresh() {
  refreshing_ = true;
  clear();
  QList<QTreeWidgetItem*> items;
  for (int row = 0; row < links_.ShownCount(); ++row) {
    const CFoundLinks::Entry& entry = links_.Shown(row);
    auto* item = new QTreeWidgetItem({entry.link.text, entry.link.url, ShownFolder(entry.link.folder)});
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
                   Qt::ItemIsEditable);
    item->setCheckState(kTextColumn, entry.checked ? Qt::Checked : Qt::Unchecked);
    item->setToolTip(kAddressColumn, entry.link.url);
    item->setToolTip(kFolderColumn, entry.link.folder);
    items << item;
  }
  addTopLevelItems(items);
  refreshing_ = false;
}

QString CFoundLinkList::ShownFolder(const QString& folder) const {
  const QString base = QDir::cleanPath(base_) + QLatin1Char('/');
  const QString cleaned = QDir::cleanPath(folder);
  if (base_.isEmpty() || !cleaned.startsWith(base) || cleaned.size() == base.size()) return folder;
  return cleaned.mid(base.size());
}

void CFoundLinkList::ShowRow(int row) {
  QTreeWidgetItem* item = topLevelItem(row);
  if (!item) return;
  setCurrentItem(item);
  scrollToItem(item);
}

void CFoundLinkList::keyPressEvent(QKeyEvent* event) {
  QTreeWidgetItem* current = currentItem();
  if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && current) {
    // The rows chosen (the current one when none is) all take the current row's new state.
    QList<QTreeWidgetItem*> items = selectedItems();
    if (!items.contains(current)) items = {current};
    const Qt::CheckState state =
        current->checkState(kTextColumn) == Qt::Checked ? Qt::Unchecked : Qt::Checked;
    for (QTreeWidgetItem* item : items) item->setCheckState(kTextColumn, state);
    event->accept();
    return;
  }
  if (event->key() == Qt::Key_F2 && current) {
    editItem(current, kFolderColumn);
    event->accept();
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

void CFoundLinkList::OnItemChanged(QTreeWidgetItem* item, int column) {
  if (refreshing_) return;
  const int row = indexOfTopLevelItem(item);
  if (row < 0 || row >= links_.ShownCount()) return;
  if (column == kTextColumn) links_.SetChecked(row, item->checkState(kTextColumn) == Qt::Checked);
  else if (column == kFolderColumn) links_.SetFolder(row, item->text(kFolderColumn));
}
