#pragma once
// FCPanelCtrl: one `ctrl` element of a panel description: its position, the window the
// factory created for it (owned; none for an unknown kind) and its font (owned, or none when
// the default control font is used).
//
// Every living description is kept in a process-wide registry, so FindPanelCtrlWindow can
// reach skin controls by identifier. User-interface thread only.
#include "skin/attribute_position.h"

#include <QDomElement>
#include <QFont>
#include <QPointer>
#include <QWidget>
#include <memory>

class FCPanel;

class FCPanelCtrl : public FCAttribute_Position {
public:
  FCPanelCtrl();
  ~FCPanelCtrl() override;
  FCPanelCtrl(const FCPanelCtrl&) = delete;
  FCPanelCtrl& operator=(const FCPanelCtrl&) = delete;

  /// Reads the element and creates the control's window in `panel` through the current
  /// factory. Picture files are relative to `folder`.
  void Load(FCPanel* panel, const QDomElement& element, const QString& folder);

  QWidget* Window() const { return window_.data(); }
  const QFont* Font() const { return font_.get(); }

  int container_id = 0; ///< kept with the description; nothing depends on it

  /// The font of controls whose description names none: the menu font at 9 points, made once.
  static const QFont& DefaultCtrlFont();

private:
  void BuildFont(const QDomElement& element);

  QPointer<QWidget> window_;
  std::unique_ptr<QFont> font_;
};

/// A window created from a description with control identifier `ctrlId`, or null. With
/// several matches, any one of them.
QWidget* FindPanelCtrlWindow(int ctrlId);
