// Page-jump strategies against documents built in memory: which page controls are
// recognised, which are refused, what count they read and what a jump does to the page.
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

TEST(PageNumbers, RowsThatFitAndTheLinkAJumpClicks) {
  // A row, the page the walk is on, the count read (0: no fit) and the link clicked for the
  // next page (empty: none).
  struct Case {
    const char16_t* row;
    int page;
    int count;
    const char16_t* clicked;
  };
  const Case cases[] = {
      {u"Pages: [1] 2 3 4 5", 1, 5, u"2"},                 // a multi-page post
      {u"« 1 [2] 3 … 9 »", 2, 9, u"3"},                    // forum style, the current as text
      {u"‹ 1 … 4 *5* 6 … 9 ›", 5, 9, u"6"},                // the current a link marked current
      {u"1 [2] … 7 8 9", 2, 9, u"7"},                      // 3 hidden: the nearest higher
      {u"« [1] 2 … 9 »", 1, 9, u"2"},
      {u"[1] 2 … 2 3", 1, 0, u""},                         // no gap behind the "…"
      {u"Page_1 [Page_2] Page_3 Page_4", 2, 4, u"Page 3"}, // a word around the numbers
      {u"第1页 | [第2页] | 第3页", 2, 3, u"第3页"},
      {u"[1] 2 3", 1, 3, u"2"},
      {u"1 2 3 4", 1, 0, u""},              // no current page
      {u"[1] [2] 3 4", 1, 0, u""},          // two of them
      {u"1 2 [3] 4", 1, 0, u""},            // another page than the walk's
      {u"[2019] 2020 2021 2022", 1, 0, u""}, // a row of years
      {u"[1] 2 4 5", 1, 0, u""},            // no three in sequence
      {u"[1] 2 -3-", 1, 0, u""},            // one usable link only
      {u"[1] 2 May 3 4", 1, 0, u""},        // a word cuts the sequence
      {u"Chapters: [1] 2 3 4", 1, 0, u""},  // a chapter list
      {u"[第1话] 第2话 第3话", 1, 0, u""},
  };
  for (const Case& c : cases) {
    const QString row = QString::fromUtf16(c.row);
    SCOPED_TRACE(row.toStdString());
    FakeDocument doc;
    std::vector<testing_support::FakeRowItem>& items = doc.AddRow(row);
    CPageJumpNumbers strategy(c.page);
    EXPECT_EQ(strategy.GetPageCount(&doc), c.count);
    strategy.JumpToPage(&doc, c.page + 1);
    QStringList clicked;
    for (const auto& item : items)
      if (item.element && item.element->centreClicks) clicked << item.text;
    EXPECT_EQ(clicked.join(QLatin1Char(',')), QString::fromUtf16(c.clicked));
  }
}

TEST(PageNumbers, StatedTotalWinsAndAChapterListByItsClassIsNoRow) {
  FakeDocument doc;
  doc.pageText = QStringLiteral("Page 1 of 7");
  doc.AddRow(QStringLiteral("[1] 2 3 4"), QStringLiteral("post-nav"));
  EXPECT_EQ(CPageJumpNumbers(1).GetPageCount(&doc), 7);
  FakeDocument list;
  list.AddRow(QStringLiteral("[1] 2 3 4"), QStringLiteral("chapter-list sidebar"));
  EXPECT_EQ(CPageJumpNumbers(1).GetPageCount(&list), 0);
}

TEST(PageControls, ButtonsIconsAndDisabledControls) {
  PageJumpContext open;
  open.pageUrl = QStringLiteral("http://site/comic/2/");
  open.saved = [](const QString& url) { return url == QLatin1String("http://site/comic/1/"); };
  using Total = CPageJumpControls::Total;
  const auto count = [&](FakeDocument& doc, Total total) {
    return CPageJumpControls(total, open).GetPageCount(&doc);
  };

  FakeDocument icons; // an icon button named only by its aria-label, a title on the other
  icons.pageText = QStringLiteral("2 / 7");
  FakeElement& previous = icons.Add(QStringLiteral("button"), {engine::ElementKind::Button});
  previous.labels = QStringList{QStringLiteral("‹"), QStringLiteral("Previous page")};
  FakeElement& next = icons.Add(QStringLiteral("div"));
  next.labels = QStringList{QStringLiteral("Next page")};
  EXPECT_EQ(count(icons, Total::Stated), 0); // "2 / 7" states no total
  icons.pageText = QStringLiteral("Page 2 of 7");
  EXPECT_EQ(count(icons, Total::Stated), 7);
  EXPECT_EQ(count(icons, Total::Open), CPageJumpBase::kMorePages);
  CPageJumpControls(Total::Stated, open).JumpToPage(&icons, 3);
  EXPECT_EQ(next.centreClicks, 1);
  EXPECT_EQ(previous.centreClicks, 0);

  next.disabled = true; // the last page: Next greyed out, Previous still there
  EXPECT_EQ(count(icons, Total::Stated), 7);
  EXPECT_EQ(count(icons, Total::Open), CPageJumpBase::kLastPage);
  CPageJumpControls(Total::Open, open).JumpToPage(&icons, 3);
  EXPECT_EQ(next.centreClicks, 1);

  FakeDocument chinese; // Chinese labels first, wherever they stand
  FakeElement& english = chinese.Add(QStringLiteral("button"), {engine::ElementKind::Button});
  english.innerText = QStringLiteral("Next");
  FakeElement& zh = chinese.Add(QStringLiteral("span"));
  zh.labels = QStringList{QStringLiteral(u"» 下一页")};
  CPageJumpControls(Total::Open, open).JumpToPage(&chinese, 2);
  EXPECT_EQ(zh.centreClicks, 1);
  EXPECT_EQ(english.centreClicks, 0);
}

TEST(PageControls, AWalkWithoutTotalStopsWhereTheChapterEnds) {
  // The next control of the page http://site/comic/2/, and what a walk without total reads.
  struct Case {
    const char16_t* label;
    const char* href; // nullptr: a button
    int count;
  };
  const Case cases[] = {
      {u"Next ›", "http://site/comic/3/", CPageJumpBase::kMorePages},
      {u"Next", nullptr, CPageJumpBase::kMorePages},
      {u"Next", "http://site/comic/2/#top", CPageJumpBase::kMorePages}, // a script's link
      {u"Next", "javascript:void(0)", CPageJumpBase::kMorePages},
      {u"Next", "http://www.site/comic/3/", CPageJumpBase::kMorePages},
      {u"Next", "http://site/comic/1/", CPageJumpBase::kLastPage},      // saved already
      {u"Next", "http://site/comic/2/", CPageJumpBase::kLastPage},      // this page
      {u"Next", "http://elsewhere/comic/3/", CPageJumpBase::kLastPage}, // another site
      {u"Next chapter ›", "http://site/comic/c2/", CPageJumpBase::kLastPage},
      {u"下一话", nullptr, CPageJumpBase::kLastPage},
      {u"다음 화", nullptr, CPageJumpBase::kLastPage},
  };
  PageJumpContext open;
  open.pageUrl = QStringLiteral("http://site/comic/2/");
  open.saved = [](const QString& url) { return url == QLatin1String("http://site/comic/1/"); };
  for (const Case& c : cases) {
    const QString label = QString::fromUtf16(c.label);
    SCOPED_TRACE(label.toStdString() + " " + (c.href ? c.href : "(button)"));
    FakeDocument doc;
    doc.AddAnchor(QStringLiteral("‹ Prev")).href = QStringLiteral("http://site/comic/1/");
    FakeElement& next = c.href ? doc.AddAnchor(label)
                               : doc.Add(QStringLiteral("button"), {engine::ElementKind::Button});
    next.innerText = label;
    if (c.href) next.href = QLatin1String(c.href);
    CPageJumpControls strategy(CPageJumpControls::Total::Open, open);
    EXPECT_EQ(strategy.GetPageCount(&doc), c.count);
    strategy.JumpToPage(&doc, 3);
    EXPECT_EQ(next.centreClicks, c.count == CPageJumpBase::kMorePages ? 1 : 0);
  }
  // No previous and no next at all: the strategy does not fit.
  FakeDocument bare;
  bare.AddAnchor(QStringLiteral("Archive"));
  EXPECT_EQ(CPageJumpControls(CPageJumpControls::Total::Open, open).GetPageCount(&bare), 0);
}

TEST(CreatePageJump, NewerKindsComeAfterEveryOlderOneAndAWalkWithoutTotalOnlyWhenAllowed) {
  FakeDocument doc;
  FakeElement& button = doc.Add(QStringLiteral("button"), {engine::ElementKind::Button});
  button.innerText = QStringLiteral("Next");
  std::int32_t count = 0;
  PageJumpContext context;
  EXPECT_EQ(CreatePageJump(&doc, &count, context), nullptr); // no total, no open walk
  context.openWalk = true;
  auto strategy = CreatePageJump(&doc, &count, context);
  EXPECT_NE(dynamic_cast<CPageJumpControls*>(strategy.get()), nullptr);
  EXPECT_EQ(count, CPageJumpBase::kMorePages);

  doc.AddRow(QStringLiteral("[1] 2 3 4 5 6"));
  strategy = CreatePageJump(&doc, &count, context);
  EXPECT_NE(dynamic_cast<CPageJumpNumbers*>(strategy.get()), nullptr);
  EXPECT_EQ(count, 6);

  doc.pageText = QStringLiteral("Page 1 of 9");
  doc.AddAnchor(QStringLiteral("Next"));
  strategy = CreatePageJump(&doc, &count, context);
  EXPECT_NE(dynamic_cast<CPageJumpNextPage*>(strategy.get()), nullptr); // as walked before
  EXPECT_EQ(count, 9);
}

namespace {

// Records page loads; cancels every navigation after the first, so clicks leave the page be.
struct LoadEvents : engine::FIBrowserViewEvents {
  int loads = 0;
  int offered = 0;
  void OnBeforeNavigate(const QString&, bool& cancel) override { cancel = offered++ > 0; }
  void OnNewWindow(const QString&) override {}
  void OnDocumentComplete(bool isPage) override { loads += isPage; }
};

} // namespace

TEST(PageJumpOnRealMarkup, TodaysReadersFitAndDateRowsOrChapterListsDoNot) {
  // Bodies modelled on the markup of real readers, each loaded into the real browser; the
  // strategy that fits (by name) and its count, for a walk that may go on without a total.
  struct Case {
    const char* name;
    int page;
    const char* body;
    const char* fits; // "numbers", "controls" or "" (none)
    int count;
  };
  const Case cases[] = {
      {"multi-page post", 1, R"(<div class="entry-content"><p>Text of the post.</p>
<div class="page-links">Pages: <span class="post-page-numbers current" aria-current="page">1</span>
<a href="/post/2/" class="post-page-numbers">2</a> <a href="/post/3/" class="post-page-numbers">3</a>
<a href="/post/4/" class="post-page-numbers">4</a></div></div>)", "numbers", 4},
      {"forum row with an ellipsis", 2, R"(<div class="pagination">Page 2 of 9 <a href="?p=1">«</a>
<a href="?p=1">1</a> <strong>2</strong> <a href="?p=3">3</a> <span class="dots">…</span>
<a href="?p=9">9</a> <a href="?p=3">»</a></div>)", "numbers", 9},
      {"list items, the current one active", 3, R"(<nav><ul class="pager">
<li><a href="/r/2">‹</a></li><li><a href="/r/1">1</a></li><li><a href="/r/2">2</a></li>
<li class="active"><a href="#">3</a></li><li><a href="/r/4">4</a></li><li><a href="/r/5">5</a></li></ul></nav>)", "numbers", 5},
      {"icon button named by aria-label", 2, R"(<div class="reader"><span>Page 2 of 7</span>
<button class="btn prev" aria-label="Previous page"><svg width="16" height="16"></svg></button>
<button class="btn next" aria-label="Next page"><svg width="16" height="16"></svg></button></div>)", "controls", 7},
      {"role=button with a title", 1, R"(<p>全7ページ</p><div class="nav">
<span role="button" tabindex="0" title="次へ">▶</span></div>)", "controls", 7},
      {"webcomic archive strip", 2, R"(<div class="comic-nav">
<a class="comic-nav-first" href="/comic/one/">|&lt;</a> <a class="comic-nav-previous" href="/comic/one/">&lt; Prev</a>
<a class="comic-nav-next" href="/comic/three/">Next &gt;</a></div>)", "controls", CPageJumpBase::kMorePages},
      {"webcomic archive, last strip", 3, R"(<div class="comic-nav">
<a class="comic-nav-first" href="/comic/one/">|&lt;</a> <a class="comic-nav-previous" href="/comic/two/">&lt; Prev</a>
<span class="comic-nav-next comic-nav-void">Next &gt;</span></div>)", "controls", CPageJumpBase::kLastPage},
      {"day links of an archive", 1, R"(<div class="archive-days">May <a href="/d/10">10</a>
<a href="/d/11">11</a> <strong>12</strong> <a href="/d/13">13</a> <a href="/d/14">14</a></div>)", "", 0},
      {"calendar", 1, R"(<table id="wp-calendar"><caption>May 2024</caption><tr><th>M</th><th>T</th><th>W</th></tr>
<tr><td><a href="/d/1">1</a></td><td><a href="/d/2">2</a></td><td id="today">3</td></tr>
<tr><td><a href="/d/4">4</a></td><td><a href="/d/5">5</a></td><td><a href="/d/6">6</a></td></tr></table>)", "", 0},
      {"date row", 1, R"(<div class="meta"><a href="/2024/">2024</a> <a href="/2024/05/">05</a>
<span>12</span> <a href="/tags/">tags</a></div>)", "", 0},
      {"bare chapter numbers", 1, R"(<div class="chapters">Chapters: <b>1</b> <a href="/c/2">2</a>
<a href="/c/3">3</a> <a href="/c/4">4</a></div>)", "", 0},
      {"chapter list by its class", 1, R"(<ul class="chapter-list"><li class="current"><a href="/c/1">1</a></li>
<li><a href="/c/2">2</a></li><li><a href="/c/3">3</a></li></ul>)", "", 0},
      {"chapter list in words", 1, R"(<div class="eps"><span>第1话</span> <a href="/c/2">第2话</a>
<a href="/c/3">第3话</a> <a href="/c/4">第4话</a></div>)", "", 0},
      {"years", 1, R"(<div class="years"><a href="/y/2021">2021</a> <a href="/y/2022">2022</a>
<span>2023</span></div>)", "", 0},
  };
  testing_support::LocalSite site;
  engine::CChromiumBrowser browser;
  ASSERT_TRUE(browser.Start()) << "chromium is needed for this test";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = QStringLiteral("/case/%1.html").arg(&c - cases);
    site.AddPage(path, QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                                      "<title>Case</title></head><body>%1</body></html>")
                           .arg(QString::fromUtf8(c.body)));
    LoadEvents events;
    auto view = browser.CreateView(&events);
    view->Navigate(site.Url(path));
    ASSERT_TRUE(testing_support::WaitFor([&] { return events.loads > 0; }, 30000));
    PageJumpContext context;
    context.page = c.page;
    context.pageUrl = site.Url(path);
    context.openWalk = true;
    std::int32_t count = 0;
    const auto strategy = CreatePageJump(view->Document(), &count, context);
    const char* fits = dynamic_cast<CPageJumpNumbers*>(strategy.get())    ? "numbers"
                       : dynamic_cast<CPageJumpControls*>(strategy.get()) ? "controls"
                       : strategy                                         ? "another"
                                                                          : "";
    EXPECT_STREQ(fits, c.fits);
    EXPECT_EQ(count, c.count);
  }
}
