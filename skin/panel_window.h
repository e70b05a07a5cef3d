#pragma once
// FCPanelWindowT: a top-level window (over QWidget or QDialog) whose content is built from a
// panel description: the root element gives the client size, the smallest size while the
// user resizes (`min_size`), the initial position (`init_pos`) and the border; its `panel`
// child becomes the root FCPanel covering the whole window, its `mask` child a fill that
// shapes the window when `border` is 1.
//
// Border 1: the window has no system frame; its shape is the region of mask pixels whose
// blue component is not 0 (black is cut away), rebuilt on every resize. Moving and resizing
// go through OnHitTest: a left press where it answers HTCAPTION moves the window once the
// pointer has gone the drag distance with the button held, so a click and both clicks of a
// double click stay with the window. On X11 the window follows the pointer itself from the
// press on (a window manager's move would start only where the pointer is by then); elsewhere
// the window system moves it. A press on a border code resizes it at once, through the window
// system.
#include "skin/attribute_fill.h"
#include "skin/panel.h"
#include "skin/xml_attributes.h"

#include <QDomElement>
#include <QGuiApplication>
#include <QStyleHints>
#include <QMouseEvent>
#include <QRegion>
#include <QResizeEvent>
#include <QWidget>
#include <QWindow>
#include <memory>

/// Hit-test codes.
enum : int {
  HTCLIENT = 1,
  HTCAPTION = 2,
  HTLEFT = 10,
  HTRIGHT = 11,
  HTTOP = 12,
  HTTOPLEFT = 13,
  HTTOPRIGHT = 14,
  HTBOTTOM = 15,
  HTBOTTOMLEFT = 16,
  HTBOTTOMRIGHT = 17,
};

namespace panel_window {

/// Largest window width or height a description may ask for.
constexpr int kMaxWindowSide = 8192;

/// What a description file gives the host window.
struct Description {
  QDomDocument document;
  QDomElement root;
  QDomElement panel;
  QString folder; ///< folder of the file, ending with "/"
};

/// Reads the file; false when it cannot be read or parsed, or has no `panel` child.
bool ReadDescription(const QString& path, Description& out);
/// The window region for a mask drawn over `size`: every pixel whose blue component is not 0.
QRegion MaskRegion(const FCAttribute_Fill& mask, const QSize& size);
/// The window-system edges of a border hit-test code (none for others).
Qt::Edges EdgesOf(int hitTest);
/// The border rule of skinned windows for a point in window coordinates: 10-pixel corner
/// squares, then 4-pixel edges; HTCAPTION elsewhere inside (so the surface drags).
int BorderHitTest(const QSize& windowSize, const QPoint& pos);

} // namespace panel_window

template <class TBase>
class FCPanelWindowT : public TBase {
public:
  explicit FCPanelWindowT(QWidget* parent = nullptr) : TBase(parent) {}
  ~FCPanelWindowT() override { ClearSkin(); }

  /// Builds (or rebuilds) the window's skin from the description file. A file that cannot be
  /// read, or has no `panel`, leaves the window as it is without a panel; a size of 0 leaves
  /// it without a panel too. Returns whether a root panel was built.
  bool LoadPanelDescription(const QString& path);

  FCPanel* RootPanel() const { return panel_.get(); }
  const FCAttribute_Fill* Mask() const { return mask_.get(); }
  QSize MinTrackSize() const { return QSize(min_width_, min_height_); }
  int Border() const { return border_; }

protected:
  /// Lets a derived window read attributes of its own from the root element.
  virtual void OnLoadPanelDescription(const QDomElement& root) {}
  /// Where a left press at `pos` (window coordinates) lands: HTCLIENT by default.
  virtual int OnHitTest(const QPoint& pos) { return HTCLIENT; }

  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

private:
  void ClearSkin();

  bool move_pending_ = false; ///< a left press on the caption, not yet a move
  bool moving_ = false;       ///< the window follows the pointer (X11)
  QPoint move_press_;         ///< where the press was, in screen coordinates
  QPoint move_origin_;        ///< where the window was then

  std::unique_ptr<FCAttribute_Fill> mask_;
  std::unique_ptr<FCPanel> panel_;
  int min_width_ = 0;
  int min_height_ = 0;
  int border_ = 0;
};

template <class TBase>
void FCPanelWindowT<TBase>::ClearSkin() {
  mask_.reset();
  panel_.reset();
  min_width_ = min_height_ = 0;
  border_ = 0;
}

template <class TBase>
bool FCPanelWindowT<TBase>::LoadPanelDescription(const QString& path) {
  ClearSkin();
  this->setMinimumSize(0, 0);
  this->clearMask();
  panel_window::Description description;
  if (!panel_window::ReadDescription(path, description)) return false;
  OnLoadPanelDescription(description.root);
  int width = 0, height = 0;
  skin_xml::ReadInt(description.root, "width", width);
  skin_xml::ReadInt(description.root, "height", height);
  if (width <= 0 || height <= 0) return false;
  // A description is user-edited: a size no screen has would only exhaust memory.
  width = qMin(width, panel_window::kMaxWindowSide);
  height = qMin(height, panel_window::kMaxWindowSide);

  int minW = 0, minH = 0;
  if (skin_xml::ReadPair(description.root, "min_size", minW, minH)) {
    min_width_ = qMin(minW, panel_window::kMaxWindowSide);
    min_height_ = qMin(minH, panel_window::kMaxWindowSide);
  }
  const QDomElement maskElement = skin_xml::FirstChild(description.root, "mask");
  if (!maskElement.isNull()) {
    mask_ = std::make_unique<FCAttribute_Fill>();
    mask_->Load(maskElement, description.folder);
  }
  skin_xml::ReadInt(description.root, "border", border_);
  int posX = 0, posY = 0;
  const bool move = skin_xml::ReadPair(description.root, "init_pos", posX, posY);

  const bool frameless = border_ != 0;
  if (this->windowFlags().testFlag(Qt::FramelessWindowHint) != frameless) {
    const bool visible = this->isVisible();
    this->setWindowFlag(Qt::FramelessWindowHint, frameless);
    if (visible) this->show();
  }
  if (min_width_ > 0 && min_height_ > 0) this->setMinimumSize(min_width_, min_height_);
  this->resize(width, height);
  if (move) this->move(posX, posY);

  panel_ = std::make_unique<FCPanel>();
  panel_->Create(this, QRect(0, 0, width, height));
  panel_->Load(description.panel, description.folder);
  panel_->setGeometry(0, 0, this->width(), this->height());
  panel_->show();
  if (border_ == 1 && mask_) this->setMask(panel_window::MaskRegion(*mask_, this->size()));
  return true;
}

template <class TBase>
void FCPanelWindowT<TBase>::resizeEvent(QResizeEvent* e) {
  TBase::resizeEvent(e);
  if (this->rect().isEmpty()) return;
  if (panel_) panel_->setGeometry(0, 0, this->width(), this->height());
  if (border_ == 1 && mask_) this->setMask(panel_window::MaskRegion(*mask_, this->size()));
}

template <class TBase>
void FCPanelWindowT<TBase>::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) {
    const int hit = OnHitTest(e->position().toPoint());
    QWindow* window = this->window()->windowHandle();
    if (window && hit == HTCAPTION) {
      move_pending_ = true;
      move_press_ = e->globalPosition().toPoint();
      move_origin_ = this->window()->pos();
      e->accept();
      return;
    }
    const Qt::Edges edges = panel_window::EdgesOf(hit);
    if (window && edges) {
      window->startSystemResize(edges);
      return;
    }
  }
  TBase::mousePressEvent(e);
}

template <class TBase>
void FCPanelWindowT<TBase>::mouseMoveEvent(QMouseEvent* e) {
  QWindow* window = this->window()->windowHandle();
  const QPoint delta = e->globalPosition().toPoint() - move_press_;
  if (moving_ && (e->buttons() & Qt::LeftButton)) {
    this->window()->move(move_origin_ + delta);
    return;
  }
  if (move_pending_ && window && (e->buttons() & Qt::LeftButton)) {
    if (delta.manhattanLength() < QGuiApplication::styleHints()->startDragDistance()) return;
    move_pending_ = false;
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
      moving_ = true;
      this->window()->move(move_origin_ + delta);
    } else {
      window->startSystemMove();
    }
    return;
  }
  TBase::mouseMoveEvent(e);
}

template <class TBase>
void FCPanelWindowT<TBase>::mouseReleaseEvent(QMouseEvent* e) {
  move_pending_ = false;
  moving_ = false;
  TBase::mouseReleaseEvent(e);
}
