#include "engine/browser/chromium_document.h"

#include "engine/browser/chromium_view.h"

namespace engine {

namespace {
int KindBit(ElementKind kind) {
  switch (kind) {
  case ElementKind::Anchor: return 1;
  case ElementKind::Image: return 2;
  case ElementKind::Select: return 4;
  case ElementKind::Option: return 8;
  case ElementKind::Input: return 16;
  case ElementKind::InputButton: return 32;
  case ElementKind::Button: return 64;
  case ElementKind::Canvas: return 128;
  }
  return 0;
}

CChromiumView& LinkedView(const std::shared_ptr<ViewLink>& link) {
  if (!link || !link->view) throw DocumentError("the browser view is gone");
  return *link->view;
}

// Turns a helper answer [id, kinds] into a list; throws on anything else.
std::shared_ptr<ElementList> MakeList(const std::shared_ptr<ViewLink>& link,
                                      const QJsonValue& answer, quint64 epoch) {
  const QJsonArray pair = answer.toArray();
  if (pair.size() != 2 || !pair[0].isDouble() || !pair[1].isArray())
    throw DocumentError("unexpected answer from the page");
  auto list = std::make_shared<ElementList>();
  list->link = link;
  list->listId = pair[0].toInt();
  list->epoch = epoch;
  const QJsonArray kinds = pair[1].toArray();
  list->kinds.reserve(size_t(kinds.size()));
  for (const QJsonValue& k : kinds) list->kinds.push_back(k.toInt());
  return list;
}
} // namespace

ElementList::~ElementList() {
  if (link && link->view) link->view->ReleaseList(listId, epoch);
}

// ---- element

CChromiumElement::CChromiumElement(std::shared_ptr<ElementList> list, int index)
    : list_(std::move(list)), index_(index) {}

CChromiumView& CChromiumElement::View() { return LinkedView(list_->link); }

bool CChromiumElement::Is(ElementKind kind) {
  return (list_->kinds[size_t(index_)] & KindBit(kind)) != 0;
}

QJsonValue CChromiumElement::Read(const QString& property) {
  CChromiumView& view = View();
  ElementList& list = *list_;
  if (list.cacheGeneration != view.CacheGeneration()) {
    // Page code may have run: what was read is stale, and so is the sign of a walk. A loop
    // that clicks each element between its reads (the link search) must not read the whole
    // collection again for every element: its reads stay single until a second element
    // asks again within one generation.
    list.columns.clear();
    list.singleReads.clear();
    list.cacheGeneration = view.CacheGeneration();
  }
  auto column = list.columns.constFind(property);
  if (column == list.columns.constEnd() && list.kinds.size() > 1 &&
      list.singleReads.value(property) >= 1) {
    // A second element asks for the same property: this is a walk, read them all at once.
    const QJsonValue all = view.Run(QStringLiteral("column"),
                                    {list.listId, property}, list.epoch);
    if (!all.isArray() || all.toArray().size() != qsizetype(list.kinds.size()))
      throw DocumentError("unexpected answer from the page");
    column = list.columns.insert(property, all.toArray());
    view.KeepCacheUntilIdle();
  }
  if (column != list.columns.constEnd()) return column->at(index_);
  list.singleReads[property] += 1;
  return view.Run(QStringLiteral("read"), {list.listId, index_, property}, list.epoch);
}

QString CChromiumElement::ReadString(const QString& property) {
  const QJsonValue v = Read(property);
  if (!v.isString()) throw DocumentError("unexpected answer from the page");
  return v.toString();
}

int CChromiumElement::ReadInt(const QString& property) {
  const QJsonValue v = Read(property);
  if (!v.isDouble()) throw DocumentError("unexpected answer from the page");
  return int(v.toDouble());
}

void CChromiumElement::setValue(const QString& value) {
  View().Run(QStringLiteral("setValue"), {list_->listId, index_, value}, list_->epoch,
             CChromiumView::RunsPageCode);
}

void CChromiumElement::setSelectedIndex(int index) {
  View().Run(QStringLiteral("setSelectedIndex"), {list_->listId, index_, index}, list_->epoch,
             CChromiumView::RunsPageCode);
}

std::unique_ptr<FIElementCollection> CChromiumElement::options() {
  // The list belongs to the element's document: a handle of a left page fails.
  CChromiumView& view = View();
  const QJsonValue answer =
      view.Run(QStringLiteral("options"), {list_->listId, index_}, list_->epoch);
  return std::make_unique<CChromiumCollection>(MakeList(list_->link, answer, list_->epoch));
}

QByteArray CChromiumElement::canvasPicture() {
  CChromiumView& view = View();
  const QJsonArray answer =
      view.Run(QStringLiteral("canvasPicture"), {list_->listId, index_}, list_->epoch).toArray();
  const QString kind = answer.at(0).toString();
  if (kind == QLatin1String("blank")) return {};
  if (kind == QLatin1String("png")) {
    const auto png = QByteArray::fromBase64Encoding(answer.at(1).toString().toLatin1(),
                                                    QByteArray::AbortOnBase64DecodingErrors);
    if (!png) throw DocumentError("unexpected answer from the page");
    return png.decoded;
  }
  if (kind != QLatin1String("box") || answer.size() != 5)
    throw DocumentError("unexpected answer from the page");
  // Drawn from another site's pictures: the page may not read it, the browser may show it.
  return view.PictureOfBox(answer[1].toDouble(), answer[2].toDouble(), answer[3].toDouble(),
                           answer[4].toDouble());
}

void CChromiumElement::click() {
  View().Run(QStringLiteral("click"), {list_->listId, index_}, list_->epoch,
             CChromiumView::MayNavigate);
}

void CChromiumElement::fireEvent(const QString& name, const EventObject* event) {
  View().Run(QStringLiteral("fire"), {list_->listId, index_, name, event ? event->keyCode : 0},
             list_->epoch, CChromiumView::MayNavigate);
}

QStringList CChromiumElement::labels() {
  const QJsonValue v = Read(QStringLiteral("labels"));
  if (!v.isArray()) throw DocumentError("unexpected answer from the page");
  QStringList labels;
  for (const QJsonValue& label : v.toArray()) labels << label.toString();
  return labels;
}

bool CChromiumElement::disabled() {
  const QJsonValue v = Read(QStringLiteral("disabled"));
  if (!v.isBool()) throw DocumentError("unexpected answer from the page");
  return v.toBool();
}

void CChromiumElement::clickAtCentre() { View().ClickAtCentre(list_->listId, index_, list_->epoch); }

bool CChromiumElement::hasClickHandler() {
  return View().HasClickHandler(list_->listId, index_, list_->epoch);
}

// ---- collection

std::unique_ptr<FIHTMLElement> CChromiumCollection::item(int index) {
  if (index < 0 || size_t(index) >= list_->kinds.size()) return nullptr;
  return std::make_unique<CChromiumElement>(list_, index);
}

// ---- document

CChromiumView& CChromiumDocument::View() { return LinkedView(link_); }

QString CChromiumDocument::title() {
  const QJsonValue v = View().Run(QStringLiteral("title"), {});
  if (!v.isString()) throw DocumentError("unexpected answer from the page");
  return v.toString();
}

QString CChromiumDocument::language() {
  const QJsonValue v = View().Run(QStringLiteral("lang"), {});
  if (!v.isString()) throw DocumentError("unexpected answer from the page");
  return v.toString();
}

QString CChromiumDocument::documentText() {
  const QJsonValue v = View().Run(QStringLiteral("text"), {});
  if (!v.isString()) throw DocumentError("unexpected answer from the page");
  return v.toString();
}

std::unique_ptr<FIElementCollection> CChromiumDocument::all() {
  CChromiumView& view = View();
  const QJsonValue answer = view.Run(QStringLiteral("all"), {});
  return std::make_unique<CChromiumCollection>(MakeList(link_, answer, view.Epoch()));
}

std::unique_ptr<FIElementCollection> CChromiumDocument::getElementsByTagName(const QString& tag) {
  CChromiumView& view = View();
  const QJsonValue answer = view.Run(QStringLiteral("byTag"), {tag});
  return std::make_unique<CChromiumCollection>(MakeList(link_, answer, view.Epoch()));
}

QString CChromiumDocument::url() {
  const QJsonValue v = View().Run(QStringLiteral("url"), {});
  if (!v.isString()) throw DocumentError("unexpected answer from the page");
  return v.toString();
}

std::unique_ptr<FIElementCollection> CChromiumDocument::controls() {
  CChromiumView& view = View();
  const QJsonValue answer = view.Run(QStringLiteral("controls"), {});
  return std::make_unique<CChromiumCollection>(MakeList(link_, answer, view.Epoch()));
}

std::vector<ItemRow> CChromiumDocument::itemRows() {
  CChromiumView& view = View();
  const QJsonArray answer = view.Run(QStringLiteral("itemRows"), {}).toArray();
  if (answer.size() != 3 || !answer[2].isArray())
    throw DocumentError("unexpected answer from the page");
  const auto list = MakeList(link_, QJsonArray{answer[0], answer[1]}, view.Epoch());
  std::vector<ItemRow> rows;
  for (const QJsonValue& r : answer[2].toArray()) {
    const QJsonArray row = r.toArray();
    if (row.size() != 2) throw DocumentError("unexpected answer from the page");
    ItemRow itemRow;
    itemRow.context = row[0].toString();
    for (const QJsonValue& i : row[1].toArray()) {
      const QJsonArray item = i.toArray();
      if (item.size() != 6) throw DocumentError("unexpected answer from the page");
      RowItem rowItem;
      rowItem.text = item[0].toString();
      const int index = item[1].toInt(-1);
      if (index >= 0 && size_t(index) < list->kinds.size())
        rowItem.element = std::make_unique<CChromiumElement>(list, index);
      rowItem.link = item[2].toBool();
      rowItem.current = item[3].toBool();
      rowItem.disabled = item[4].toBool();
      rowItem.href = item[5].toString();
      itemRow.items.push_back(std::move(rowItem));
    }
    rows.push_back(std::move(itemRow));
  }
  return rows;
}

ImagePresence CChromiumDocument::imageShown(const QString& url) {
  const QJsonValue v = View().Run(QStringLiteral("imageShown"), {url});
  if (!v.isDouble()) throw DocumentError("unexpected answer from the page");
  switch (v.toInt()) {
  case 2: return ImagePresence::Shown;
  case 1: return ImagePresence::Hidden;
  default: return ImagePresence::Gone;
  }
}

std::unique_ptr<FIHTMLElement> CChromiumDocument::getElementById(const QString& id) {
  CChromiumView& view = View();
  const QJsonValue answer = view.Run(QStringLiteral("byId"), {id});
  if (answer.isNull()) return nullptr;
  auto list = MakeList(link_, answer, view.Epoch());
  if (list->kinds.size() != 1) throw DocumentError("unexpected answer from the page");
  return std::make_unique<CChromiumElement>(list, 0);
}

QStringList CChromiumDocument::backgroundImageSources() {
  const QJsonValue v = View().Run(QStringLiteral("backgrounds"), {});
  if (!v.isArray()) throw DocumentError("unexpected answer from the page");
  QStringList sources;
  for (const QJsonValue& source : v.toArray()) sources << source.toString();
  return sources;
}

QString CChromiumDocument::foreignFrame() {
  const QJsonValue v = View().Run(QStringLiteral("foreignFrame"), {});
  if (!v.isString()) throw DocumentError("unexpected answer from the page");
  return v.toString();
}

} // namespace engine
