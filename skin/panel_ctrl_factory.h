#pragma once
// FCPanelCtrlFactory: creates the window of a `ctrl` element by its kind (the `name`
// attribute, matched exactly). The base knows "std_button", "panel", "button_3image",
// "button_check" and "button_animation"; a derived factory checks its own kinds first and
// passes every other kind to the base. Any other kind yields no window.
//
// The process-wide factory is created as a base factory on first use; the application
// replaces it once at start-up, before any window is built.
#include <QDomElement>
#include <QRect>
#include <QString>

class QWidget;

class FCPanelCtrlFactory {
public:
  virtual ~FCPanelCtrlFactory() = default;
  /// A new window (a child of `parent`, shown) for the element, or null. `rect` is the
  /// control's rectangle in the parent; picture files are relative to `folder`.
  virtual QWidget* CreateCtrl(const QDomElement& element, const QString& kind, const QRect& rect,
                              QWidget* parent, int ctrlId, const QString& folder);
};

FCPanelCtrlFactory* GetPanelCtrlFactory();
/// Takes ownership; the previous factory is deleted. Null is ignored.
void SetPanelCtrlFactory(FCPanelCtrlFactory* factory);
