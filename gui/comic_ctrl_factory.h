#pragma once
// CComicCtrlFactory: the front-end's skin control factory. It builds the application's own
// controls, "task_list" (CWndTaskList), "status" (the news strip CNewsStrip) and "title"
// (CWndTitle), and passes every other kind to the framework's factory.
#include "skin/panel_ctrl_factory.h"

class CTaskManager;

class CComicCtrlFactory : public FCPanelCtrlFactory {
public:
  /// `tasks` feeds the task list; it must outlive every window this factory builds.
  explicit CComicCtrlFactory(CTaskManager& tasks) : tasks_(tasks) {}
  QWidget* CreateCtrl(const QDomElement& element, const QString& kind, const QRect& rect,
                      QWidget* parent, int ctrlId, const QString& folder) override;

private:
  CTaskManager& tasks_;
};
