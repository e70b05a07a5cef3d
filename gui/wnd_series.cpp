#include "gui/wnd_series.h"

#include "common/skin_loader.h"
#include "core/setting.h"
#include "gui/dlg_follow_series.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

CWndSeries::CWndSeries(CSeriesManager& series, CSetting& setting, QWidget* parent)
    : QDialog(parent), series_(series), setting_(setting) {
  setWindowTitle(Text(0));
  list_ = new QTreeWidget(this);
  list_->setColumnCount(kColumns);
  list_->setHeaderLabels({Text(1), Text(2), Text(3), Text(4), Text(5)});
  list_->setRootIsDecorated(false);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

  follow_ = new QPushButton(Text(6), this);
  check_ = new QPushButton(Text(7), this);
  unfollow_ = new QPushButton(Text(8), this);
  close_ = new QPushButton(Text(9), this);
  hours_ = new QSpinBox(this);
  hours_->setRange(0, CSetting::kMaxSeriesCheckHours);
  hours_->setValue(setting_.series_check_hours);

  auto* every = new QHBoxLayout;
  every->addWidget(new QLabel(Text(10), this));
  every->addWidget(hours_);
  every->addWidget(new QLabel(Text(11), this));
  every->addStretch();
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(follow_);
  buttons->addWidget(check_);
  buttons->addWidget(unfollow_);
  buttons->addStretch();
  buttons->addWidget(close_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(every);
  layout->addLayout(buttons);
  resize(720, 320);

  connect(follow_, &QPushButton::clicked, this, [this] { OpenFollow(); });
  connect(check_, &QPushButton::clicked, this, &CWndSeries::CheckSelected);
  connect(unfollow_, &QPushButton::clicked, this, &CWndSeries::UnfollowSelected);
  connect(close_, &QPushButton::clicked, this, &CWndSeries::close);
  connect(list_, &QTreeWidget::itemSelectionChanged, this, &CWndSeries::UpdateButtons);
  connect(hours_, &QSpinBox::valueChanged, this, [this](int hours) {
    setting_.series_check_hours = hours;
    Refresh(); // the next checks move with the interval
  });
  Refresh();
}

QString CWndSeries::Text(int key) {
  return FCSkinLoader::LoadLanguageText(QStringLiteral("SERIES"), key);
}

QString CWndSeries::TimeText(const QDateTime& time) {
  return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString CWndSeries::ChaptersText(const CSeriesRecord& record) {
  return QStringLiteral("%1 / %2").arg(record.CountIn(ChapterState::Downloaded)).arg(record.chapters.size());
}

void CWndSeries::Refresh() {
  const QString selected = SelectedFolder();
  list_->clear();
  for (const CSeriesManager::Entry& entry : series_.Series()) {
    auto* row = new QTreeWidgetItem(list_);
    row->setData(kName, Qt::UserRole, entry.folder);
    row->setText(kFolder, entry.folder);
    row->setToolTip(kFolder, entry.folder);
    if (!entry.record) {
      row->setText(kName, entry.folder.section(QLatin1Char('/'), -1));
      row->setText(kLastCheck, Text(16));
      if (entry.folder == selected) row->setSelected(true);
      continue;
    }
    const CSeriesRecord& record = *entry.record;
    row->setText(kName, record.series.isEmpty() ? record.url : record.series);
    row->setToolTip(kName, record.url);
    row->setText(kChapters, ChaptersText(record));
    QString last = record.checked.isValid() ? TimeText(record.checked) : Text(13);
    if (!record.lastError.isEmpty()) last += QStringLiteral(" (%1)").arg(record.lastError);
    row->setText(kLastCheck, last);
    row->setText(kNextCheck, entry.checking  ? Text(14)
                             : entry.waiting ? Text(15)
                             : entry.nextCheck.isValid() ? TimeText(entry.nextCheck)
                                                         : Text(17));
    if (entry.folder == selected) row->setSelected(true);
  }
  UpdateButtons();
}

QString CWndSeries::SelectedFolder() const {
  const QList<QTreeWidgetItem*> rows = list_->selectedItems();
  return rows.isEmpty() ? QString() : rows.first()->data(kName, Qt::UserRole).toString();
}

void CWndSeries::UpdateButtons() {
  const bool any = !SelectedFolder().isEmpty();
  check_->setEnabled(any);
  unfollow_->setEnabled(any);
}

void CWndSeries::OpenFollow(const QString& url, const QString& folder) {
  DlgFollowSeries dialog(series_, url, folder.isEmpty() ? setting_.folder : folder, this);
  dialog.exec();
  Refresh();
}

void CWndSeries::CheckSelected() {
  const QString folder = SelectedFolder();
  if (!folder.isEmpty()) series_.CheckNow(folder);
}

void CWndSeries::UnfollowSelected() {
  const QString folder = SelectedFolder();
  if (!folder.isEmpty()) series_.Unfollow(folder);
}
