#include "gui/series_panel.h"

#include "common/skin_loader.h"
#include "core/setting.h"

namespace {

QString Text(int key) { return FCSkinLoader::LoadLanguageText(QStringLiteral("SERIES"), key); }

} // namespace

CSeriesPanel::CSeriesPanel(CTaskManager& tasks, CSetting& setting, NoticeSink notice)
    : setting_(setting), manager_(tasks, setting), notice_(std::move(notice)) {
  manager_.SetListener(this);
  manager_.StartTimer();
}

CSeriesPanel::~CSeriesPanel() {
  manager_.SetListener(nullptr);
  delete window_.data();
}

void CSeriesPanel::Open(QWidget* parent) {
  if (!window_) window_ = new CWndSeries(manager_, setting_, parent);
  window_->Refresh();
  window_->show();
  window_->raise();
  window_->activateWindow();
}

QString CSeriesPanel::NoticeText(const QString& series, int count) {
  QString text = Text(41);
  const qsizetype at = text.indexOf(QLatin1String("%d"));
  if (at >= 0) text.replace(at, 2, QString::number(count));
  return series + QLatin1Char('\n') + text;
}

void CSeriesPanel::OnSeriesChanged() {
  if (window_) window_->Refresh();
}

void CSeriesPanel::OnNewChapters(const QString& series, int count) {
  if (setting_.notify_done && notice_) notice_(Text(40), NoticeText(series, count));
}
