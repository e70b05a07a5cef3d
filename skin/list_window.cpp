#include "skin/list_window.h"

#include "skin/panel_ctrl.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

QRect FCListItem_Base::GetVisibleRect() const {
  if (!owner) return Rect();
  return Rect().translated(-owner->HScrollPos(), -owner->VScrollPos());
}

FCLayout_FixLineCount::FCLayout_FixLineCount(int itemsPerLine, int lineHeight)
    : items_per_line_(qMax(1, itemsPerLine)), line_height_(qBound(1, lineHeight, kMaxLineHeight)) {}

void FCLayout_FixLineCount::Layout(FCListWindow& window,
                                   const std::vector<FCListItem_Base*>& items) {
  if (items.empty()) {
    window.ShowVScroll(false); // also puts the position back to 0
    return;
  }
  const QRect client = window.ClientRect();
  const int count = static_cast<int>(items.size());
  const int rows = (count + items_per_line_ - 1) / items_per_line_;
  const int64_t content = int64_t(rows) * line_height_;
  // The width is computed for the scroll bar state this layout will leave.
  int usable = client.width();
  if (content > client.height() && !window.HasVScroll()) usable -= window.ScrollBarExtent();
  else if (content <= client.height() && window.HasVScroll()) usable += window.ScrollBarExtent();
  const int itemWidth = usable / items_per_line_;
  int unionTop = 0, unionBottom = 0;
  for (int i = 0; i < count; ++i) {
    const int left = (i % items_per_line_) * itemWidth;
    const int top = (i / items_per_line_) * line_height_;
    items[i]->SetRect(left, top, left + itemWidth, top + line_height_);
    unionTop = i == 0 ? top : qMin(unionTop, top);
    unionBottom = i == 0 ? top + line_height_ : qMax(unionBottom, top + line_height_);
  }
  // Empty rectangles (no usable width) take no part in the union, as in the platform's rule.
  const int height = itemWidth > 0 ? unionBottom - unionTop : 0;
  if (client.height() < height) {
    if (!window.HasVScroll()) window.ShowVScroll(true);
    window.SetVScrollRange(0, height - 1, client.height());
  } else if (window.HasVScroll()) {
    window.ShowVScroll(false);
  }
}

FCListWindow::FCListWindow(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::ClickFocus);
  vbar_ = new QScrollBar(Qt::Vertical, this);
  vbar_->hide();
  connect(vbar_, &QScrollBar::valueChanged, this, [this](int value) {
    if (!syncing_bar_) OnVScroll(SB_THUMBTRACK, value);
  });
}

FCListWindow::~FCListWindow() {
  layout_.reset();
  tooltip_.reset();
  items_.DeleteAll();
}

void FCListWindow::SetLayout(FCLayout_HandlerBase* layout) { layout_.reset(layout); }

void FCListWindow::AddItem(FCListItem_Base* item) {
  if (!item) return;
  item->owner = this;
  items_.Add(item);
}

void FCListWindow::RemoveItem(int index) { items_.Delete(index); }

int FCListWindow::IndexOfItem(const FCListItem_Base* item) const { return items_.Find(item); }

int FCListWindow::ScrollBarExtent() const {
  return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

QRect FCListWindow::ClientRect() const {
  QRect client = rect();
  if (vscroll_shown_) client.setWidth(qMax(0, client.width() - ScrollBarExtent()));
  return client;
}

void FCListWindow::PlaceScrollBar() {
  const int extent = ScrollBarExtent();
  vbar_->setGeometry(width() - extent, 0, extent, height());
  vbar_->setVisible(vscroll_shown_);
}

void FCListWindow::ShowVScroll(bool show) {
  vscroll_shown_ = show;
  vinfo_.pos = 0;
  PlaceScrollBar();
  SetScrollPos(0);
}

void FCListWindow::SetVScrollRange(int min, int max, int page) {
  vinfo_.min = min;
  vinfo_.max = max;
  vinfo_.page = page;
  SetScrollPos(vinfo_.pos);
}

void FCListWindow::SetScrollPos(int pos) {
  // Like the platform bar: the stored position stays within min .. max - page + 1.
  const int last = qMax(vinfo_.min, vinfo_.max - qMax(0, vinfo_.page) + 1);
  vinfo_.pos = qBound(vinfo_.min, pos, last);
  syncing_bar_ = true;
  vbar_->setRange(vinfo_.min, last);
  vbar_->setPageStep(qMax(0, vinfo_.page));
  vbar_->setSingleStep(kLineStep);
  vbar_->setValue(vinfo_.pos);
  syncing_bar_ = false;
}

void FCListWindow::OnVScroll(int code, int trackPos) {
  if (items_.Count() == 0 || !vscroll_shown_) return;
  const int pageStep = items_[0]->bottom - items_[0]->top;
  int pos = (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) ? trackPos : vinfo_.pos;
  switch (code) {
  case SB_LINEUP: pos -= kLineStep; break;
  case SB_LINEDOWN: pos += kLineStep; break;
  case SB_PAGEUP: pos -= pageStep; break;
  case SB_PAGEDOWN: pos += pageStep; break;
  default: break;
  }
  SetScrollPos(qBound(vinfo_.min, pos, vinfo_.max));
  update();
  UpdateTooltips();
}

void FCListWindow::Relayout() {
  if (!layout_) return;
  std::vector<FCListItem_Base*> items;
  for (const auto& item : items_) items.push_back(item.get());
  layout_->Layout(*this, items);
  PlaceScrollBar();
  UpdateTooltips();
  update();
}

void FCListWindow::UpdateTooltips() {
  tooltip_.reset();
  bool any = false;
  for (const auto& item : items_) any = any || !item->tooltip.isEmpty();
  if (!any) return;
  tooltip_ = std::make_unique<FCToolTip>(this, FCToolTip::TTS_ALWAYSTIP, 250);
  for (int i = 0; i < items_.Count(); ++i)
    if (!items_[i]->tooltip.isEmpty())
      tooltip_->AddTool(100 + i, items_[i]->tooltip, items_[i]->GetVisibleRect());
}

void FCListWindow::HoverTest(const QPoint& clientPos) {
  const QPoint content = clientPos + QPoint(HScrollPos(), VScrollPos());
  for (const auto& item : items_) {
    const bool inside = item->Rect().contains(content);
    if (inside && !item->hovered) {
      item->hovered = 1;
      item->OnItemMouseEnter();
      update(item->GetVisibleRect());
    } else if (!inside && item->hovered) {
      item->hovered = 0;
      item->OnItemMouseLeave();
      update(item->GetVisibleRect());
    }
  }
}

void FCListWindow::OnMouseEnter() { UpdateTooltips(); }

void FCListWindow::OnMouseLeave() {
  if (tooltip_) tooltip_->Hide();
  for (const auto& item : items_) {
    if (!item->hovered) continue;
    item->hovered = 0;
    item->OnItemMouseLeave();
    update(item->GetVisibleRect());
  }
}

bool FCListWindow::event(QEvent* e) {
  HandleHoverEvent(this, e);
  if (e->type() == QEvent::MouseMove) {
    const auto* move = static_cast<QMouseEvent*>(e);
    const QPoint pos = move->position().toPoint();
    // With a button held the user drags: a tip would only cover where the rows go.
    if (tooltip_ && move->buttons() == Qt::NoButton) tooltip_->RelayMouseMove(pos);
    else if (tooltip_) tooltip_->Hide();
    HoverTest(pos);
  }
  return QWidget::event(e);
}

void FCListWindow::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  PlaceScrollBar();
  Relayout();
}

void FCListWindow::mousePressEvent(QMouseEvent* e) {
  // A press starts a click, a drag or a menu: the tip would stay over all of them.
  if (tooltip_) tooltip_->Hide();
  setFocus(Qt::MouseFocusReason);
  update();
  // Every press on the list is the list's: passed on, it would reach the host window, whose
  // hit test could start a window move and take the pointer away from the list.
  e->accept();
}

void FCListWindow::wheelEvent(QWheelEvent* e) {
  const int code = e->angleDelta().y() > 0 ? SB_PAGEUP : SB_PAGEDOWN;
  const QPoint pos = e->position().toPoint();
  // Queued like posted messages: the scroll first, then a hover test at the same point, so
  // the hover follows the scrolled content.
  QMetaObject::invokeMethod(this, [this, code] { OnVScroll(code); }, Qt::QueuedConnection);
  QMetaObject::invokeMethod(this, [this, pos] { HoverTest(pos); }, Qt::QueuedConnection);
  e->accept();
}

void FCListWindow::DrawListBackground(QPainter& painter, int left, int top, int right,
                                      int bottom) {
  painter.fillRect(QRect(left, top, right - left, bottom - top), Qt::white);
}

void FCListWindow::DrawList(QPainter& painter, const QRect& paintRect) {
  const QRect client = ClientRect();
  painter.setFont(FCPanelCtrl::DefaultCtrlFont());
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  DrawListBackground(painter, client.left(), client.top(), client.right() + 1,
                     client.bottom() + 1);
  const QPoint offset(HScrollPos(), VScrollPos());
  for (const auto& item : items_) {
    const QRect screen = item->Rect().translated(-offset);
    if (!screen.intersects(client)) item->OnItemHidden();
    if (!screen.intersects(paintRect)) continue;
    painter.save();
    painter.translate(screen.topLeft());
    item->DrawListItem(painter, 0, 0, screen.width(), screen.height());
    painter.restore();
  }
}

void FCListWindow::paintEvent(QPaintEvent* e) {
  const QRect client = ClientRect();
  const QRect paintRect = e->rect() & client;
  if (paintRect.isEmpty()) return;
  QImage buffer(client.size(), QImage::Format_ARGB32_Premultiplied);
  if (buffer.isNull()) return;
  {
    QPainter painter(&buffer);
    DrawList(painter, paintRect);
  }
  QPainter painter(this);
  painter.drawImage(paintRect.topLeft(), buffer, paintRect);
}
