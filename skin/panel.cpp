#include "skin/panel.h"

#include "skin/skin_events.h"
#include "skin/xml_attributes.h"

#include <QPaintEvent>
#include <QPainter>

FCPanel::FCPanel(QWidget* parent) : QWidget(parent) {
  // The panel paints every pixel itself or through its parent; no separate erase.
  setAttribute(Qt::WA_NoSystemBackground);
}

FCPanel::~FCPanel() {
  // Control windows are deleted by their descriptions before the widget goes.
  ctrls_.DeleteAll();
}

void FCPanel::Create(QWidget* parent, const QRect& rect) {
  stored_width_ = rect.width();
  stored_height_ = rect.height();
  hide();
  setParent(parent);
  setGeometry(rect);
  SetCtrlId(this, 0);
}

void FCPanel::Load(const QDomElement& element, const QString& folder) {
  fill_.Load(element, folder);
  filter_.draw_filter = 1;
  skin_xml::ReadInt(element, "draw_filter", filter_.draw_filter);
  static int depth = 0; // user-interface thread only
  if (depth >= kMaxNesting) return;
  ++depth;
  for (QDomElement child = element.firstChildElement(); !child.isNull();
       child = child.nextSiblingElement()) {
    if (child.tagName().compare(QLatin1String("ctrl"), Qt::CaseInsensitive) != 0) continue;
    auto* ctrl = new FCPanelCtrl;
    ctrls_.Add(ctrl);
    ctrl->Load(this, child, folder);
  }
  --depth;
}

bool FCPanel::event(QEvent* e) {
  if (e->type() == FCCommandEvent::EventType()) {
    auto* command = static_cast<FCCommandEvent*>(e);
    command->result = SendCommandToParent(this, command->ctrlId, command->code);
    return true;
  }
  if (e->type() == FCDrawParentPanelEvent::EventType()) {
    auto* request = static_cast<FCDrawParentPanelEvent*>(e);
    if (fill_.fill_type != FCAttribute_Fill::FILL_NONE && request->painter && request->child) {
      const QPoint offset = request->child->mapTo(this, QPoint(0, 0));
      fill_.Draw(*request->painter, filter_.ActiveDrawFilter(), rect().translated(-offset));
    }
    request->answer = kDrawParentAnswer;
    return true;
  }
  return QWidget::event(e);
}

void FCPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (fill_.fill_type != FCAttribute_Fill::FILL_NONE)
    fill_.Draw(painter, filter_.ActiveDrawFilter(), rect());
  else
    DrawParentBackground(this, painter);
}

void FCPanel::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  LayoutControls(width(), height());
}

void FCPanel::LayoutControls(int newWidth, int newHeight) {
  // An empty client area (a minimised window) leaves the layout alone, so restoring the
  // old size changes nothing either.
  if (newWidth <= 0 || newHeight <= 0) return;
  if (newWidth == stored_width_ && newHeight == stored_height_) return;
  for (const auto& ctrl : ctrls_) {
    QWidget* window = ctrl->Window();
    if (!window) continue; // descriptions without a window take no part in layout
    ctrl->OnParentResize(stored_width_, stored_height_, newWidth, newHeight);
    window->setGeometry(ctrl->x, ctrl->y, qMax(0, ctrl->width), qMax(0, ctrl->height));
  }
  stored_width_ = newWidth;
  stored_height_ = newHeight;
}
