#pragma once
// The document model the engine's logic runs against: one page document of a browser view,
// its element collections and elements. The real implementation reaches the DOM of a Chromium
// page from an isolated script world; unit tests may use a fake behind the same interface.
//
// "Document order" spans what a reader may hide its controls and images in: the document's own
// elements first, then, depth-first in document order, those of its open shadow roots and of
// its frames of the same site. The collections, getElementById, the document text and the
// searches below all see them.
//
// Error contract: a kind test that does not match answers false (it is no error). Every other
// failing call throws DocumentError, which ends the caller's current step; the next timer
// tick tries again. Elements and collections are handles: they stay valid objects after the
// page changes, but calls on them then fail with DocumentError.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>
#include <vector>

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
  Canvas,      ///< <canvas>
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
  /// Images: the absolute address of the largest picture the element offers. Its candidates
  /// are src (as 1x), every srcset entry and, inside a <picture>, every entry of its sources'
  /// srcset; the largest is the one of the biggest width descriptor, or else of the biggest
  /// density. A lazy loader's address (data-src, data-lazy-src, data-original, data-srcset)
  /// takes the place of a src it has not replaced yet. Documents that cannot tell answer src.
  virtual QString imageSource() { return src(); }
  virtual QString value() = 0;  ///< inputs, selects, options
  virtual void setValue(const QString& value) = 0;
  virtual int offsetLeft() = 0;
  virtual int offsetTop() = 0;
  virtual int offsetWidth() = 0;
  virtual int offsetHeight() = 0;
  virtual void setSelectedIndex(int index) = 0; ///< selects
  /// Selects: the select's own option elements in order (also those inside its option
  /// groups), whatever else the page holds around them. Other elements throw.
  virtual std::unique_ptr<FIElementCollection> options();
  virtual QString text() = 0;                   ///< options: the option's text
  /// Canvases: the picture the canvas shows, as PNG: its own pixels at its own pixel size, or,
  /// when the page may not read them (drawn from another site's images), a picture of its box
  /// on the page at scale 1. Empty while it shows nothing (every pixel transparent). Other
  /// elements, and documents that cannot tell, throw.
  virtual QByteArray canvasPicture();

  /// Runs the page's own handlers synchronously; any navigation they start has been offered
  /// to the view's before-navigate handler before this returns.
  virtual void click() = 0;
  /// "onchange" (event may be null) or "onkeypress" (with keyCode); same guarantee as click.
  virtual void fireEvent(const QString& name, const EventObject* event) = 0;

  // ---- controls that are no links: buttons, icons, script listeners

  /// The texts that name the element as a control, those it has, in this order: its text (an
  /// input button's value), its aria-label, its title, and the alt text of the one image it
  /// shows when it has no text of its own.
  virtual QStringList labels() { return {innerText()}; }
  /// A control that cannot be used now: disabled (also by a disabled fieldset),
  /// aria-disabled="true", or a class "disabled" on it or on an item that wraps only it.
  virtual bool disabled() { return false; }
  /// A person's click: the element is brought into view and the browser's own mouse input
  /// presses and releases at its centre, so the page sees pointerdown, mousedown, pointerup,
  /// mouseup and click, and every listener a script added for them runs. When another element
  /// covers that point, or the element takes no room, the same events are dispatched to the
  /// element itself. Same navigation guarantee as click.
  virtual void clickAtCentre() { click(); }
  /// The address of the link the element sits in (itself or its nearest ancestor with an
  /// href); empty when it sits in none.
  virtual QString linkHref() { return {}; }
  /// Whether the page reacts to a click on the element itself, or on an element that wraps
  /// only it: an onclick handler, or a listener for click, mousedown, mouseup, pointerdown,
  /// pointerup or touchstart added by script. Listeners of the document or of a whole
  /// application's root do not count.
  virtual bool hasClickHandler() { return false; }
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

/// One item of a row of short sibling items: a link, a button, or plain text.
struct RowItem {
  QString text; ///< what it shows, blanks collapsed and trimmed
  /// What a click on it reaches (the link inside a list item, say); null for bare text.
  std::unique_ptr<FIHTMLElement> element;
  bool link = false;     ///< a link with an address, a button, or an element with role link/button
  bool current = false;  ///< marked current: aria-current, or a class current, active or selected
  bool disabled = false; ///< see FIHTMLElement::disabled
  QString href;          ///< a link's absolute address; empty for everything else
};

/// The child items of one container, in order: the elements (each unwrapped from a list item
/// or span that holds only it) and the words of its text between them.
struct ItemRow {
  /// Class names and ids of the container and its two nearest ancestors, space-separated.
  QString context;
  std::vector<RowItem> items;
};

/// Whether an image address is shown on the page (see FIHTMLDocument::imageShown).
enum class ImagePresence {
  Gone,   ///< no img element has it as src or currentSrc
  Hidden, ///< one has, but none of those is shown across the viewport
  Shown,  ///< one of them is laid out, visible, and within the viewport's width
};
inline QByteArray FIHTMLElement::canvasPicture() { throw DocumentError("not a canvas"); }

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

  /// The document's address now (location.href): history.pushState, replaceState and a new
  /// fragment change it without a new document. Empty when the document cannot tell.
  virtual QString url() { return {}; }
  /// The elements a person could press as a control, in document order: links, buttons,
  /// input buttons, elements with role button or link, and any element with an aria-label or
  /// a title. Documents that cannot tell them apart answer every element.
  virtual std::unique_ptr<FIElementCollection> controls() { return all(); }
  /// Every container with at least three short child items that contain a digit, in document
  /// order; candidates for a row of page numbers. Tables are no rows (a calendar's days sit
  /// one per cell).
  virtual std::vector<ItemRow> itemRows() { return {}; }
  /// Whether the image with address `url` is shown now; a turn of the page in place hides it,
  /// removes it or gives its element another address.
  virtual ImagePresence imageShown(const QString& url) { return (void)url, ImagePresence::Gone; }
  /// The absolute addresses of the pictures that elements other than img show as their
  /// computed CSS background-image (also of their ::before and ::after), in document order,
  /// each once; only of elements with a box on the page. Documents that cannot tell answer
  /// none.
  virtual QStringList backgroundImageSources() { return {}; }
  /// The address of the largest frame of another site that takes a page's room (at least
  /// 301 x 401 CSS pixels): a reader embedded from elsewhere, whose document this one cannot
  /// look into. Empty when there is none; documents that cannot tell answer empty.
  virtual QString foreignFrame() { return {}; }
};

} // namespace engine
