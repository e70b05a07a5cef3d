#include "gui/dlg_follow_series.h"

#include "common/skin_loader.h"
#include "core/folder_rule.h"
#include "gui/dlg_balloon_tip.h"
#include "gui/dlg_folder_rules.h"
#include "gui/wnd_tip_button.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

DlgFollowSeries::DlgFollowSeries(CSeriesManager& series, const QString& url,
                                 const QString& folder, QWidget* parent)
    : QDialog(parent), series_(series) {
  form_.Build(this);
  auto* grid = new QGridLayout(this);
  form_.PlaceRows(grid, 0, nullptr);
  form_.PlaceChoices(grid, 2, 1);
  form_.PlaceOkCancel(this, grid, 4);

  setWindowTitle(Text(20));
  form_.addressLabel->setText(Text(21));
  form_.folderLabel->setText(Text(22));
  form_.startNow->setText(Text(23));
  form_.addOnly->setText(Text(24));
  form_.addressTip->SetTipText(Text(25));
  form_.folderTip->SetTipText(Text(26));
  form_.ok->setText(Text(27));
  form_.cancel->setText(Text(28));
  form_.browse->setText(Text(29));
  form_.address->setText(url);
  form_.folder->setText(folder);
}

QString DlgFollowSeries::Text(int key) {
  return FCSkinLoader::LoadLanguageText(QStringLiteral("SERIES"), key);
}

FirstCheck DlgFollowSeries::Take() const {
  return form_.StartChoice() == 0 ? FirstCheck::All : FirstCheck::OnlyNew;
}

void DlgFollowSeries::accept() {
  const QString url = form_.address->text().trimmed();
  const QString folder = form_.folder->text().trimmed();
  if (!dialogs::BeginsWithHttp(url) || QUrl(url).host().isEmpty()) {
    dialogs::ShowBalloonTip(Text(30), form_.address);
    return;
  }
  if (folder_rule::CheckTaskFolder(folder) != folder_rule::Problem::None) {
    dialogs::ShowBalloonTip(Text(32), form_.folder);
    return;
  }
  switch (series_.Follow(url, folder, Take())) {
  case CSeriesManager::FollowResult::Followed: QDialog::accept(); return;
  case CSeriesManager::FollowResult::OtherSeries: dialogs::ShowBalloonTip(Text(31), form_.folder); return;
  case CSeriesManager::FollowResult::CannotWrite: dialogs::ShowBalloonTip(Text(32), form_.folder); return;
  }
}
