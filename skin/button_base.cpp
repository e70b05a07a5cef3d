#include "skin/button_base.h"

#include "skin/panel_ctrl.h"
#include "skin/skin_events.h"
#include "common/skin_loader.h"
#include "skin/xml_attributes.h"

#include <QMouseEvent>
#include <QPainter>

FCButtonBase::FCButtonBase(QWidget* parent) : QAbstractButton(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent); // every pixel comes from the off-screen picture
  connect(this, &QAbstractButton::clicked, this,
          [this] { SendCommandToParent(this, CtrlIdOf(this), BN_CLICKED); });
}

FCButtonBase::~FCButtonBase() = default;

void FCButtonBase::LoadButtonAttributes(const QDomElement& element, const QString& folder) {
  tooltip_text_ = FCSkinLoader::SkinText(skin_xml::ReadText(element, "tooltip"))
                      .replace(QLatin1String("\\n"), QLatin1String("\n"));
  background_ = std::make_unique<FCAttribute_Fill>();
  background_->Load(element, folder);
  draw_filter = 1;
  skin_xml::ReadInt(element, "draw_filter", draw_filter);
}

void FCButtonBase::SetCheck(int state) {
  check_ = state;
  update();
}

void FCButtonBase::SetButtonCursor(const std::optional<QCursor>& cursor) {
  cursor_ = cursor;
  if (cursor_) setCursor(*cursor_);
  else unsetCursor();
}

void FCButtonBase::OnMouseEnter() {
  tooltip_.reset();
  if (tooltip_text_.isEmpty()) return;
  tooltip_ = std::make_unique<FCToolTip>(this, tooltip_style_, tooltip_delay_);
  tooltip_->AddTool(100, tooltip_text_, rect());
}

void FCButtonBase::OnMouseLeave() { tooltip_.reset(); }

bool FCButtonBase::event(QEvent* e) {
  HandleHoverEvent(this, e);
  if (tooltip_ && e->type() == QEvent::MouseMove)
    tooltip_->RelayMouseMove(static_cast<QMouseEvent*>(e)->position().toPoint());
  if (tooltip_ && (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::Wheel))
    tooltip_->Hide();
  if (e->type() == QEvent::ToolTip) return true; // our own tooltip control shows the text
  return QAbstractButton::event(e);
}

void FCButtonBase::Render(QPainter& painter) {
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  if (background_) {
    if (background_->fill_type != FCAttribute_Fill::FILL_NONE)
      background_->Draw(painter, ActiveDrawFilter(), rect());
    else
      DrawParentBackground(this, painter);
  }
  painter.setFont(FCPanelCtrl::DefaultCtrlFont());
  DrawButton(painter, 0, 0, width(), height());
}

QImage FCButtonBase::RenderButton() {
  QImage buffer(size(), QImage::Format_ARGB32_Premultiplied);
  buffer.fill(Qt::transparent);
  if (buffer.isNull()) return buffer;
  QPainter painter(&buffer);
  Render(painter);
  return buffer;
}

void FCButtonBase::paintEvent(QPaintEvent*) {
  const QImage buffer = RenderButton();
  QPainter painter(this);
  painter.drawImage(0, 0, buffer);
}

void CutStateImage(const QString& folder, const QString& fileName, FCSkinImage* states3) {
  for (int i = 0; i < 3; ++i) states3[i].Clear();
  const QString path = skin_xml::JoinPath(folder, fileName);
  FCObjImage image;
  if (fileName.isEmpty() || path.isEmpty() || !image.LoadFromFile(path)) return;
  if (image.Width() % 3 != 0) return;
  const int w = image.Width() / 3;
  for (int i = 0; i < 3; ++i) {
    FCObjImage part;
    image.CopyRegion(part, i * w, 0, (i + 1) * w, image.Height());
    states3[i].SetFromImage(part);
  }
}

const FCSkinImage& ChooseState(const FCSkinImage* states3, bool pressed, bool hovering) {
  return states3[pressed ? 2 : hovering ? 1 : 0];
}
