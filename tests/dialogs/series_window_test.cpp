// The Series window with real widgets: what a row shows, the interval setting, Check now and
// Unfollow.
#include "dialog_fixture.h"
#include "gui/series_panel.h"
#include "gui/wnd_series.h"

#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>

using dialog_tests::DialogTest;

namespace {

class SeriesWindow : public DialogTest {
protected:
  // A followed series with chapters 1 and 2 seen, chapter 1 downloaded, checked at `checked`.
  QString FollowedSeries(const QString& name, const QDateTime& checked) {
    const QString folder = Folder(name);
    QDir().mkpath(folder);
    CSeriesRecord record = CSeriesRecord::Create(folder, "http://s.example/" + name, FirstCheck::All);
    record.MergeCheck({{"http://s.example/c/1", "Chapter 1", "1", {}}, {"http://s.example/c/2", "Chapter 2", "2", {}}},
                      "Tide Keeper", 0, checked);
    record.Mark("http://s.example/c/1", ChapterState::Downloaded);
    EXPECT_TRUE(record.Save());
    EXPECT_TRUE(list.Add(folder));
    return folder;
  }
  QString Cell(CWndSeries& window, int row, int column) {
    return window.List()->topLevelItem(row)->text(column);
  }

  CSeriesList list{Folder("data/series.json")};
  CSeriesManager manager{*tasks, setting, list};
};

} // namespace

TEST_F(SeriesWindow, RowsIntervalCheckNowAndUnfollow) {
  const QDateTime checked = QDateTime::currentDateTimeUtc().addSecs(-3600);
  const QString folder = FollowedSeries("tide", checked);
  list.Add(Folder("gone"));
  CWndSeries window(manager, setting);
  ASSERT_EQ(window.List()->topLevelItemCount(), 2);
  EXPECT_EQ(QStringList({Cell(window, 0, CWndSeries::kName), Cell(window, 0, CWndSeries::kFolder),
                         Cell(window, 0, CWndSeries::kChapters), Cell(window, 1, CWndSeries::kLastCheck)}),
            QStringList({"Tide Keeper", folder, "1 / 2", "gone"}));
  EXPECT_EQ(Cell(window, 0, CWndSeries::kNextCheck),
            checked.addSecs(12 * 3600).toLocalTime().toString("yyyy-MM-dd HH:mm"));

  // The interval applies at once.
  window.HoursBox()->setValue(0);
  EXPECT_EQ(setting.series_check_hours, 0);
  EXPECT_EQ(Cell(window, 0, CWndSeries::kNextCheck), "never");
  window.HoursBox()->setValue(48);
  EXPECT_EQ(Cell(window, 0, CWndSeries::kNextCheck),
            checked.addSecs(48 * 3600).toLocalTime().toString("yyyy-MM-dd HH:mm"));

  // Check now acts on the selected row; no engine can start here, so the record says why.
  EXPECT_FALSE(window.CheckButton()->isEnabled());
  window.List()->topLevelItem(0)->setSelected(true);
  window.CheckButton()->click();
  EXPECT_EQ(manager.Checking(), folder);
  window.Refresh();
  EXPECT_EQ(Cell(window, 0, CWndSeries::kNextCheck), "checking");
  ASSERT_TRUE(testing_support::WaitFor([&] { return manager.Checking().isEmpty(); }));
  EXPECT_TRUE(CSeriesRecord::Load(folder)->lastError.contains("cannot start the engine"));

  // Unfollow keeps every file.
  window.Refresh();
  window.List()->topLevelItem(0)->setSelected(true);
  window.UnfollowButton()->click();
  window.Refresh();
  EXPECT_EQ(window.List()->topLevelItemCount(), 1);
  EXPECT_TRUE(CSeriesRecord::IsSeriesFolder(folder));
  EXPECT_EQ(CSeriesPanel::NoticeText("Tide Keeper", 3), "Tide Keeper\n3 new");
}
