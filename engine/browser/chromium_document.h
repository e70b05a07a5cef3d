#pragma once
// The document model of a Chromium view: the current page document, element collections and
// elements. Everything is read from the engine's isolated script world of the page.
//
// A collection is a snapshot taken in one round trip (its elements and their kinds). A
// property is read for one element at first; as soon as a second element of the same
// collection is asked for it, the property is read for the whole collection in one round
// trip. Values read this way stay valid until control returns to the event loop or a call
// that runs page code (click, fireEvent, value or selection writes), whichever comes first;
// after that the counting starts again with single reads.
#include "engine/browser/document.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonValue>
#include <memory>
#include <vector>

namespace engine {

class CChromiumView;

/// Shared by a view and every handle made from it; the view clears it when it dies, so a
/// handle that outlives its view fails with DocumentError instead of touching freed memory.
struct ViewLink {
  CChromiumView* view = nullptr;
};

/// One collection as the page world holds it.
struct ElementList {
  std::shared_ptr<ViewLink> link;
  int listId = 0;
  quint64 epoch = 0; ///< the view's document epoch when the list was made
  std::vector<int> kinds;
  QHash<QString, QJsonArray> columns; ///< property -> values of the whole collection
  QHash<QString, int> singleReads;    ///< property -> reads of single elements so far
  quint64 cacheGeneration = 0;        ///< of `columns`

  ~ElementList();
};

class CChromiumElement : public FIHTMLElement {
public:
  CChromiumElement(std::shared_ptr<ElementList> list, int index);

  bool Is(ElementKind kind) override;
  QString innerText() override { return ReadString(QStringLiteral("innerText")); }
  QString outerHTML() override { return ReadString(QStringLiteral("outerHTML")); }
  QString id() override { return ReadString(QStringLiteral("id")); }
  QString href() override { return ReadString(QStringLiteral("href")); }
  QString src() override { return ReadString(QStringLiteral("src")); }
  QString imageSource() override { return ReadString(QStringLiteral("imageSource")); }
  QString value() override { return ReadString(QStringLiteral("value")); }
  void setValue(const QString& value) override;
  int offsetLeft() override { return ReadInt(QStringLiteral("offsetLeft")); }
  int offsetTop() override { return ReadInt(QStringLiteral("offsetTop")); }
  int offsetWidth() override { return ReadInt(QStringLiteral("offsetWidth")); }
  int offsetHeight() override { return ReadInt(QStringLiteral("offsetHeight")); }
  void setSelectedIndex(int index) override;
  QString text() override { return ReadString(QStringLiteral("text")); }
  QString linkHref() override { return ReadString(QStringLiteral("linkHref")); }
  std::unique_ptr<FIElementCollection> options() override;
  QByteArray canvasPicture() override;
  void click() override;
  void fireEvent(const QString& name, const EventObject* event) override;
  QStringList labels() override;
  bool disabled() override;
  void clickAtCentre() override;
  bool hasClickHandler() override;

private:
  QJsonValue Read(const QString& property);
  QString ReadString(const QString& property);
  int ReadInt(const QString& property);
  CChromiumView& View();

  std::shared_ptr<ElementList> list_;
  int index_;
};

class CChromiumCollection : public FIElementCollection {
public:
  explicit CChromiumCollection(std::shared_ptr<ElementList> list) : list_(std::move(list)) {}
  int length() override { return int(list_->kinds.size()); }
  std::unique_ptr<FIHTMLElement> item(int index) override;

private:
  std::shared_ptr<ElementList> list_;
};

class CChromiumDocument : public FIHTMLDocument {
public:
  explicit CChromiumDocument(std::shared_ptr<ViewLink> link) : link_(std::move(link)) {}

  QString title() override;
  QString language() override;
  QString documentText() override;
  std::unique_ptr<FIElementCollection> all() override;
  std::unique_ptr<FIElementCollection> getElementsByTagName(const QString& tag) override;
  std::unique_ptr<FIHTMLElement> getElementById(const QString& id) override;
  QString url() override;
  std::unique_ptr<FIElementCollection> controls() override;
  std::vector<ItemRow> itemRows() override;
  ImagePresence imageShown(const QString& url) override;
  QStringList backgroundImageSources() override;
  QString foreignFrame() override;

private:
  CChromiumView& View();

  std::shared_ptr<ViewLink> link_;
};

} // namespace engine
