// The report codec: the wire form both programs rely on, and what is refused.
#include "common/engine_report.h"

#include <gtest/gtest.h>

using namespace common;

TEST(EngineReport, EachReportHasItsWireFormAndReadsBackUnchanged) {
  const struct {
    EngineReport report;
    QStringList items;
  } cases[] = {
      {PageInfoReport{7, QStringLiteral(u"第 1 话 | a=b"), 12}, {"100", "7", QStringLiteral(u"第 1 话 | a=b"), "12"}},
      {PageInfoReport{-3, QString(), 0}, {"100", "-3", "", "0"}},
      {PageSavedReport{2147483647, 4, "http://site/c/4?p=4"}, {"101", "2147483647", "4", "http://site/c/4?p=4"}},
      {StallReport{601}, {"102", "601"}},
      {LanguageReport{8, "zh"}, {"103", "8", "zh"}},
      {PageCapReport{9, 1000}, {"104", "9", "1000"}},
      {FailureReport{9, FailureReason::HttpError, "404"}, {"105", "9", "http", "404"}},
      {FailureReport{9, FailureReason::DiskFull, ""}, {"105", "9", "disk_full", ""}},
      {FailureReport{9, FailureReason::ProxyNoAnswer, "net::ERR_PROXY_CONNECTION_FAILED"},
       {"105", "9", "proxy", "net::ERR_PROXY_CONNECTION_FAILED"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.items.join('|').toStdString());
    EXPECT_EQ(ReportItems(c.report), c.items);
    const auto parsed = ParseReport(c.items);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(*parsed, c.report);
    EXPECT_EQ(ReportTaskId(*parsed), ReportTaskId(c.report));
  }
}

TEST(EngineReport, UnknownCodesAndWrongItemCountsAreRefused) {
  const QStringList refused[] = {
      {},
      {"100", "7", "title"},
      {"100", "7", "title", "12", "extra"},
      {"101", "7", "3"},
      {"101", "7", "3", "http://x/", ""},
      {"102"},
      {"102", "7", "extra"},
      {"103", "7"},
      {"103", "7", "en", "extra"},
      {"104", "7"},
      {"104", "7", "1000", "extra"},
      {"103", "7"},
      {" 102", "7"},
      {"105", "7", "http"},
      {"105", "7", "http", "404", "extra"},
      // A reason of a newer engine: dropped, so its stall keeps the old meaning.
      {"105", "7", "gremlins", ""},
      {"105", "7", "HTTP", "404"},
      {"", "7"},
  };
  for (const QStringList& items : refused)
    EXPECT_FALSE(ParseReport(items)) << items.join('|').toStdString();
}

TEST(EngineReport, NumbersAreReadByTheCommandFileRule) {
  // The receiver judges the values; the codec only reads them as every numeric item is read.
  const auto saved = ParseReport({"101", " 42tail", "x", "http://x/"});
  ASSERT_TRUE(saved);
  EXPECT_EQ(std::get<PageSavedReport>(*saved), (PageSavedReport{42, 0, "http://x/"}));
  const auto info = ParseReport({"100", "4294967297", "T", "-1"});
  ASSERT_TRUE(info);
  EXPECT_EQ(std::get<PageInfoReport>(*info), (PageInfoReport{1, "T", -1}));
}

TEST(EngineReport, LanguageIsReducedToItsCodeAndJunkSaysNothing) {
  const std::pair<QString, QString> tags[] = {
      {"zh-CN", "zh"}, {"ZH-Hant-TW", "zh"}, {"en_US", "en"}, {" ja ", "ja"}, {"haw", "haw"},
      {"de, en", "de"}, {"sgn-BE-FR", "sgn"},
      // Nothing a page may state beyond a plain tag gets through.
      {"", ""}, {"   ", ""}, {"e", ""}, {"engl", ""}, {"und", ""}, {"x-klingon", ""},
      {"i-navajo", ""}, {"zh-", ""}, {"-zh", ""}, {"zh--CN", ""}, {"zh-CN<script>", ""},
      {"zh\nCN", ""}, {"zh-toolongsubtag", ""}, {"12", ""}, {"日本語", ""}, {"fr\u00e7", ""},
      {"en-abcdefgh-abcdefgh-abcdefgh-abcdefgh", ""}, // well formed, but longer than a real tag
  };
  for (const auto& [tag, code] : tags) {
    SCOPED_TRACE(tag.toStdString());
    EXPECT_EQ(LanguageCode(tag), code);
    const auto report = ParseReport({"103", "5", tag});
    if (code.isEmpty()) {
      EXPECT_FALSE(report) << "a report without a usable language is dropped";
    } else {
      ASSERT_TRUE(report);
      EXPECT_EQ(std::get<LanguageReport>(*report), (LanguageReport{5, code}));
    }
  }
}

TEST(EngineReport, EveryFailureReasonHasOneNameAndDetailsStayOneShortLine) {
  QStringList names;
  for (int r = int(FailureReason::ProxyNoAnswer); r <= int(FailureReason::DiskFull); ++r) {
    const QString name = FailureReasonName(FailureReason(r));
    ASSERT_FALSE(name.isEmpty()) << r;
    EXPECT_FALSE(names.contains(name)) << name.toStdString();
    names << name;
    EXPECT_EQ(FailureReasonNamed(name), FailureReason(r));
  }
  // Detail text comes from pages and the browser: it must not break the list or the tooltip.
  const auto report = ParseReport({"105", "3", "site", "  net::ERR\nX\r\tY\u2028" + QString(500, 'z')});
  ASSERT_TRUE(report);
  const QString detail = std::get<FailureReport>(*report).detail;
  EXPECT_TRUE(detail.startsWith("net::ERR X  Y"));
  EXPECT_EQ(detail.size(), kMaxFailureDetail);
  EXPECT_EQ(ReportItems(FailureReport{3, FailureReason::SiteNoAnswer, QString(300, 'a')})[3].size(),
            kMaxFailureDetail);
}
