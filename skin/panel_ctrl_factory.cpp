#include "skin/panel_ctrl_factory.h"

#include "skin/button_3image.h"
#include "skin/button_animation.h"
#include "skin/button_check.h"
#include "skin/panel.h"
#include "common/skin_loader.h"
#include "skin/skin_events.h"
#include "skin/xml_attributes.h"

#include <QPushButton>
#include <memory>

namespace {

std::unique_ptr<FCPanelCtrlFactory>& CurrentFactory() {
  static std::unique_ptr<FCPanelCtrlFactory> factory;
  return factory;
}

template <class Button>
QWidget* MakeImageButton(const QDomElement& element, const QRect& rect, QWidget* parent,
                         int ctrlId, const QString& folder) {
  auto* button = new Button(parent);
  button->Load(element, folder); // attributes before the window is placed and shown
  SetCtrlId(button, ctrlId);
  button->setGeometry(rect.x(), rect.y(), qMax(0, rect.width()), qMax(0, rect.height()));
  button->show();
  return button;
}

} // namespace

QWidget* FCPanelCtrlFactory::CreateCtrl(const QDomElement& element, const QString& kind,
                                        const QRect& rect, QWidget* parent, int ctrlId,
                                        const QString& folder) {
  if (kind == QLatin1String("std_button")) {
    auto* button = new QPushButton(FCSkinLoader::SkinText(skin_xml::ReadText(element, "text")), parent);
    SetCtrlId(button, ctrlId);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setGeometry(rect.x(), rect.y(), qMax(0, rect.width()), qMax(0, rect.height()));
    QObject::connect(button, &QPushButton::clicked, button,
                     [button, ctrlId] { SendCommandToParent(button, ctrlId, BN_CLICKED); });
    button->show();
    return button;
  }
  if (kind == QLatin1String("panel")) {
    auto* panel = new FCPanel;
    panel->Create(parent, rect);
    panel->Load(element, folder);
    panel->show();
    return panel;
  }
  if (kind == QLatin1String("button_3image"))
    return MakeImageButton<FCButton3Image>(element, rect, parent, ctrlId, folder);
  if (kind == QLatin1String("button_check"))
    return MakeImageButton<FCButtonCheck>(element, rect, parent, ctrlId, folder);
  if (kind == QLatin1String("button_animation"))
    return MakeImageButton<FCButtonAnimation>(element, rect, parent, ctrlId, folder);
  return nullptr;
}

FCPanelCtrlFactory* GetPanelCtrlFactory() {
  auto& factory = CurrentFactory();
  if (!factory) factory = std::make_unique<FCPanelCtrlFactory>();
  return factory.get();
}

void SetPanelCtrlFactory(FCPanelCtrlFactory* factory) {
  if (factory && factory != CurrentFactory().get()) CurrentFactory().reset(factory);
}
