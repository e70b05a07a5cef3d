#include "skin/panel_ctrl.h"

#include "skin/panel.h"
#include "skin/panel_ctrl_factory.h"
#include "skin/skin_events.h"
#include "skin/xml_attributes.h"

#include <QApplication>
#include <set>

namespace {

/// Living descriptions; made on first use and freed when it becomes empty.
std::set<FCPanelCtrl*>* registry = nullptr;

} // namespace

FCPanelCtrl::FCPanelCtrl() {
  if (!registry) registry = new std::set<FCPanelCtrl*>;
  registry->insert(this);
}

FCPanelCtrl::~FCPanelCtrl() {
  delete window_.data();
  registry->erase(this);
  if (registry->empty()) {
    delete registry;
    registry = nullptr;
  }
}

const QFont& FCPanelCtrl::DefaultCtrlFont() {
  static const QFont font = [] {
    QFont menu = QApplication::font("QMenu");
    menu.setPointSize(9);
    return menu;
  }();
  return font;
}

void FCPanelCtrl::Load(FCPanel* panel, const QDomElement& element, const QString& folder) {
  container_id = 0;
  delete window_.data();
  window_ = nullptr;
  font_.reset();

  static_cast<FCAttribute_Position&>(*this) = FCAttribute_Position();
  skin_xml::ReadInt(element, "x", x);
  skin_xml::ReadInt(element, "y", y);
  skin_xml::ReadInt(element, "width", width);
  skin_xml::ReadInt(element, "height", height);
  skin_xml::ReadInt(element, "position_x_mode", position_x_mode);
  skin_xml::ReadInt(element, "position_y_mode", position_y_mode);
  skin_xml::ReadInt(element, "resize_x_mode", resize_x_mode);
  skin_xml::ReadInt(element, "resize_y_mode", resize_y_mode);
  skin_xml::ReadInt(element, "to_center_x", to_center_x);
  skin_xml::ReadInt(element, "to_center_y", to_center_y);

  skin_xml::ReadInt(element, "container_id", container_id);
  const QString kind = skin_xml::ReadText(element, "name");
  int ctrlId = 0;
  skin_xml::ReadInt(element, "ctrl_id", ctrlId);

  window_ = GetPanelCtrlFactory()->CreateCtrl(element, kind, QRect(x, y, width, height), panel,
                                              ctrlId, folder);
  if (window_) BuildFont(element);
}

void FCPanelCtrl::BuildFont(const QDomElement& element) {
  QFont font = DefaultCtrlFont();
  bool any = false;
  if (element.hasAttribute("font_name")) {
    font.setFamily(element.attribute("font_name").left(31));
    any = true;
  }
  int value = 0;
  if (skin_xml::ReadInt(element, "point_size", value)) {
    if (value > 0 && value < 500) font.setPointSize(value);
    any = true;
  }
  if (skin_xml::ReadInt(element, "font_weight", value)) {
    font.setWeight(static_cast<QFont::Weight>(qBound(1, value, 1000)));
    any = true;
  }
  if (skin_xml::ReadInt(element, "font_italic", value)) {
    font.setItalic((value & 0xFF) != 0);
    any = true;
  }
  if (skin_xml::ReadInt(element, "font_underline", value)) {
    font.setUnderline((value & 0xFF) != 0);
    any = true;
  }
  if (any) font_ = std::make_unique<QFont>(font);
  window_->setFont(font_ ? *font_ : DefaultCtrlFont());
}

QWidget* FindPanelCtrlWindow(int ctrlId) {
  if (!registry) return nullptr;
  for (FCPanelCtrl* ctrl : *registry)
    if (ctrl->Window() && CtrlIdOf(ctrl->Window()) == ctrlId) return ctrl->Window();
  return nullptr;
}
