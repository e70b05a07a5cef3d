// The Chromium views against pages of a local site: navigation interception inside click and
// fireEvent, windows that never open, dialogs that never block, images never fetched, page and
// frame completion, and the document model. One browser serves every test of this binary.
#include "engine/browser/chromium_browser.h"
#include "engine/browser/renderer_memory.h"

#include "local_site.h"
#include "test_support.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <csignal>
#include <gtest/gtest.h>

using engine::DocumentError;
using engine::ElementKind;
using testing_support::LocalSite;
using testing_support::WaitFor;

namespace {

constexpr int kLoadTimeoutMs = 30000;

engine::CChromiumBrowser* sharedBrowser = nullptr;

class BrowserEnvironment : public ::testing::Environment {
public:
  void TearDown() override {
    delete sharedBrowser;
    sharedBrowser = nullptr;
  }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new BrowserEnvironment);

engine::CChromiumBrowser& Browser() {
  if (!sharedBrowser) sharedBrowser = new engine::CChromiumBrowser();
  return *sharedBrowser;
}

/// Records what a view reports; cancels navigations whose address contains `cancelPart`.
struct Recorder : engine::FIBrowserViewEvents {
  QStringList navigations;
  QStringList windows;
  int pageComplete = 0;
  int frameComplete = 0;
  QString cancelPart = QStringLiteral("/never-go");

  void OnBeforeNavigate(const QString& url, bool& cancel) override {
    navigations << url;
    cancel = url.contains(cancelPart);
  }
  void OnNewWindow(const QString& url) override { windows << url; }
  void OnDocumentComplete(bool isPage) override { ++(isPage ? pageComplete : frameComplete); }
  void OnPageAnswer(int status, bool webPage) override { answers.append({status, webPage}); }
  QList<QPair<int, bool>> answers;
};

/// A new view of `browser` on `url`, reporting to `events`; false unless the page completed.
bool OpenPage(engine::FIBrowser& browser, Recorder& events, const QString& url,
              std::unique_ptr<engine::FIBrowserView>& view) {
  view = browser.CreateView(&events);
  view->Navigate(url);
  return WaitFor([&] { return events.pageComplete == 1; }, kLoadTimeoutMs);
}

class ChromiumView : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(Browser().Start()) << "chromium is needed for these tests";
    view = Browser().CreateView(&events);
    ASSERT_TRUE(view);
  }

  /// Loads `path` of the site and waits for the page's completion.
  engine::FIHTMLDocument& Load(const QString& path) {
    const int before = events.pageComplete;
    view->Navigate(site.Url(path));
    EXPECT_TRUE(WaitFor([&] { return events.pageComplete > before; }, kLoadTimeoutMs));
    EXPECT_NE(view->Document(), nullptr);
    return *view->Document();
  }

  /// Lets the browser run for a moment: what should not happen has had its chance.
  static void Settle() { WaitFor([] { return false; }, 400); }

  std::unique_ptr<engine::FIHTMLElement> ById(const QString& id) {
    auto e = view->Document()->getElementById(id);
    EXPECT_TRUE(e) << id.toStdString();
    return e;
  }

  LocalSite site;
  Recorder events;
  std::unique_ptr<engine::FIBrowserView> view;
};

const char* kStartPage = R"HTML(<html><head><title>Start</title></head><body>
<a id="anchor" href="/never-go/anchor.html">anchor</a>
<button id="script" onclick="location.href='/never-go/script.html'">script</button>
<select id="sel" onchange="location.href=this.value">
  <option value="/never-go/a.html">A</option><option value="/never-go/b.html">B</option>
</select>
<input id="key" onkeypress="if (event.keyCode == 13) location.href='/never-go/key.html'">
<a id="real" href="/second.html">go</a>
</body></html>)HTML";

} // namespace

TEST_F(ChromiumView, BeforeNavigateComesInsideClickAndFireEvent) {
  site.AddPage("/start.html", kStartPage);
  site.AddPage("/second.html", "<title>Second</title><p>second</p>");
  Load("/start.html");
  const QString base = site.Url("");

  ById("anchor")->click();
  ASSERT_FALSE(events.navigations.isEmpty());
  EXPECT_EQ(events.navigations.last(), base + "/never-go/anchor.html");

  ById("script")->click();
  EXPECT_EQ(events.navigations.last(), base + "/never-go/script.html");

  auto select = ById("sel");
  select->setSelectedIndex(1);
  select->fireEvent("onchange", nullptr);
  EXPECT_EQ(events.navigations.last(), base + "/never-go/b.html");

  engine::EventObject enter = view->Document()->createEventObject();
  enter.keyCode = 13;
  ById("key")->fireEvent("onkeypress", &enter);
  EXPECT_EQ(events.navigations.last(), base + "/never-go/key.html");

  // Every one of them was cancelled: the page stays, nothing was fetched.
  Settle();
  EXPECT_EQ(view->Document()->title(), "Start");
  for (const auto& r : site.Requests()) EXPECT_FALSE(r.path.startsWith("/never-go")) << r.path.data();
  EXPECT_EQ(events.pageComplete, 1);

  // A navigation left alone goes ahead.
  ById("real")->click();
  EXPECT_EQ(events.navigations.last(), base + "/second.html");
  ASSERT_TRUE(WaitFor([&] { return events.pageComplete == 2; }, kLoadTimeoutMs));
  EXPECT_EQ(view->Document()->title(), "Second");
}

TEST_F(ChromiumView, AHeldPageOffersWhatItWouldOfferUnheldAndNeverLeaves) {
  // Every way a click can go somewhere; each is clicked once unheld (every navigation
  // cancelled by the handler) and once held, and must be offered alike.
  const QString cross = QString("http://localhost:%1/never-go/cross.html").arg(site.Port());
  site.AddPage("/start.html", QString(R"HTML(<title>Start</title>
<a href="/never-go/plain.html">plain</a>
<a href="%1">other site</a>
<a href="/window/blank.html" target="_blank">new window</a>
<a href="/never-go/a.html" onclick="location.href='/never-go/first.html'; return false">script</a>
<a href="/never-go/b.html" onclick="location.href='/never-go/then.html'">script, then link</a>
<a href="/never-go/c.html" onclick="window.open('/window/w.html'); return false">opens</a>
<a href="javascript:void(0)">nothing</a>
<a href="#" onclick="return false">nothing either</a>
<a href="#part">same page</a>
<a href="#" onclick="document.forms[0].submit(); return false">form</a>
<form action="/never-go/form.html"><input name="q" value="1"></form>
<a href="/never-go/ok.html" onclick="throw new Error('broken handler')">broken handler</a>
<a id="real" href="/second.html">go</a>
<p><a id="download" href="/never-go/plain.bin" download>download</a></p>
)HTML").arg(cross));
  site.AddPage("/second.html", "<title>Second</title>");
  Load("/start.html");
  events.cancelPart = QString(); // cancels everything
  struct Offered {
    QStringList navigations, windows;
    bool operator==(const Offered&) const = default;
  };
  const auto clickEach = [&] {
    std::vector<Offered> offered;
    auto anchors = view->Document()->getElementsByTagName("a");
    for (int i = 0; i < anchors->length() - 1; ++i) { // without the download, checked below
      events.navigations.clear();
      events.windows.clear();
      anchors->item(i)->click();
      offered.push_back({events.navigations, events.windows});
    }
    return offered;
  };
  const std::vector<Offered> unheld = clickEach();
  view->HoldPage(true);
  const std::vector<Offered> held = clickEach();
  ASSERT_EQ(held.size(), unheld.size());
  for (size_t i = 0; i < held.size(); ++i) {
    EXPECT_EQ(held[i].navigations.join(' ').toStdString(),
              unheld[i].navigations.join(' ').toStdString()) << "link " << i;
    EXPECT_EQ(held[i].windows.join(' ').toStdString(), unheld[i].windows.join(' ').toStdString())
        << "link " << i;
  }
  EXPECT_EQ(held[0].navigations, QStringList{site.Url("/never-go/plain.html")});
  EXPECT_EQ(held[1].navigations, QStringList{cross});
  EXPECT_EQ(held[3].navigations.value(0), site.Url("/never-go/first.html"));
  // Unheld, the browser reports a download link's navigation only now and then before the
  // click returns; held, always.
  events.navigations.clear();
  ById("download")->click();
  EXPECT_EQ(events.navigations, QStringList{site.Url("/never-go/plain.bin")});

  // Held, even a handler that lets a navigation go cannot move the page; let go, it can.
  events.cancelPart = "/never-go";
  ById("real")->click();
  Settle();
  EXPECT_EQ(view->Document()->title(), "Start");
  for (const auto& r : site.Requests()) EXPECT_FALSE(r.path.startsWith("/never-go")) << r.path.data();
  EXPECT_EQ(site.RequestCount("/second.html"), 0);
  view->HoldPage(false);
  ById("real")->click();
  ASSERT_TRUE(WaitFor([&] { return events.pageComplete == 2; }, kLoadTimeoutMs));
  EXPECT_EQ(view->Document()->title(), "Second");
}

TEST_F(ChromiumView, OwnNavigationIsOfferedAndCanBeCancelled) {
  site.AddPage("/start.html", "<title>Start</title>");
  Load("/start.html");
  EXPECT_EQ(events.navigations, QStringList{site.Url("/start.html")});
  view->Navigate(site.Url("/never-go/x.html"));
  ASSERT_TRUE(WaitFor([&] { return events.navigations.size() == 2; }, kLoadTimeoutMs));
  Settle();
  EXPECT_EQ(view->Document()->title(), "Start");
  EXPECT_EQ(site.RequestCount("/never-go/x.html"), 0);
}

TEST_F(ChromiumView, ServerRedirectIsPartOfTheNavigationOffered) {
  testing_support::Resource redirect;
  redirect.status = 302;
  redirect.headers = {{"Location", "/target.html"}};
  site.Add("/moved.html", redirect);
  site.AddPage("/target.html", "<title>Target</title>");
  engine::FIHTMLDocument& doc = Load("/moved.html");
  EXPECT_EQ(doc.title(), "Target");
  EXPECT_EQ(events.navigations, QStringList{site.Url("/moved.html")});
}

TEST_F(ChromiumView, PageAnswersTellErrorsAndWhatIsNoPage) {
  site.AddPage("/list.html", "<title>List</title><iframe src=\"/gone.html\"></iframe>");
  testing_support::Resource broken;
  broken.body = "<h1>Server error</h1>";
  broken.status = 500;
  site.Add("/broken.html", broken);
  broken.status = 404;
  site.Add("/gone.html", broken);
  testing_support::Resource moved;
  moved.status = 301;
  moved.headers = {{"Location", "/gone.html"}};
  site.Add("/moved.html", moved);
  site.Add("/cover.png", QByteArray("\x89PNG", 4), "image/png");
  testing_support::Resource attachment;
  attachment.body = "<html>list</html>";
  attachment.headers = {{"Content-Disposition", "attachment; filename=\"list.html\""}};
  site.Add("/list-download.html", attachment);
  attachment.headers = {{"Content-Disposition", "Attachment; filename=\"list.html\""}};
  site.Add("/list-Download.html", attachment); // the disposition type in any letter case
  const std::pair<QString, QPair<int, bool>> cases[] = {
      {site.Url("/list.html"), {200, true}}, // its frame's 404 is not the page's
      {site.Url("/gone.html"), {404, true}},
      {site.Url("/broken.html"), {500, true}},
      {site.Url("/moved.html"), {404, true}}, // the redirect's target answers
      {site.Url("/cover.png"), {200, false}},
      {site.Url("/list-download.html"), {200, false}},
      {site.Url("/list-Download.html"), {200, false}},
      {"http://127.0.0.1:1/list.html", {0, true}}, // nothing listens there
  };
  for (const auto& [url, answer] : cases) {
    SCOPED_TRACE(url.toStdString());
    events.answers.clear();
    view->Navigate(url);
    ASSERT_TRUE(WaitFor([&] { return !events.answers.isEmpty(); }, kLoadTimeoutMs));
    Settle();
    EXPECT_EQ(events.answers, (QList<QPair<int, bool>>{answer}));
  }
}

TEST_F(ChromiumView, NewWindowsGiveTheAddressAndNeverOpen) {
  site.AddPage("/start.html", R"HTML(<title>Start</title>
<button id="open" onclick="window.open('/popup.html')">open</button>
<a id="blank" href="/popup.html?b" target="_blank">blank</a>)HTML");
  // Were the popup ever to run, it would ask for /popup-ran.
  site.AddPage("/popup.html", "<script>fetch('/popup-ran')</script>");
  Load("/start.html");

  ById("open")->click();
  ASSERT_EQ(events.windows.size(), 1);
  EXPECT_EQ(events.windows[0], site.Url("/popup.html"));
  ById("blank")->click();
  ASSERT_EQ(events.windows.size(), 2);
  EXPECT_EQ(events.windows[1], site.Url("/popup.html?b"));

  Settle();
  EXPECT_EQ(site.RequestCount("/popup-ran"), 0);
  EXPECT_EQ(view->Document()->title(), "Start");
  // No navigation of the view itself came of it.
  EXPECT_EQ(events.navigations.size(), 1);
}

TEST_F(ChromiumView, DialogsNeverBlockAndExternalHasNoMembers) {
  site.AddPage("/start.html", R"HTML(<title>Start</title>
<script>alert('at load');</script>
<button id="b" onclick="alert('x'); var ok = confirm('y'); var p = prompt('z', 'dflt');
  document.title = 'after ' + ok + ' ' + p;">b</button>
<div id="ext"></div>
<script>
  var e = window.external, members = 0;
  for (var k in e) members++;
  document.getElementById('ext').textContent =
    (typeof e) + ' ' + members + ' ' + ('AddSearchProvider' in e);
</script>)HTML");
  Load("/start.html");
  ById("b")->click();
  EXPECT_EQ(view->Document()->title(), "after true dflt");
  EXPECT_EQ(ById("ext")->innerText(), "object 0 false");
}

TEST_F(ChromiumView, ImagesAndMediaAreNeverFetched) {
  site.AddPage("/start.html", R"HTML(<title>Start</title>
<img src="/a.png"><img src="/b.jpg" width="400" height="500">
<div style="background-image:url(/bg.png);width:10px;height:10px"></div>
<video src="/v.mp4" autoplay></video><audio src="/s.mp3" autoplay></audio>
<embed src="/plugin.swf"><object data="/movie.swf"></object>
<script>var i = new Image(); i.src = '/script.png';</script>)HTML");
  site.Add("/a.png", QByteArray("\x89PNG", 4), "image/png");
  Load("/start.html");
  Settle();
  for (const char* path : {"/a.png", "/b.jpg", "/bg.png", "/v.mp4", "/s.mp3", "/script.png",
                           "/plugin.swf", "/movie.swf"})
    EXPECT_EQ(site.RequestCount(path), 0) << path;
  // The elements are there all the same, with their absolute addresses.
  auto images = view->Document()->getElementsByTagName("img");
  ASSERT_EQ(images->length(), 2);
  EXPECT_EQ(images->item(1)->src(), site.Url("/b.jpg"));
}

TEST_F(ChromiumView, FrameCompletionIsNotThePage) {
  site.AddPage("/start.html", R"HTML(<title>Start</title>
<iframe src="/frame1.html"></iframe><iframe src="/frame2.html"></iframe>)HTML");
  site.AddPage("/frame1.html", "<p>one</p>");
  site.AddPage("/frame2.html", "<p>two</p>");
  Load("/start.html");
  EXPECT_EQ(events.pageComplete, 1);
  EXPECT_TRUE(WaitFor([&] { return events.frameComplete >= 2; }, kLoadTimeoutMs));
  Settle();
  EXPECT_EQ(events.pageComplete, 1);
  // Frames load without the page's navigation handler being asked.
  EXPECT_EQ(events.navigations.size(), 1);
}

TEST_F(ChromiumView, OneRendererServesEveryViewAndTheBrowserKeepsNoPagesOfItsOwn) {
  // A second renderer would be the browser's own hidden pages (such as the address bar's
  // suggestion popup of the invisible window) or a view that did not share: both double the
  // engine's memory.
  site.AddPage("/one.html", "<p>one</p>");
  site.AddPage("/two.html", "<p>two</p>");
  Load("/one.html");
  Recorder otherEvents;
  std::unique_ptr<engine::FIBrowserView> other;
  ASSERT_TRUE(OpenPage(Browser(), otherEvents, site.Url("/two.html"), other));
  Settle();
  EXPECT_EQ(engine::RenderersBelow(static_cast<pid_t>(Browser().ProcessId())).size(), 1);
}

TEST_F(ChromiumView, AViewOnAnEndedViewsTargetStartsLikeANewOne) {
  // Ended views hand their page target on to later views; nothing of the old page may show:
  // not its tall viewport, not its history, not a late event counted as the new page's.
  site.AddPage("/state.html", R"HTML(<p id="state"></p><script>
    document.getElementById('state').textContent = innerHeight + ' ' + history.length;
  </script>)HTML");
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE(round);
    Load("/state.html");
    const QStringList state = ById("state")->innerText().split(' ');
    ASSERT_EQ(state.size(), 2);
    EXPECT_LT(state[0].toInt(), 4000);
    EXPECT_LE(state[1].toInt(), 2);
    view->BringAllIntoView();
    Settle();
    EXPECT_EQ(events.pageComplete, 1);
    view.reset();
    Settle();
    events = Recorder{};
    view = Browser().CreateView(&events);
  }
}

TEST_F(ChromiumView, DocumentModel) {
  site.AddPage("/start.html", R"HTML(<html><head><title>Model</title></head><body style="margin:0">
<div id="dup">first</div><p id="dup">second</p>
<a id="link" href="rel/page.html?q=1">Link text</a>
<img id="pic" src="img/x.png">
<select id="sel"><option>One</option><optgroup label="g"><option value="v2">Two</option></optgroup></select>
<datalist><option>Three</option></datalist>
<input id="txt" type="text" value="initial">
<input id="btn" type="button" value="Push"><input id="sub" type="submit">
<button id="button">B</button>
<div id="pos" style="position:absolute;left:37px;top:53px;width:120px;height:10px">pos</div>
<svg><a id="svglink"><text>svg text</text></a></svg>
</body></html>)HTML");
  engine::FIHTMLDocument& doc = Load("/start.html");
  EXPECT_EQ(doc.title(), "Model");
  EXPECT_TRUE(doc.documentText().contains("Link text"));

  // `all` in document order.
  auto all = doc.all();
  QStringList tags;
  for (int i = 0; i < all->length(); ++i) {
    const QString html = all->item(i)->outerHTML();
    tags << html.mid(1, html.indexOf(QRegularExpression("[ >]")) - 1);
  }
  EXPECT_EQ(tags.mid(0, 11), QStringList({"html", "head", "title", "body", "div", "p", "a",
                                          "img", "select", "option", "optgroup"}));
  EXPECT_EQ(all->item(all->length()), nullptr);
  EXPECT_EQ(all->item(-1), nullptr);

  // getElementById gives the first of two; none for a missing id.
  EXPECT_EQ(ById("dup")->innerText(), "first");
  EXPECT_EQ(doc.getElementById("missing"), nullptr);

  // Kind tests.
  EXPECT_TRUE(ById("link")->Is(ElementKind::Anchor));
  EXPECT_FALSE(ById("link")->Is(ElementKind::Image));
  EXPECT_TRUE(ById("pic")->Is(ElementKind::Image));
  EXPECT_TRUE(ById("sel")->Is(ElementKind::Select));
  EXPECT_TRUE(ById("txt")->Is(ElementKind::Input));
  EXPECT_FALSE(ById("txt")->Is(ElementKind::InputButton));
  EXPECT_TRUE(ById("btn")->Is(ElementKind::InputButton));
  EXPECT_TRUE(ById("sub")->Is(ElementKind::InputButton));
  EXPECT_TRUE(ById("button")->Is(ElementKind::Button));
  EXPECT_FALSE(ById("button")->Is(ElementKind::Input));
  EXPECT_FALSE(ById("svglink")->Is(ElementKind::Anchor));

  // Properties.
  EXPECT_EQ(ById("link")->href(), site.Url("/rel/page.html?q=1"));
  EXPECT_EQ(ById("pic")->src(), site.Url("/img/x.png"));
  EXPECT_EQ(ById("link")->id(), "link");
  EXPECT_EQ(ById("svglink")->innerText(), "svg text");
  auto pos = ById("pos");
  EXPECT_EQ(pos->offsetLeft(), 37);
  EXPECT_EQ(pos->offsetTop(), 53);
  EXPECT_EQ(pos->offsetWidth(), 120);

  auto txt = ById("txt");
  EXPECT_EQ(txt->value(), "initial");
  txt->setValue("changed");
  EXPECT_EQ(txt->value(), "changed");

  auto sel = ById("sel");
  sel->setSelectedIndex(1);
  EXPECT_EQ(sel->value(), "v2");
  auto options = doc.getElementsByTagName("option");
  ASSERT_EQ(options->length(), 3);
  EXPECT_TRUE(options->item(0)->Is(ElementKind::Option));
  EXPECT_EQ(options->item(0)->text(), "One");
  EXPECT_EQ(options->item(1)->text(), "Two");
  // A select's own options: those in its groups, not those of a list after it.
  auto own = sel->options();
  ASSERT_EQ(own->length(), 2);
  EXPECT_TRUE(own->item(1)->Is(ElementKind::Option));
  EXPECT_EQ(own->item(1)->text(), "Two");
  EXPECT_THROW(ById("txt")->options(), DocumentError);

  // Failing calls throw; a kind mismatch does not.
  EXPECT_THROW(ById("link")->setSelectedIndex(0), DocumentError);
}

TEST_F(ChromiumView, ImagesOfferTheirLargestPictureInShadowRootsAndFramesTooAndBackgroundsAreListed) {
  // Each img names in its title the address its largest picture has.
  site.AddPage("/start.html", R"HTML(<title>Pictures</title><base href="/base/">
<img title="plain.jpg" src="plain.jpg">
<img title="d2.jpg" src="d1.jpg" srcset="d1.jpg 1x, d3.jpg 1.5x, d2.jpg 2x">
<img title="w1600.jpg" src="fallback.jpg" srcset="w960.jpg 960w,w1600.jpg   1600w , w320.jpg 320w">
<img title="lazy.jpg" src="data:image/gif;base64,R0lGODlhAQABAAAAACw=" data-src="lazy.jpg">
<img title="orig.jpg" src="/loading.gif" data-original="orig.jpg">
<img title="ls2.jpg" data-srcset="ls1.jpg 600w, ls2.jpg 1200w">
<img title="x,1.jpg" srcset="x,1.jpg 900w, data:image/png;base64,AAA= 10w">
<picture>
  <source type="image/avif" srcset="huge.avif 4000w">
  <source media="(min-width: 2000px)" srcset="p2000.jpg 2000w, p800.jpg 800w">
  <img title="p2000.jpg" src="data:image/gif;base64,R0lGODlhAQABAAAAACw=" srcset="p400.jpg 400w">
</picture>
<div style="width:50px;height:50px;background:url('bg1.png'), linear-gradient(red, blue)"></div>
<div style="display:none;background-image:url(hidden.png)"></div>
<p style="width:20px;height:20px;background-image:url(&quot;bg1.png&quot;)"></p>
<style>#after::after { content: ''; background-image: url(bg2.png); }</style>
<div id="after" style="width:9px;height:9px"></div>
<canvas id="blank" width="400" height="500"></canvas>
<div id="host"></div><iframe src="/base/inner.html"></iframe><script>
  const root = document.getElementById('host').attachShadow({ mode: 'open' });
  root.innerHTML = '<img title="s.jpg" src="s.jpg"><span></span>';
  root.querySelector('span').attachShadow({ mode: 'open' }).innerHTML = '<img title="n.jpg" src="n.jpg">';
  document.body.appendChild(document.createElement('div')).attachShadow({ mode: 'closed' }).innerHTML = '<img>';
</script></body></html>)HTML");
  site.AddPage("/base/inner.html", R"HTML(<img title="f.jpg" src="f.jpg">)HTML");
  engine::FIHTMLDocument& doc = Load("/start.html");
  auto images = doc.getElementsByTagName("img");
  QStringList titles;
  for (int i = 0; i < images->length(); ++i) {
    titles << images->item(i)->outerHTML().section('"', 1, 1);
    EXPECT_EQ(images->item(i)->imageSource(), site.Url("/base/" + titles.last())) << i;
  }
  // After the top document, its open shadow roots and then its frames, depth-first; a closed
  // root stays closed.
  EXPECT_EQ(titles.mid(7), QStringList({"p2000.jpg", "s.jpg", "n.jpg", "f.jpg"}));
  EXPECT_TRUE(ById("blank")->canvasPicture().isEmpty()) << "a canvas nothing was drawn into";
  EXPECT_EQ(doc.backgroundImageSources(),
            QStringList({site.Url("/base/bg1.png"), site.Url("/base/bg2.png")}));
}

TEST_F(ChromiumView, WalkSeesEveryElementAndPageScriptsCannotInterfere) {
  QString html = R"HTML(<title>Walk</title><script>
    // A hostile page: it replaces what a naive helper would use.
    HTMLElement.prototype.click = function () { document.title = 'hijacked'; };
    Object.defineProperty(HTMLElement.prototype, 'innerText', { get() { return 'fake'; } });
    document.getElementById = function () { return null; };
    window.__gantrell = { all: function () { return [0, []]; } };
  </script>)HTML";
  html += "<p id='mine'>mine</p>";
  for (int i = 0; i < 300; ++i) html += QString("<a href='/never-go/%1'>link %1</a>").arg(i);
  site.AddPage("/start.html", html);
  engine::FIHTMLDocument& doc = Load("/start.html");
  auto all = doc.all();
  int anchors = 0;
  for (int i = 0; i < all->length(); ++i) {
    auto e = all->item(i);
    if (!e->Is(ElementKind::Anchor)) continue;
    EXPECT_EQ(e->innerText(), QString("link %1").arg(anchors));
    ++anchors;
  }
  EXPECT_EQ(anchors, 300);
  EXPECT_EQ(ById("mine")->innerText(), "mine"); // the page's replacements are not used
  auto anchorsByTag = doc.getElementsByTagName("a");
  anchorsByTag->item(5)->click();
  EXPECT_EQ(events.navigations.last(), site.Url("/never-go/5"));
  EXPECT_EQ(doc.title(), "Walk");
}

TEST_F(ChromiumView, HandlesOfALeftPageFail) {
  site.AddPage("/one.html", "<title>One</title><p id='p'>one</p>");
  site.AddPage("/two.html", "<title>Two</title><p id='p'>two</p>");
  Load("/one.html");
  auto old = ById("p");
  auto oldAll = view->Document()->all();
  Load("/two.html");
  EXPECT_THROW(old->innerText(), DocumentError);
  EXPECT_THROW(oldAll->item(0)->outerHTML(), DocumentError);
  EXPECT_EQ(ById("p")->innerText(), "two");
}

TEST_F(ChromiumView, PagesAndRequestsCarryTheEnginesUserAgentAndShowNoAutomation) {
  // What pages test before they show their images: webdriver, "Headless" in the agent or its
  // brands, no languages, a window larger than the screen.
  site.AddPage("/start.html", "<script>document.title = [navigator.userAgent, navigator.webdriver,"
                              "/Headless/.test(JSON.stringify(navigator.userAgentData.brands)),"
                              "navigator.languages.length > 0,"
                              "outerWidth <= screen.width && outerHeight <= screen.height].join('|')</script>");
  engine::FIHTMLDocument& doc = Load("/start.html");
  const QString agent = Browser().UserAgent();
  EXPECT_FALSE(agent.isEmpty());
  EXPECT_FALSE(agent.contains("Headless"));
  EXPECT_EQ(doc.title(), agent + "|false|false|true|true");
  EXPECT_EQ(site.Requests().first().Header("User-Agent"), agent.toUtf8());
  const QByteArray brands = site.Requests().first().Header("Sec-CH-UA");
  EXPECT_TRUE(brands.contains("Chromium") && !brands.contains("Headless")) << brands.constData();
}

TEST_F(ChromiumView, CookiesForAnAddressFollowTheBrowsersOwnRules) {
  testing_support::Resource page;
  page.body = "<title>Cookies</title><script>"
              "document.cookie = 'script=2; path=/img';"
              "document.cookie = 'elsewhere=3; path=/other';</script>";
  page.headers = {{"Set-Cookie", "header=1; Path=/; HttpOnly"}};
  site.Add("/cookies.html", page);
  Load("/cookies.html");
  QStringList sent = view->CookieHeader(site.Url("/img/a.png")).split("; ");
  sent.sort();
  EXPECT_EQ(sent, QStringList({"header=1", "script=2"}));
  EXPECT_EQ(view->CookieHeader(site.Url("/b.png")), "header=1");
  // Another host gets none of them.
  EXPECT_EQ(view->CookieHeader(QString("http://localhost:%1/img/a.png").arg(site.Port())), "");
}

TEST_F(ChromiumView, CrossSiteNavigationKeepsTheViewWorking) {
  // Another site (host name instead of address): the page may move to another renderer.
  site.AddPage("/one.html", "<title>One</title><a id='go' href='#'>go</a>");
  site.AddPage("/two.html", "<title>Two</title><p id='p'>two</p>");
  engine::FIHTMLDocument& doc = Load("/one.html");
  EXPECT_EQ(doc.title(), "One");
  const QString other = QString("http://localhost:%1/two.html").arg(site.Port());
  view->Navigate(other);
  ASSERT_TRUE(WaitFor([&] { return events.pageComplete == 2; }, kLoadTimeoutMs));
  EXPECT_EQ(events.navigations.last(), other);
  EXPECT_EQ(view->Document()->title(), "Two");
  EXPECT_EQ(ById("p")->innerText(), "two");
  Load("/one.html");
  EXPECT_EQ(view->Document()->title(), "One");
}

TEST_F(ChromiumView, AThrowingHandlerDoesNotStopTheView) {
  struct Throwing : Recorder {
    void OnBeforeNavigate(const QString& url, bool& cancel) override {
      Recorder::OnBeforeNavigate(url, cancel);
      if (url.contains("/throw")) throw DocumentError("handler failed");
    }
  } throwing;
  site.AddPage("/start.html", "<title>Start</title><a id='t' href='/throw.html'>t</a>");
  site.AddPage("/throw.html", "<title>Thrown</title>");
  std::unique_ptr<engine::FIBrowserView> own;
  ASSERT_TRUE(OpenPage(Browser(), throwing, site.Url("/start.html"), own));
  own->Document()->getElementById("t")->click();
  EXPECT_EQ(throwing.navigations.last(), site.Url("/throw.html"));
  // The navigation goes on as not cancelled, and the view keeps working.
  ASSERT_TRUE(WaitFor([&] { return throwing.pageComplete == 2; }, kLoadTimeoutMs));
  EXPECT_EQ(own->Document()->title(), "Thrown");
}

TEST_F(ChromiumView, TurnsInPlaceChangeTheAddressWithoutANavigation) {
  // A reader's router: a fragment link, a hash set by script, pushState and replaceState.
  site.AddPage("/reader/1", R"HTML(<title>Reader</title>
<a id="fragment" href="#p2">fragment</a>
<button id="hash">hash</button><button id="push">push</button><button id="replace">replace</button>
<script>
document.getElementById('hash').addEventListener('click', () => { location.hash = 'p3'; });
document.getElementById('push').addEventListener('click', () => history.pushState({p: 4}, '', '/reader/4'));
document.getElementById('replace').addEventListener('click', () => history.replaceState({p: 5}, '', '/reader/5?x=1'));
</script>)HTML");
  engine::FIHTMLDocument& doc = Load("/reader/1");
  const std::pair<const char*, QString> turns[] = {{"fragment", site.Url("/reader/1#p2")},
                                                   {"hash", site.Url("/reader/1#p3")},
                                                   {"push", site.Url("/reader/4")},
                                                   {"replace", site.Url("/reader/5?x=1")}};
  for (const auto& [id, url] : turns) {
    ById(id)->clickAtCentre();
    EXPECT_EQ(doc.url(), url) << id;
  }
  Settle();
  // Only the first load was offered; the document stayed.
  EXPECT_EQ(events.navigations, QStringList{site.Url("/reader/1")});
  EXPECT_EQ(events.pageComplete, 1);
  EXPECT_EQ(site.RequestCount("/reader/4"), 0);
  EXPECT_EQ(site.RequestCount("/reader/5"), 0);
}

TEST_F(ChromiumView, ClickAtCentreIsAPersonsClickThatListenersOfEveryKindSee) {
  // Listeners added by script, as frameworks add them; each notes the events it saw. The
  // covered button lies under a transparent layer; the empty one takes no room.
  site.AddPage("/start.html", R"HTML(<title>Start</title>
<div id="next" role="button" aria-label="Next page" style="width:40px;height:40px;margin-top:1500px">›</div>
<div style="position:relative"><button id="covered">Next</button>
<div style="position:absolute;left:0;top:0;width:200px;height:60px"></div></div>
<span id="empty" role="button"></span>
<script>
window.seen = {};
for (const id of ['next', 'covered', 'empty']) {
  const e = document.getElementById(id);
  for (const type of ['pointerdown', 'mousedown', 'pointerup', 'mouseup', 'click'])
    e.addEventListener(type, (ev) => { e.dataset.seen = (e.dataset.seen || '') + type + (ev.isTrusted ? '+ ' : ' '); });
  e.addEventListener('click', () => { location.href = '/never-go/' + id + '.html'; });
}
</script>)HTML");
  Load("/start.html");
  const QString sequence = "pointerdown mousedown pointerup mouseup click";
  const auto seen = [&](const QString& id) {
    auto e = ById(id);
    return e->outerHTML().section("data-seen=\"", 1).section('"', 0, 0).simplified();
  };
  for (const QString id : {"next", "covered", "empty"}) {
    events.navigations.clear();
    ById(id)->clickAtCentre();
    // The navigation the click started was offered before the call returned.
    EXPECT_EQ(events.navigations, QStringList{site.Url("/never-go/" + id + ".html")}) << id.toStdString();
  }
  // Below the first screen, still reached by the browser's own input.
  EXPECT_EQ(seen("next"), "pointerdown+ mousedown+ pointerup+ mouseup+ click+");
  // Under another element or without room: the same events, dispatched to it.
  EXPECT_EQ(seen("covered"), sequence);
  EXPECT_EQ(seen("empty"), sequence);
}

TEST_F(ChromiumView, ControlsListenersAndShownImagesAsTheSearchesReadThem) {
  site.AddPage("/start.html", R"HTML(<title>Start</title>
<p>Text <span>plain</span> <a href="/a">Link</a></p>
<button id="b1">Next</button> <input id="b2" type="button" value="次へ">
<div id="b3" role="button" aria-label="Next page"><svg width="10" height="10"></svg></div>
<span id="b4" title="Previous">‹</span> <a id="b5"><img src="/next.gif" alt="下一页"></a>
<button id="d1" disabled>Next</button> <a id="d2" href="/x" aria-disabled="true">Next</a>
<ul><li class="disabled"><a id="d3" href="/x">Next</a></li></ul> <fieldset disabled><button id="d4">Next</button></fieldset>
<img id="own" src="/1.jpg" width="300" height="400"> <div id="box"><img id="wrapped" src="/2.jpg"></div>
<div id="app"><p><img id="delegated" src="/3.jpg"></p><p>more</p></div>
<img id="hidden" src="/4.jpg" style="display:none">
<div style="overflow:hidden;width:300px"><img src="/5.jpg" width="300" height="400" style="transform:translateX(-400px)"></div>
<script>
document.getElementById('own').addEventListener('mousedown', () => {});
document.getElementById('box').addEventListener('click', () => {});
document.getElementById('app').addEventListener('click', () => {});
</script>)HTML");
  engine::FIHTMLDocument& doc = Load("/start.html");
  auto controls = doc.controls();
  QStringList ids;
  for (int i = 0; i < controls->length(); ++i) {
    auto control = controls->item(i);
    const QString id = control->id().isEmpty() ? control->innerText() : control->id();
    ids << id + "=" + control->labels().join('|') + (control->disabled() ? " (disabled)" : "");
  }
  EXPECT_EQ(ids.join("; ").toStdString(),
            "Link=Link; b1=Next; b2=次へ; b3=Next page; b4=‹|Previous; b5=下一页; d1=Next (disabled); "
            "d2=Next (disabled); d3=Next (disabled); d4=Next (disabled)");
  // Listeners the page added, on the element or on what wraps only it; not an app's root's.
  for (const auto& [id, expected] : std::vector<std::pair<QString, bool>>{
           {"own", true}, {"wrapped", true}, {"delegated", false}, {"hidden", false}})
    EXPECT_EQ(ById(id)->hasClickHandler(), expected) << id.toStdString();
  EXPECT_EQ(doc.imageShown(site.Url("/1.jpg")), engine::ImagePresence::Shown);
  EXPECT_EQ(doc.imageShown(site.Url("/4.jpg")), engine::ImagePresence::Hidden);
  EXPECT_EQ(doc.imageShown(site.Url("/5.jpg")), engine::ImagePresence::Hidden); // slid aside
  EXPECT_EQ(doc.imageShown(site.Url("/6.jpg")), engine::ImagePresence::Gone);
}

TEST(ChromiumCrash, ViewsOfACrashedBrowserNeverCompleteAndNothingHangs) {
  LocalSite site;
  site.AddPage("/a.html", "<title>A</title><p>a</p>");
  engine::CChromiumBrowser browser;
  Recorder events;
  std::unique_ptr<engine::FIBrowserView> view;
  ASSERT_TRUE(OpenPage(browser, events, site.Url("/a.html"), view));
  auto paragraphs = view->Document()->getElementsByTagName("p");
  const qint64 pid = browser.ProcessId();
  ASSERT_GT(pid, 0);
  ::kill(pid_t(pid), SIGKILL); // the browser this test started, by its id
  ASSERT_TRUE(WaitFor([&] { return !browser.IsRunning(); }, kLoadTimeoutMs));
  EXPECT_EQ(view->Document(), nullptr);
  EXPECT_THROW(paragraphs->item(0)->innerText(), DocumentError);
  view->Navigate(site.Url("/a.html"));
  auto another = browser.CreateView(&events);
  ASSERT_TRUE(another);
  another->Navigate(site.Url("/a.html"));
  WaitFor([] { return false; }, 200);
  EXPECT_EQ(another->Document(), nullptr);
  EXPECT_EQ(events.pageComplete, 1);
}

TEST(ChromiumDownloads, NothingIsDownloadedAndNothingLandsInTheUsersHome) {
  // The browser of this test runs for a user whose home is a scratch folder.
  testing_support::Sandbox home;
  const QList<QByteArray> names{"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"};
  QList<QByteArray> saved;
  for (const QByteArray& name : names) {
    saved << qgetenv(name.constData());
    qputenv(name.constData(), QFile::encodeName(home.path()) + (name == "HOME" ? "" : "/" + name));
  }
  struct Restore {
    const QList<QByteArray>& names;
    const QList<QByteArray>& values;
    ~Restore() {
      for (qsizetype i = 0; i < names.size(); ++i)
        values[i].isNull() ? qunsetenv(names[i].constData()) : qputenv(names[i].constData(), values[i]);
    }
  } restore{names, saved};

  LocalSite site;
  testing_support::Resource attachment{"PK\x03\x04 not a page", "application/zip"};
  attachment.headers = {{"Content-Disposition", "attachment; filename=\"chapter.zip\""}};
  site.Add("/pushed.zip", attachment);
  site.Add("/framed.zip", attachment);
  site.Add("/plain.bin", QByteArray(4096, 'x'), "application/octet-stream");
  site.AddPage("/start.html", R"HTML(<title>Start</title>
<a id="save" href="/plain.bin" download="plain.bin">save</a>
<iframe src="/framed.zip"></iframe>
<button id="go" onclick="location.href='/pushed.zip'">go</button>)HTML");
  site.AddPage("/next.html", "<title>Next</title>");
  {
    engine::CChromiumBrowser browser;
    Recorder events;
    std::unique_ptr<engine::FIBrowserView> view;
    ASSERT_TRUE(OpenPage(browser, events, site.Url("/start.html"), view));
    view->Document()->getElementById("save")->click();
    view->Document()->getElementById("go")->click();
    WaitFor([] { return false; }, 1500);
    EXPECT_GE(site.RequestCount("/pushed.zip"), 1);
    EXPECT_GE(site.RequestCount("/framed.zip"), 1);
    // The page stays and the view goes on as before.
    EXPECT_EQ(view->Document()->title(), "Start");
    view->Navigate(site.Url("/next.html"));
    ASSERT_TRUE(WaitFor([&] { return events.pageComplete == 2; }, kLoadTimeoutMs));
    EXPECT_EQ(view->Document()->title(), "Next");
  }
  QStringList left;
  QDirIterator it(home.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) left << it.next();
  EXPECT_TRUE(left.isEmpty()) << left.join('\n').toStdString();
}

TEST(ChromiumMissing, ViewsOfAMissingBrowserNeverComplete) {
  engine::CChromiumBrowser browser("/nonexistent/chromium");
  Recorder events;
  auto view = browser.CreateView(&events);
  ASSERT_TRUE(view);
  view->Navigate("http://127.0.0.1:1/");
  view->Stop();
  WaitFor([] { return false; }, 100);
  EXPECT_EQ(view->Document(), nullptr);
  EXPECT_EQ(events.pageComplete, 0);
  EXPECT_FALSE(browser.IsRunning());
}
