#include "fake_document.h"

#include <algorithm>

namespace testing_support {
namespace {

using engine::DocumentError;
using engine::ElementKind;

class Element : public engine::FIHTMLElement {
public:
  Element(std::shared_ptr<FakeElement> e, const FakeDocument* d) : e_(std::move(e)), d_(d) {}
  bool Is(ElementKind kind) override { Check(); return e_->kinds.count(kind) > 0; }
  QString innerText() override { Check(); return e_->innerText; }
  QString outerHTML() override { Check(); return e_->outerHTML; }
  QString id() override { Check(); return e_->id; }
  QString href() override { Check(); return e_->href; }
  QString src() override { Check(); return e_->src; }
  QString value() override { Check(); return e_->value; }
  void setValue(const QString& value) override { Check(); e_->value = value; }
  int offsetLeft() override { Check(); return e_->left; }
  int offsetTop() override { Check(); return e_->top; }
  int offsetWidth() override { Check(); return e_->width; }
  void setSelectedIndex(int index) override { Check(); e_->selectedIndex = index; }
  QString text() override { Check(); return e_->text; }
  std::unique_ptr<engine::FIElementCollection> options() override;
  void click() override {
    Check();
    ++e_->clicks;
    if (e_->onClick) e_->onClick();
  }
  void fireEvent(const QString& name, const engine::EventObject* event) override {
    Check();
    e_->events << name;
    e_->lastKeyCode = event ? event->keyCode : 0;
    if (e_->onClick) e_->onClick();
  }
  QStringList labels() override {
    Check();
    if (!e_->labels.isEmpty()) return e_->labels;
    return {e_->kinds.count(ElementKind::InputButton) ? e_->value : e_->innerText};
  }
  bool disabled() override { Check(); return e_->disabled; }
  void clickAtCentre() override {
    Check();
    ++e_->centreClicks;
    if (e_->onClick) e_->onClick();
  }
  bool hasClickHandler() override { Check(); return e_->clickHandler; }
  QString linkHref() override { Check(); return e_->linkHref; }

private:
  void Check() const {
    d_->Check();
    if (e_->broken) throw DocumentError("element gone");
  }
  std::shared_ptr<FakeElement> e_;
  const FakeDocument* d_;
};

class Collection : public engine::FIElementCollection {
public:
  Collection(std::vector<std::shared_ptr<FakeElement>> items, const FakeDocument* d)
      : items_(std::move(items)), d_(d) {}
  int length() override { d_->Check(); return int(items_.size()); }
  std::unique_ptr<engine::FIHTMLElement> item(int index) override {
    d_->Check();
    if (index < 0 || index >= int(items_.size())) return nullptr;
    if (d_->onItem) d_->onItem();
    return std::make_unique<Element>(items_[index], d_);
  }

private:
  std::vector<std::shared_ptr<FakeElement>> items_;
  const FakeDocument* d_;
};

std::unique_ptr<engine::FIElementCollection> Element::options() {
  d_->Check();
  if (!e_->kinds.count(ElementKind::Select)) throw DocumentError("not a select element");
  return std::make_unique<Collection>(e_->options, d_);
}

} // namespace

void FakeDocument::Check() const {
  if (failing) throw DocumentError("document gone");
}

FakeElement& FakeDocument::Add(const QString& tag, std::set<ElementKind> kinds) {
  auto element = std::make_shared<FakeElement>();
  element->tag = tag;
  element->kinds = std::move(kinds);
  element->outerHTML = QStringLiteral("<%1></%1>").arg(tag);
  elements.push_back(element);
  return *element;
}

FakeElement& FakeDocument::AddAnchor(const QString& text) {
  FakeElement& a = Add(QStringLiteral("a"), {ElementKind::Anchor});
  a.innerText = text;
  return a;
}

FakeElement& FakeDocument::AddInputButton(const QString& value) {
  FakeElement& b = Add(QStringLiteral("input"), {ElementKind::Input, ElementKind::InputButton});
  b.value = value;
  return b;
}

FakeElement& FakeDocument::AddSelect(const QStringList& optionTexts) {
  Add(QStringLiteral("select"), {ElementKind::Select});
  auto keep = elements.back();
  for (const QString& text : optionTexts) {
    Add(QStringLiteral("option"), {ElementKind::Option}).text = text;
    keep->options.push_back(elements.back());
  }
  return *keep;
}

FakeElement& FakeDocument::AddImage(const QString& src) {
  FakeElement& img = Add(QStringLiteral("img"), {ElementKind::Image});
  img.src = src;
  return img;
}

QString FakeDocument::title() { Check(); return pageTitle; }
QString FakeDocument::documentText() { Check(); return pageText; }

std::unique_ptr<engine::FIElementCollection> FakeDocument::all() {
  Check();
  return std::make_unique<Collection>(elements, this);
}

std::unique_ptr<engine::FIElementCollection> FakeDocument::getElementsByTagName(const QString& tag) {
  Check();
  if (onListing) onListing();
  std::vector<std::shared_ptr<FakeElement>> found;
  for (const auto& e : elements)
    if (e->tag.compare(tag, Qt::CaseInsensitive) == 0) found.push_back(e);
  return std::make_unique<Collection>(found, this);
}

std::vector<FakeRowItem>& FakeDocument::AddRow(const QString& words, const QString& context) {
  std::vector<FakeRowItem> items;
  for (QString word : words.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    word.replace(QLatin1Char('_'), QLatin1Char(' '));
    const auto enclosed = [&](QChar open, QChar close) {
      return word.size() > 2 && word.front() == open && word.back() == close;
    };
    const bool plainCurrent = enclosed(u'[', u']');
    const bool linkCurrent = enclosed(u'*', u'*');
    const bool disabled = enclosed(u'-', u'-');
    FakeRowItem item;
    item.text = plainCurrent || linkCurrent || disabled ? word.mid(1, word.size() - 2) : word;
    const bool number = std::any_of(item.text.begin(), item.text.end(), [](QChar c) { return c.isDigit(); });
    item.link = (number && !plainCurrent) || linkCurrent || disabled;
    item.current = plainCurrent || linkCurrent;
    item.disabled = disabled;
    if (item.link || plainCurrent) {
      FakeElement& element = item.link ? AddAnchor(item.text) : Add(QStringLiteral("span"));
      element.innerText = item.text;
      if (item.link) item.href = element.href = QStringLiteral("http://site/p/") + item.text;
      item.element = elements.back();
    }
    items.push_back(item);
  }
  rows.emplace_back(context, std::move(items));
  return rows.back().second;
}

QString FakeDocument::url() { Check(); return address; }

std::vector<engine::ItemRow> FakeDocument::itemRows() {
  Check();
  std::vector<engine::ItemRow> result;
  for (const auto& [context, items] : rows) {
    engine::ItemRow row;
    row.context = context;
    for (const FakeRowItem& item : items) {
      engine::RowItem rowItem;
      rowItem.text = item.text;
      if (item.element) rowItem.element = std::make_unique<Element>(item.element, this);
      rowItem.link = item.link;
      rowItem.current = item.current;
      rowItem.disabled = item.disabled;
      rowItem.href = item.href;
      row.items.push_back(std::move(rowItem));
    }
    result.push_back(std::move(row));
  }
  return result;
}

engine::ImagePresence FakeDocument::imageShown(const QString& url) {
  Check();
  for (const auto& e : elements)
    if (e->kinds.count(ElementKind::Image) && e->src == url)
      return hiddenImages.count(url) ? engine::ImagePresence::Hidden : engine::ImagePresence::Shown;
  return engine::ImagePresence::Gone;
}

std::unique_ptr<engine::FIHTMLElement> FakeDocument::getElementById(const QString& id) {
  Check();
  for (const auto& e : elements)
    if (e->id == id) return std::make_unique<Element>(e, this);
  return nullptr;
}

} // namespace testing_support
