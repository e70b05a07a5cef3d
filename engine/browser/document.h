#pragma once
// The document model the engine's logic runs against: one page document of a browser view,
// its element collections and elements. The real implementation reaches the DOM of a Chromium
// page from an isolated script world; unit tests may use a fake behind the same interface.
//
// Error contract: a kind test that does not match answers false (it is no error). Every other
// failing call throws DocumentError, which ends the caller's current step; the next timer
// tick tries again. Elements and collections are handles: they stay valid objects after the
// page changes, but calls on them then fail with DocumentError.
#include <QString>
#include <memory>
#include <stdexcept>

namespace engine {

class DocumentError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

/// Kinds an element can be tested for.
enum class ElementKind {
  Anchor,      ///< <a>
  Image,       ///< <img>
  Select,      ///< <select>
  Option,      ///< <option>
  Input,       ///< <input> of any type
  InputButton, ///< <input> of type button, submit, reset or image
  Button,      ///< <button>
};

/// An event object for fireEvent; only keyCode is used.
struct EventObject {
  int keyCode = 0;
};

class FIElementCollection;

class FIHTMLElement {
public:
  virtual ~FIHTMLElement() = default;

  virtual bool Is(ElementKind kind) = 0;

  virtual QString innerText() = 0;
  virtual QString outerHTML() = 0;
  virtual QString id() = 0;
  virtual QString href() = 0;   ///< anchors: the absolute address
  virtual QString src() = 0;    ///< images: the absolute address
  virtual QString value() = 0;  ///< inputs, selects, options
  virtual void setValue(const QString& value) = 0;
  virtual int offsetLeft() = 0;
  virtual int offsetTop() = 0;
  virtual int offsetWidth() = 0;
  virtual void setSelectedIndex(int index) = 0; ///< selects
  /// Selects: the select's own option elements in order (also those inside its option
  /// groups), whatever else the page holds around them. Other elements throw.
  virtual std::unique_ptr<FIElementCollection> options();
  virtual QString text() = 0;                   ///< options: the option's text

  /// Runs the page's own handlers synchronously; any navigation they start has been offered
  /// to the view's before-navigate handler before this returns.
  virtual void click() = 0;
  /// "onchange" (event may be null) or "onkeypress" (with keyCode); same guarantee as click.
  virtual void fireEvent(const QString& name, const EventObject* event) = 0;
};

class FIElementCollection {
public:
  virtual ~FIElementCollection() = default;
  virtual int length() = 0;
  /// The element at `index` in document order, or null when out of range.
  virtual std::unique_ptr<FIHTMLElement> item(int index) = 0;
};

inline std::unique_ptr<FIElementCollection> FIHTMLElement::options() {
  throw DocumentError("not a select element");
}

class FIHTMLDocument {
public:
  virtual ~FIHTMLDocument() = default;
  virtual QString title() = 0;
  /// The language tag the page states, as written (at most 64 characters): the document
  /// element's "lang" attribute, else the first Content-Language meta element's content.
  /// Empty when it states none; documents that cannot tell answer empty.
  virtual QString language() { return {}; }
  /// innerText of the document element: the text of the whole page.
  virtual QString documentText() = 0;
  /// Every element in document order.
  virtual std::unique_ptr<FIElementCollection> all() = 0;
  virtual std::unique_ptr<FIElementCollection> getElementsByTagName(const QString& tag) = 0;
  /// The first element with that id, or null.
  virtual std::unique_ptr<FIHTMLElement> getElementById(const QString& id) = 0;
  virtual EventObject createEventObject() { return {}; }
};

} // namespace engine
