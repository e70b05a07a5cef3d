#include "fake_document.h"

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
  int offsetHeight() override { Check(); return e_->height; }
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

std::unique_ptr<engine::FIHTMLElement> FakeDocument::getElementById(const QString& id) {
  Check();
  for (const auto& e : elements)
    if (e->id == id) return std::make_unique<Element>(e, this);
  return nullptr;
}

} // namespace testing_support
