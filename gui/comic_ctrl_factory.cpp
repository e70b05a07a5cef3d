#include "gui/comic_ctrl_factory.h"

#include "gui/news_strip.h"
#include "gui/wnd_task_list.h"
#include "gui/wnd_title.h"
#include "skin/skin_events.h"
#include "skin/xml_attributes.h"

#include <QPalette>

QWidget* CComicCtrlFactory::CreateCtrl(const QDomElement& element, const QString& kind,
                                       const QRect& rect, QWidget* parent, int ctrlId,
                                       const QString& folder) {
  QWidget* window = nullptr;
  if (kind == QLatin1String("task_list")) {
    window = new CWndTaskList(tasks_, element, folder, parent);
  } else if (kind == QLatin1String("status")) {
    auto* strip = new CNewsStrip(parent);
    strip->Create(element, folder); // no configured site: the strip stays empty
    window = strip;
  } else if (kind == QLatin1String("title")) {
    auto* title = new CWndTitle(parent);
    title->LoadButtonAttributes(element, folder);
    window = title;
    // The title is drawn over the skin's own band: the skin may give its text colour.
    int rgb[3] = {0, 0, 0};
    if (skin_xml::ReadInts(element, "text_color", rgb, 3) == 3) {
      QPalette palette = window->palette();
      palette.setColor(QPalette::WindowText, QColor(rgb[0] & 255, rgb[1] & 255, rgb[2] & 255));
      window->setPalette(palette);
    }
  } else {
    return FCPanelCtrlFactory::CreateCtrl(element, kind, rect, parent, ctrlId, folder);
  }
  SetCtrlId(window, ctrlId);
  window->setGeometry(rect);
  window->show();
  return window;
}
