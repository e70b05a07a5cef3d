#pragma once
// A document in memory behind the engine's document interface, for the engine's strategy,
// image, page-view and link-search tests. Elements are listed in document order; a test
// builds the page element by element.
#include "engine/browser/document.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <set>
#include <vector>

namespace testing_support {

struct FakeElement {
  QString tag;
  std::set<engine::ElementKind> kinds;
  QString innerText, outerHTML, id, href, src, value, text;
  int left = 0, top = 0, width = 50, height = 20;
  int selectedIndex = -1;
  std::vector<std::shared_ptr<FakeElement>> options; ///< a select's own options
  int clicks = 0;
  QStringList events;          ///< names passed to fireEvent, in order
  int lastKeyCode = 0;
  std::function<void()> onClick; ///< runs on click() and on every fireEvent
  bool broken = false;           ///< every call on it throws, as on an element a script removed
};

class FakeDocument : public engine::FIHTMLDocument {
public:
  QString pageTitle;
  QString pageText;
  std::vector<std::shared_ptr<FakeElement>> elements;
  bool failing = false; ///< every call throws DocumentError, as on a page that went away
  /// Runs whenever an element is fetched from a collection, as a page script reacting to it.
  std::function<void()> onItem;
  /// Runs at the start of every getElementsByTagName, as a page script that changes the page
  /// between two listings would.
  std::function<void()> onListing;

  FakeElement& Add(const QString& tag, std::set<engine::ElementKind> kinds = {});
  FakeElement& AddAnchor(const QString& text);
  FakeElement& AddInputButton(const QString& value);
  /// A select followed by its options, which are also its own.
  FakeElement& AddSelect(const QStringList& optionTexts);
  FakeElement& AddImage(const QString& src);

  QString title() override;
  QString documentText() override;
  std::unique_ptr<engine::FIElementCollection> all() override;
  std::unique_ptr<engine::FIElementCollection> getElementsByTagName(const QString& tag) override;
  std::unique_ptr<engine::FIHTMLElement> getElementById(const QString& id) override;

  void Check() const;
};

} // namespace testing_support
