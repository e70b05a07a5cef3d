// Page-jump strategies against documents built in memory, and against real markup in the real
// browser: which page controls are recognised, which are refused, what count they read and
// what a jump does to the page.
#include "engine/browser/chromium_browser.h"
#include "engine/page_jump.h"
#include "engine/page_jump_controls.h"
#include "engine/page_jump_input.h"
#include "engine/page_jump_next_page.h"
#include "engine/page_jump_numbers.h"
#include "engine/page_jump_option.h"
#include "fake_document.h"
#include "local_site.h"
#include "test_support.h"

#include <gtest/gtest.h>

using testing_support::FakeDocument;
using testing_support::FakeElement;

namespace {

const QString kNext = QStringLiteral(u"下一页");
const QString kPrevious = QStringLiteral(u"上一页");

QStringList Numbers(int from, int to) {
  QStringList list;
  for (int i = from; i <= to; ++i) list << QString::number(i);
  return list;
}

// A page box with an id, markup that speaks of a page, and a go button on its right.
FakeElement& AddPageBox(FakeDocument& doc, const QString& extraMarkup = {}) {
  FakeElement& box = doc.Add(QStringLiteral("input"), {engine::ElementKind::Input});
  box.id = QStringLiteral("pg");
  box.left = 100;
  box.top = 500;
  box.width = 40;
  box.outerHTML = QStringLiteral("<input id=\"pg\" name=\"page\" %1>").arg(extraMarkup);
  return box;
}

FakeElement& AddGoButton(FakeDocument& doc, int left, int top) {
  FakeElement& go = doc.AddInputButton(QStringLiteral("GO"));
  go.left = left;
  go.top = top;
  go.outerHTML = QStringLiteral(
      "<input type=button onclick=\"go(document.getElementById('pg').value)\" value=GO>");
  return go;
}

} // namespace

TEST(PageDigits, SpacesAreSkippedAndAnythingElseRejects) {
  EXPECT_EQ(ParsePageDigits(QStringLiteral("12")), 12);
  EXPECT_EQ(ParsePageDigits(QStringLiteral(" 1 2 ")), 12);
  EXPECT_EQ(ParsePageDigits(QStringLiteral(u"\u30001\u30002")), 12);
  EXPECT_EQ(ParsePageDigits(QStringLiteral("  ")), -1);
  EXPECT_EQ(ParsePageDigits(QString()), -1);
  EXPECT_EQ(ParsePageDigits(QStringLiteral("12,")), -1);
  EXPECT_EQ(ParsePageDigits(QStringLiteral(u"十二")), -1);
  EXPECT_EQ(ParsePageDigits(QStringLiteral("99999999999999999999")), 2147483647);
}

TEST(TotalPages, ReadFromTheFirstInAllPagePair) {
  FakeDocument doc;
  const auto total = [&](const QString& text) {
    doc.pageText = text;
    return TotalPagesFromText(&doc);
  };
  EXPECT_EQ(total(QStringLiteral(u"漫画 共 12 页 下一页")), 12);
  EXPECT_EQ(total(QStringLiteral(u"总12张")), 12);
  EXPECT_EQ(total(QStringLiteral(u"共 1 2 页")), 12);
  EXPECT_EQ(total(QStringLiteral(u"共12页,第3页")), 12);
  EXPECT_EQ(total(QStringLiteral(u"页 共12页")), 12); // a 页 before 共 is not the end mark
  EXPECT_EQ(total(QStringLiteral(u"共十二页")), 0);
  EXPECT_EQ(total(QStringLiteral(u"共12")), 0);
  EXPECT_EQ(total(QStringLiteral("no count at all")), 0);
}

TEST(TotalPages, KnownSiteFallsBackToItsCounterElement) {
  FakeDocument doc;
  doc.pageText = QStringLiteral(u"共十二页");
  FakeElement& counter = doc.Add(QStringLiteral("span"));
  counter.id = QStringLiteral("spDataCount");
  counter.innerText = QStringLiteral(" 27 ");
  EXPECT_EQ(TotalPagesFromText(&doc), 0); // only for the site's own title

  doc.pageTitle = QStringLiteral(u"第1话 - 精明眼漫画");
  EXPECT_EQ(TotalPagesFromText(&doc), 27);
  counter.innerText = QStringLiteral("27p");
  EXPECT_EQ(TotalPagesFromText(&doc), -1);
}

TEST(LinkText, SpacesAndOneBracketPairAreRemoved) {
  EXPECT_EQ(NormaliseLinkText(QStringLiteral(u"[下一页]")), kNext);
  EXPECT_EQ(NormaliseLinkText(QStringLiteral(u" 下 一\u3000页 ")), kNext);
  EXPECT_EQ(NormaliseLinkText(QStringLiteral(u"<下一页>")), kNext);
  EXPECT_EQ(NormaliseLinkText(QStringLiteral(u"[[下一页]]")), QStringLiteral(u"[下一页]"));
  EXPECT_EQ(NormaliseLinkText(QStringLiteral(u"下一页>>")), QStringLiteral(u"下一页>>"));
  EXPECT_EQ(NormaliseLinkText(QStringLiteral("()")), QString());
  EXPECT_EQ(NormaliseLinkText(QStringLiteral("[)")), QStringLiteral("[)"));
}

TEST(TotalPages, OtherLanguagesCountOnlyWhenTheChineseRulesFindNothing) {
  FakeDocument doc;
  const auto total = [&](const QString& text) {
    doc.pageText = text;
    return TotalPagesFromText(&doc);
  };
  EXPECT_EQ(total(QStringLiteral("Chapter 3 - Page 2 of 7")), 7);
  EXPECT_EQ(total(QStringLiteral("PAGE 3 OF 12 (4 of 9 comments)")), 12);
  EXPECT_EQ(total(QStringLiteral("4 of 9")), 9);
  EXPECT_EQ(total(QStringLiteral("page 8 of 7")), 0);  // a page past the total is no total
  EXPECT_EQ(total(QStringLiteral("14 of 7")), 0);
  EXPECT_EQ(total(QStringLiteral("1of7")), 0);
  EXPECT_EQ(total(QStringLiteral(u"全７ページ")), 7);  // full-width digits
  EXPECT_EQ(total(QStringLiteral(u"7ページ中2ページ目")), 7);
  EXPECT_EQ(total(QStringLiteral(u"2 / 7ページ")), 7);
  EXPECT_EQ(total(QStringLiteral(u"총 7 페이지")), 7);
  EXPECT_EQ(total(QStringLiteral(u"7페이지 중 2페이지")), 7);
  EXPECT_EQ(total(QStringLiteral(u"2/7 페이지")), 7);
  // The Chinese rule decides whenever it reads a count; an unreadable one lets others speak.
  EXPECT_EQ(total(QStringLiteral(u"共 5 页 Page 2 of 7")), 5);
  EXPECT_EQ(total(QStringLiteral(u"共十二页 Page 2 of 7")), 7);
}

TEST(LinkText, OtherLanguagesIgnoreCaseBlanksArrowsAndBrackets) {
  const std::pair<const char16_t*, int> cases[] = {
      {u"Next", 1}, {u"» Next page ›", 1}, {u"NEXT >", 1}, {u"[next]", 1}, {u"Next »", 1},
      {u"‹ Prev", -1}, {u"Previous", -1}, {u"<< previous page", -1}, {u"←Prev", -1},
      {u"次へ", 1}, {u"次のページ »", 1}, {u"前へ", -1}, {u"« 前のページ", -1},
      {u"다음 ›", 1}, {u"< 이전", -1},
      {u"Next chapter", 0}, {u"nextpages", 0}, {u"Next 10", 0}, {u"下一页", 0}, {u"»", 0},
  };
  for (const auto& [text, direction] : cases)
    EXPECT_EQ(CPageJumpNextPage::OtherLinkDirection(QString::fromUtf16(text)), direction)
        << QString::fromUtf16(text).toStdString();
}

TEST(CreatePageJump, OtherLanguagesComeAfterEveryChineseRule) {
  FakeDocument doc;
  doc.pageText = QStringLiteral("Page 2 of 7");
  FakeElement& first = doc.AddAnchor(QStringLiteral("Next ›"));
  FakeElement& last = doc.AddInputButton(QStringLiteral(u"次へ"));
  std::int32_t count = 0;
  auto strategy = CreatePageJump(&doc, &count);
  ASSERT_NE(dynamic_cast<CPageJumpNextPage*>(strategy.get()), nullptr);
  EXPECT_EQ(count, 7);
  strategy->JumpToPage(&doc, 3);
  EXPECT_EQ(first.clicks, 0); // the last match in document order wins, as in Chinese
  EXPECT_EQ(last.clicks, 1);

  // A page box the Chinese rules accept keeps the page as it was walked before.
  doc.pageText = QStringLiteral(u"共 8 页 Page 2 of 7");
  FakeElement& box = AddPageBox(doc, QStringLiteral("onkeyup=\"f()\""));
  strategy = CreatePageJump(&doc, &count);
  EXPECT_NE(dynamic_cast<CPageJumpInput*>(strategy.get()), nullptr);
  EXPECT_EQ(count, 8);

  // Chinese links beat the others on the same page.
  FakeElement& chinese = doc.AddAnchor(kNext);
  strategy = CreatePageJump(&doc, &count);
  ASSERT_NE(dynamic_cast<CPageJumpNextPage*>(strategy.get()), nullptr);
  strategy->JumpToPage(&doc, 3);
  EXPECT_EQ(chinese.clicks, 1);
  EXPECT_EQ(last.clicks, 1);
  EXPECT_TRUE(box.events.isEmpty());
}

TEST(PageList, CaptionOptionIsAcceptedAndShiftsTheIndex) {
  FakeDocument doc;
  FakeElement& select = doc.AddSelect(QStringList{QStringLiteral("-- page --")} + Numbers(1, 5));
  CPageJumpOption strategy;
  EXPECT_EQ(strategy.GetPageCount(&doc), 5);
  strategy.JumpToPage(&doc, 3);
  EXPECT_EQ(select.selectedIndex, 3);
  EXPECT_EQ(select.events, QStringList{QStringLiteral("onchange")});
}

TEST(PageList, WithoutCaptionPageNIsIndexNMinusOne) {
  FakeDocument doc;
  FakeElement& select = doc.AddSelect(Numbers(1, 12));
  CPageJumpOption strategy;
  EXPECT_EQ(strategy.GetPageCount(&doc), 12);
  strategy.JumpToPage(&doc, 12);
  EXPECT_EQ(select.selectedIndex, 11);
}

TEST(PageList, ShortOrBrokenSequencesAreRejected) {
  CPageJumpOption strategy;
  FakeDocument four;
  four.AddSelect(Numbers(1, 4));
  EXPECT_EQ(strategy.GetPageCount(&four), 0);

  FakeDocument gap;
  gap.AddSelect({"1", "2", "4", "5", "6"});
  EXPECT_EQ(strategy.GetPageCount(&gap), 0);

  FakeDocument secondCaption; // only the first option may lack its number
  secondCaption.AddSelect({"1", "x", "2", "3", "4", "5"});
  EXPECT_EQ(strategy.GetPageCount(&secondCaption), 0);
}

TEST(PageList, ChapterWordingAndContainmentPass) {
  FakeDocument doc;
  QStringList texts;
  for (int i = 1; i <= 11; ++i) texts << QStringLiteral(u"第 %1 页").arg(i);
  doc.AddSelect(texts);
  EXPECT_EQ(CPageJumpOption().GetPageCount(&doc), 11);
}

TEST(PageList, LaterListWinsAndOptionsStayWithTheirList) {
  FakeDocument doc;
  FakeElement& top = doc.AddSelect(Numbers(1, 6));
  doc.AddAnchor(QStringLiteral("home"));
  doc.AddSelect({"red", "green", "blue", "cyan", "black"}); // not a page list
  FakeElement& bottom = doc.AddSelect(Numbers(1, 6));
  CPageJumpOption strategy;
  EXPECT_EQ(strategy.GetPageCount(&doc), 6);
  strategy.JumpToPage(&doc, 2);
  EXPECT_EQ(top.selectedIndex, -1);
  EXPECT_EQ(bottom.selectedIndex, 1);
}

TEST(PageList, OptionsAreTheSelectsOwnWhateverStandsBetweenThem) {
  // In document order: the select, a group, three options, a rule, three more options; then
  // a suggestion list whose options follow but are not the select's.
  FakeDocument doc;
  FakeElement& select = doc.Add(QStringLiteral("select"), {engine::ElementKind::Select});
  auto own = [&](const QString& n) {
    doc.Add("option", {engine::ElementKind::Option}).text = n;
    select.options.push_back(doc.elements.back());
  };
  doc.Add(QStringLiteral("optgroup")).outerHTML = QStringLiteral("<OPTGROUP label=a>");
  for (const QString& n : Numbers(1, 3)) own(n);
  doc.Add(QStringLiteral("hr"));
  for (const QString& n : Numbers(4, 6)) own(n);
  doc.Add(QStringLiteral("datalist"));
  for (const QString& n : Numbers(7, 9)) doc.Add("option", {engine::ElementKind::Option}).text = n;
  CPageJumpOption strategy;
  EXPECT_EQ(strategy.GetPageCount(&doc), 6);
  strategy.JumpToPage(&doc, 5);
  EXPECT_EQ(select.selectedIndex, 4);
}

TEST(PageLinks, BracketedAndSpacedTextsAreFoundButArrowsAreNot) {
  FakeDocument doc;
  doc.pageText = QStringLiteral(u"共 12 页");
  FakeElement& arrow = doc.AddAnchor(QStringLiteral(u"下一页>>"));
  CPageJumpNextPage strategy;
  EXPECT_EQ(strategy.GetPageCount(&doc), 0);

  FakeElement& bracketed = doc.AddAnchor(QStringLiteral(u"[下一页]"));
  EXPECT_EQ(strategy.GetPageCount(&doc), 12);
  FakeElement& spaced = doc.AddInputButton(QStringLiteral(u"下 一 页"));
  strategy.JumpToPage(&doc, 99);
  EXPECT_EQ(arrow.clicks, 0);
  EXPECT_EQ(bracketed.clicks, 0); // the last match in document order wins
  EXPECT_EQ(spaced.clicks, 1);
}

TEST(PageLinks, PreviousLinkAloneFitsButJumpsNowhere) {
  FakeDocument doc;
  doc.pageText = QStringLiteral(u"共 3 页");
  FakeElement& previous = doc.AddAnchor(kPrevious);
  CPageJumpNextPage strategy;
  EXPECT_EQ(strategy.GetPageCount(&doc), 3);
  strategy.JumpToPage(&doc, 3);
  EXPECT_EQ(previous.clicks, 0);
}

TEST(PageLinks, UnreadableCountStillFits) {
  FakeDocument doc;
  doc.pageText = QStringLiteral(u"共十二页");
  doc.pageTitle = QStringLiteral(u"精明眼");
  doc.Add(QStringLiteral("span")).id = QStringLiteral("spDataCount"); // empty: -1
  doc.AddAnchor(kNext);
  std::int32_t count = 0;
  const auto strategy = CreatePageJump(&doc, &count);
  ASSERT_NE(strategy, nullptr);
  EXPECT_EQ(count, -1);
}

TEST(PageBox, GoButtonOnTheRightOfTheBoxIsClicked) {
  FakeDocument doc;
  doc.pageText = QStringLiteral(u"共 20 页");
  FakeElement& box = AddPageBox(doc);
  FakeElement& go = AddGoButton(doc, 150, 503);
  CPageJumpInput strategy;
  EXPECT_EQ(strategy.GetPageCount(&doc), 20);
  strategy.JumpToPage(&doc, 7);
  EXPECT_EQ(box.value, QStringLiteral("7"));
  EXPECT_EQ(go.clicks, 1);
  EXPECT_TRUE(box.events.isEmpty());
}

TEST(PageBox, WideBoxIsIgnored) {
  FakeDocument doc;
  doc.pageText = QStringLiteral(u"共 20 页");
  AddPageBox(doc, QStringLiteral("onkeyup=\"f()\"")).width = 120;
  EXPECT_EQ(CPageJumpInput().GetPageCount(&doc), 0);
}

TEST(PageBox, MisplacedButtonIsNotTakenButAKeyHandlerStillQualifies) {
  for (const auto& [left, top] : {std::pair{60, 500}, std::pair{100, 500}, std::pair{150, 510}}) {
    FakeDocument doc;
    doc.pageText = QStringLiteral(u"共 20 页");
    FakeElement& box = AddPageBox(doc);
    FakeElement& go = AddGoButton(doc, left, top);
    EXPECT_EQ(CPageJumpInput().GetPageCount(&doc), 0) << left << "," << top;

    box.outerHTML = QStringLiteral("<input id=\"pg\" name=\"page\" ONKEYUP=\"f(event)\">");
    CPageJumpInput strategy;
    EXPECT_EQ(strategy.GetPageCount(&doc), 20);
    strategy.JumpToPage(&doc, 4);
    EXPECT_EQ(go.clicks, 0);
    EXPECT_EQ(box.events, QStringList{QStringLiteral("onkeypress")});
    EXPECT_EQ(box.lastKeyCode, 13);
    EXPECT_EQ(box.value, QStringLiteral("4"));
  }
}

TEST(PageBox, SelfNavigatingBoxGetsNoKeyPress) {
  FakeDocument doc;
  doc.pageText = QStringLiteral(u"共 20 页");
  FakeElement& box = AddPageBox(
      doc, QStringLiteral("onkeydown=\"if(event.keyCode==13)window.navigate('p'+this.value)\""));
  CPageJumpInput strategy;
  ASSERT_EQ(strategy.GetPageCount(&doc), 20);
  strategy.JumpToPage(&doc, 5);
  EXPECT_EQ(box.value, QStringLiteral("5"));
  EXPECT_TRUE(box.events.isEmpty());
}

TEST(PageBox, BoxWithoutPageWordingOrIdNeedsItsKeyHandler) {
  FakeDocument doc;
  doc.pageText = QStringLiteral(u"共 20 页");
  FakeElement& box = AddPageBox(doc);
  box.outerHTML = QStringLiteral("<input id=\"pg\">"); // no page wording
  AddGoButton(doc, 150, 500);
  EXPECT_EQ(CPageJumpInput().GetPageCount(&doc), 0);

  box.outerHTML = QStringLiteral("<input name=\"Page\" onkeyup=\"isNaN(this.value)\">");
  box.id.clear(); // no id: no go button, but "isNaN" and the key handler qualify it
  EXPECT_EQ(CPageJumpInput().GetPageCount(&doc), 20);
}

TEST(CreatePageJump, FixedOrderListThenLinksThenBox) {
  FakeDocument doc;
  doc.pageText = QStringLiteral(u"共 8 页");
  AddPageBox(doc, QStringLiteral("onkeyup=\"f()\""));
  std::int32_t count = 0;
  auto strategy = CreatePageJump(&doc, &count);
  EXPECT_NE(dynamic_cast<CPageJumpInput*>(strategy.get()), nullptr);
  EXPECT_EQ(count, 8);

  doc.AddAnchor(kNext);
  strategy = CreatePageJump(&doc, &count);
  EXPECT_NE(dynamic_cast<CPageJumpNextPage*>(strategy.get()), nullptr);

  doc.AddSelect(Numbers(1, 6));
  strategy = CreatePageJump(&doc, &count);
  EXPECT_NE(dynamic_cast<CPageJumpOption*>(strategy.get()), nullptr);
  EXPECT_EQ(count, 6);
}

TEST(CreatePageJump, NothingFitsOrNoDocument) {
  FakeDocument doc;
  doc.pageText = QStringLiteral(u"共 8 页");
  doc.AddAnchor(QStringLiteral("Next chapter"));
  std::int32_t count = 5;
  EXPECT_EQ(CreatePageJump(&doc, &count), nullptr);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(CreatePageJump(nullptr, &count), nullptr);
}

TEST(CreatePageJump, DocumentFailureSurfacesAsDocumentError) {
  FakeDocument doc;
  doc.AddSelect(Numbers(1, 6));
  doc.failing = true;
  EXPECT_THROW(CreatePageJump(&doc), engine::DocumentError);
}

namespace {

// Records the navigations a page offers after its load, and cancels them.
struct OfferedNavigations : engine::FIBrowserViewEvents {
  int loads = 0;
  QStringList offered;
  void OnBeforeNavigate(const QString& url, bool& cancel) override {
    if (loads > 0) offered << url;
    cancel = loads > 0;
  }
  void OnNewWindow(const QString&) override {}
  void OnDocumentComplete(bool isPage) override { loads += isPage; }
};

} // namespace

TEST(PageJumpOnRealMarkup, WhatFitsWhatItCountsAndWhereTheJumpGoes) {
  // Bodies modelled on real readers, each loaded at /c/2/ into the real browser, with /c/1/
  // saved already. The strategy that fits, its count, and where the jump to the next page goes.
  constexpr int kMore = CPageJumpBase::kMorePages;
  constexpr int kLast = CPageJumpBase::kLastPage;
  struct Case {
    int page;
    const char* body;
    const char* fits; // "numbers", "controls", "older" (a strategy of before) or "" (none)
    int count;
    const char* goes; // the path offered by the jump; "" for none
  };
  const Case cases[] = {
      // Numbered page links.
      {1, R"(<div class="page-links">Pages: <span class="post-page-numbers current" aria-current="page">1</span>
<a href="/p/2/" class="post-page-numbers">2</a> <a href="/p/3/" class="post-page-numbers">3</a></div>)", "numbers", 3, "/p/2/"},
      {2, R"(<div class="pagination"><a href="/f/1">«</a> <a href="/f/1">1</a> <strong>2</strong> <a href="/f/3">3</a> <span>…</span> <a href="/f/9">9</a></div>)", "numbers", 9, "/f/3"},
      {1, R"(<div>« <b>1</b> <a href="/f/2">2</a> … <a href="/f/9">9</a> »</div>)", "numbers", 9, "/f/2"},
      {2, R"(<div><a href="/f/1">1</a> <b>2</b> … <a href="/f/7">7</a> <a href="/f/8">8</a> <a href="/f/9">9</a></div>)", "numbers", 9, "/f/7"},
      {3, R"(<ul class="pager"><li><a href="/r/1">1</a></li><li><a href="/r/2">2</a></li><li class="active"><a href="#">3</a></li><li><a href="/r/4">4</a></li></ul>)", "numbers", 4, "/r/4"},
      {2, R"(<div><a href="/z/1">第1页</a> | <span>第2页</span> | <a href="/z/3">第3页</a></div>)", "numbers", 3, "/z/3"},
      {1, R"(<p>Page 1 of 7</p><div><b>1</b> <a href="/s/2">2</a> <a href="/s/3">3</a></div>)", "numbers", 7, "/s/2"},
      {1, R"(<div><a href="/n/1">1</a> <a href="/n/2">2</a> <a href="/n/3">3</a></div>)", "", 0, ""}, // no current page
      {1, R"(<div><b>1</b> <b>2</b> <a href="/n/3">3</a> <a href="/n/4">4</a></div>)", "", 0, ""},
      {1, R"(<div><a href="/n/1">1</a> <a href="/n/2">2</a> <b>3</b> <a href="/n/4">4</a></div>)", "", 0, ""}, // another page
      {1, R"(<div><b>1</b> <a href="/n/2">2</a> <a href="/n/4">4</a> <a href="/n/5">5</a></div>)", "", 0, ""},
      {1, R"(<div><b>1</b> <a href="/n/2">2</a> <a class="disabled" href="/n/3">3</a></div>)", "", 0, ""},
      {1, R"(<div class="years"><a href="/y/2021">2021</a> <a href="/y/2022">2022</a> <span>2023</span></div>)", "", 0, ""},
      {1, R"(<div class="days">May <a href="/d/10">10</a> <a href="/d/11">11</a> <b>12</b> <a href="/d/13">13</a></div>)", "", 0, ""},
      {1, R"(<div class="meta">Posted on <a href="/2024/">2024</a>/<a href="/2024/05/">05</a>/<span>12</span> <a href="/13/">13</a> <a href="/14/">14</a></div>)", "", 0, ""},
      {1, R"(<table><tr><td><a href="/d/1">1</a></td><td>2</td><td><a href="/d/3">3</a></td><td><a href="/d/4">4</a></td></tr></table>)", "", 0, ""},
      {1, R"(<div>Chapters: <b>1</b> <a href="/ch/2">2</a> <a href="/ch/3">3</a></div>)", "", 0, ""},
      {1, R"(<ul class="chapter-list"><li class="current"><a href="/ch/1">1</a></li><li><a href="/ch/2">2</a></li><li><a href="/ch/3">3</a></li></ul>)", "", 0, ""},
      {1, R"(<div><span>第1话</span> <a href="/ch/2">第2话</a> <a href="/ch/3">第3话</a></div>)", "", 0, ""},
      // Buttons, roles and icons, with a stated total.
      {2, R"(<span>Page 2 of 7</span><button aria-label="Previous page"><svg width="9" height="9"></svg></button>
<button aria-label="Next page" onclick="location.href='/b/3'"><svg width="9" height="9"></svg></button>)", "controls", 7, "/b/3"},
      {1, R"(<p>全7ページ</p><span role="button" title="次へ" onclick="location.href='/j/2'">▶</span>)", "controls", 7, "/j/2"},
      {1, R"(<p>Page 1 of 3</p><button onclick="location.href='/e/2'">Next</button>
<span title="下一页" onclick="location.href='/zh/2'">»</span>)", "controls", 3, "/zh/2"}, // Chinese first
      {1, R"(<p>Page 1 of 3</p><button disabled onclick="location.href='/x'">Next</button>)", "controls", kLast, ""},
      // No stated total: on while Next leads to a new page of the site.
      {2, R"(<a href="/c/1/">‹ Prev</a> <a class="comic-nav-next" href="/c/3/">Next ›</a>)", "controls", kMore, "/c/3/"},
      {2, R"(<a href="/c/1/">‹ Prev</a> <span class="comic-nav-next comic-nav-void">Next ›</span>)", "controls", kLast, ""},
      {2, R"(<a href="/c/1/">‹ Prev</a> <a href="/c/3/" aria-disabled="true">Next ›</a>)", "controls", kLast, ""},
      {2, R"(<a href="/c/3/">‹ Prev</a> <a href="/c/1/">Next ›</a>)", "controls", kLast, ""},            // saved already
      {2, R"(<a href="/c/1/">‹ Prev</a> <a href="/c/2/">Next ›</a>)", "controls", kLast, ""},            // this page
      {2, R"(<a href="/c/1/">‹ Prev</a> <a href="http://elsewhere.test/c/3/">Next</a>)", "controls", kLast, ""},
      {2, R"(<button onclick="location.href='/c/1/'">‹ Prev</button> <button>Next chapter ›</button>)", "controls", kLast, ""},
      {2, R"(<button aria-label="다음 화"></button>)", "controls", kLast, ""},
      {2, R"h(<a href="javascript:void(0)" onclick="location.href='/c/3/'">Next</a>)h", "controls", kMore, "/c/3/"},
      // Older kinds keep their place: a row beats a Next without total, a stated total
      // with a Next link is the link strategy of before.
      {1, R"(<div><b>1</b> <a href="/o/2">2</a> <a href="/o/3">3</a></div><a href="/o/next">Next</a>)", "numbers", 3, "/o/2"},
      {1, R"(<p>Page 1 of 3</p><div><b>1</b> <a href="/o/2">2</a> <a href="/o/3">3</a></div><a href="/o/next">Next</a>)", "older", 3, "/o/next"},
  };
  testing_support::LocalSite site;
  engine::CChromiumBrowser browser;
  ASSERT_TRUE(browser.Start()) << "chromium is needed for this test";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    site.AddPage("/c/2/", QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>C</title>"
                                         "</head><body>%1</body></html>").arg(QString::fromUtf8(c.body)));
    OfferedNavigations events;
    auto view = browser.CreateView(&events);
    view->Navigate(site.Url("/c/2/"));
    ASSERT_TRUE(testing_support::WaitFor([&] { return events.loads > 0; }, 30000));
    PageJumpContext context;
    context.page = c.page;
    context.pageUrl = site.Url("/c/2/");
    context.saved = [&](const QString& url) { return url == site.Url("/c/1/"); };
    context.openWalk = true;
    std::int32_t count = 0;
    const auto strategy = CreatePageJump(view->Document(), &count, context);
    const char* fits = dynamic_cast<CPageJumpNumbers*>(strategy.get())    ? "numbers"
                       : dynamic_cast<CPageJumpControls*>(strategy.get()) ? "controls"
                       : strategy                                         ? "older"
                                                                          : "";
    EXPECT_STREQ(fits, c.fits);
    EXPECT_EQ(count, c.count);
    if (strategy) strategy->JumpToPage(view->Document(), c.page + 1);
    EXPECT_EQ(events.offered.join(' ').toStdString(),
              *c.goes ? site.Url(QString::fromUtf8(c.goes)).toStdString() : std::string());
  }
}
