#pragma once
// A browser and document of the test's own making, behind the engine's browser interfaces.
// Clicking a fake link runs its script (a function given the view's event sink), as the real
// browser runs a page's handlers, so the view's catching can be driven deterministically.
#include "engine/browser/browser_view.h"

#include <functional>
#include <memory>
#include <vector>

namespace search_test {

using Script = std::function<void(engine::FIBrowserViewEvents& events)>;

/// One element of a fake page.
struct FakeElement {
  bool anchor = true;
  QString href;
  QString outerHTML;
  QString innerText;
  Script onClick;         ///< null: a plain link that navigates to href
  bool broken = false;    ///< every call on it fails (removed from the page)
};

/// What the fake browser recorded, shared by the test and its fakes.
struct FakeBrowserState {
  engine::FIBrowserViewEvents* events = nullptr;
  int stopCount = 0;
  int leftThePage = 0;           ///< navigations the view let through while links were clicked
  bool hasDocument = true;
  bool allFails = false;         ///< the document's `all` fails
  bool reloadsItself = false;    ///< the page asks to reload whenever an element is fetched
  int reloadsRefused = 0;
  std::vector<FakeElement> elements;

  /// A plain link: its click asks to navigate to `href`.
  void AddLink(const QString& href, const QString& text) {
    elements.push_back({true, href, QStringLiteral("<a href=\"%1\">%2</a>").arg(href, text), text, {}, false});
  }
  void AddLink(const QString& href, const QString& text, Script onClick) {
    AddLink(href, text);
    elements.back().onClick = std::move(onClick);
  }
};

class FakeHtmlElement : public engine::FIHTMLElement {
public:
  FakeHtmlElement(FakeBrowserState& state, const FakeElement& data) : state_(state), data_(data) {}
  bool Is(engine::ElementKind kind) override {
    Check();
    return kind == engine::ElementKind::Anchor && data_.anchor;
  }
  QString innerText() override { return Check(), data_.innerText; }
  QString outerHTML() override { return Check(), data_.outerHTML; }
  QString id() override { return {}; }
  QString href() override { return Check(), data_.href; }
  QString src() override { return {}; }
  QString value() override { return {}; }
  void setValue(const QString&) override {}
  int offsetLeft() override { return 0; }
  int offsetTop() override { return 0; }
  int offsetWidth() override { return 0; }
  void setSelectedIndex(int) override {}
  QString text() override { return {}; }
  void click() override {
    Check();
    if (data_.onClick) {
      data_.onClick(*state_.events);
      return;
    }
    bool cancel = false;
    state_.events->OnBeforeNavigate(data_.href, cancel);
    if (!cancel) ++state_.leftThePage;
  }
  void fireEvent(const QString&, const engine::EventObject*) override {}

private:
  void Check() const {
    if (data_.broken) throw engine::DocumentError("element is gone");
  }
  FakeBrowserState& state_;
  FakeElement data_;
};

class FakeCollection : public engine::FIElementCollection {
public:
  explicit FakeCollection(FakeBrowserState& state) : state_(state) {}
  int length() override { return int(state_.elements.size()); }
  std::unique_ptr<engine::FIHTMLElement> item(int index) override {
    if (index < 0 || index >= length()) return nullptr;
    if (state_.reloadsItself) {
      bool cancel = false;
      state_.events->OnBeforeNavigate(QStringLiteral("http://site/list.html"), cancel);
      state_.reloadsRefused += cancel;
    }
    return std::make_unique<FakeHtmlElement>(state_, state_.elements[size_t(index)]);
  }

private:
  FakeBrowserState& state_;
};

class FakeDocument : public engine::FIHTMLDocument {
public:
  explicit FakeDocument(FakeBrowserState& state) : state_(state) {}
  QString title() override { return {}; }
  QString documentText() override { return {}; }
  std::unique_ptr<engine::FIElementCollection> all() override {
    if (state_.allFails) throw engine::DocumentError("document is gone");
    return std::make_unique<FakeCollection>(state_);
  }
  std::unique_ptr<engine::FIElementCollection> getElementsByTagName(const QString&) override {
    return all();
  }
  std::unique_ptr<engine::FIHTMLElement> getElementById(const QString&) override { return nullptr; }

private:
  FakeBrowserState& state_;
};

class FakeView : public engine::FIBrowserView {
public:
  FakeView(FakeBrowserState& state, engine::FIBrowserViewEvents* events)
      : state_(state), document_(state) {
    state_.events = events;
  }
  ~FakeView() override { state_.events = nullptr; }
  void Navigate(const QString&) override {}
  void Stop() override { ++state_.stopCount; }
  engine::FIHTMLDocument* Document() override { return state_.hasDocument ? &document_ : nullptr; }

private:
  FakeBrowserState& state_;
  FakeDocument document_;
};

class FakeBrowser : public engine::FIBrowser {
public:
  explicit FakeBrowser(FakeBrowserState& state) : state_(state) {}
  std::unique_ptr<engine::FIBrowserView> CreateView(engine::FIBrowserViewEvents* events) override {
    return std::make_unique<FakeView>(state_, events);
  }
  QString UserAgent() const override { return {}; }

private:
  FakeBrowserState& state_;
};

} // namespace search_test
