#pragma once
// FCPanel: a child window built from a `panel` element: it paints its fill, lays out its
// controls when it is resized and forwards their commands to its parent.
//
// Mouse input is never taken by a panel: its (ignored) mouse events travel on to the window
// beneath, so a click on a panel's background reaches the host window. A panel with fill
// type 0 asks its parent panel to paint the background under it (DrawParentPanel); a parent
// that is no panel gives its background colour.
#include "common/auto_ptr_list.h"
#include "skin/attribute_draw_filter.h"
#include "skin/attribute_fill.h"
#include "skin/panel_ctrl.h"

#include <QDomElement>
#include <QWidget>

class FCPanel : public QWidget {
  Q_OBJECT
public:
  explicit FCPanel(QWidget* parent = nullptr);
  ~FCPanel() override;

  /// Places the panel in `parent` at `rect` (hidden). The rectangle's size is the size the
  /// controls are laid out for.
  void Create(QWidget* parent, const QRect& rect);
  /// Panels nested deeper than this build no controls (a hostile description could otherwise
  /// exhaust the stack).
  static constexpr int kMaxNesting = 32;

  /// Reads fill, draw_filter and the `ctrl` children (any case) in document order.
  void Load(const QDomElement& element, const QString& folder);

  const FCAttribute_Fill& Fill() const { return fill_; }
  const FCAttribute_DrawFilter& DrawFilterFlag() const { return filter_; }
  const FCAutoPtrList<FCPanelCtrl>& Controls() const { return ctrls_; }
  QSize StoredSize() const { return QSize(stored_width_, stored_height_); }

protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

private:
  void LayoutControls(int newWidth, int newHeight);

  FCAttribute_Fill fill_;
  FCAttribute_DrawFilter filter_;
  FCAutoPtrList<FCPanelCtrl> ctrls_;
  int stored_width_ = 0;
  int stored_height_ = 0;
};
