#pragma once
// CSeriesPanel: Folivex's part in following series. It owns the series manager (checks
// every "series_check_hours" while Folivex runs), the Series window (made when first opened),
// and turns a check's new chapters into a tray notice ("Tide Keeper: 2 new chapters").
// The main window owns the panel for its whole life.
#include "core/series_manager.h"
#include "gui/wnd_series.h"

#include <QPointer>
#include <functional>

class CSetting;
class CTaskManager;
class QWidget;

class CSeriesPanel : private FISeriesListener {
public:
  /// Shows one notice (title, text); the main window's tray.
  using NoticeSink = std::function<void(const QString& title, const QString& text)>;

  /// `tasks` and `setting` must outlive the panel. The manager's timer starts here.
  CSeriesPanel(CTaskManager& tasks, CSetting& setting, NoticeSink notice);
  ~CSeriesPanel() override;

  /// Shows the Series window over `parent` (made on first use) and brings it to the front.
  void Open(QWidget* parent);
  CSeriesManager& Manager() { return manager_; }
  CWndSeries* Window() const { return window_; }

  /// The notice text: "Tide Keeper\n2 new chapters".
  static QString NoticeText(const QString& series, int count);

private:
  void OnSeriesChanged() override;
  void OnNewChapters(const QString& series, int count) override;

  CSetting& setting_;
  CSeriesManager manager_;
  NoticeSink notice_;
  QPointer<CWndSeries> window_;
};
