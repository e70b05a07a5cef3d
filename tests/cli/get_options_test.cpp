// The command line: what is accepted, and that every bad form is refused with a reason.
#include "cli/get_options.h"
#include "common/protocol.h"

#include <gtest/gtest.h>

using namespace folivex_get;

namespace {

ParsedArguments Parse(const QStringList& args) { return ParseArguments(args); }

} // namespace

TEST(GetOptions, PairsOfAddressAndFolderInOrder) {
  const auto p = Parse({"http://a/1", "one", "HTTPS://b/2", "two words"});
  ASSERT_TRUE(p.ok()) << p.error.toStdString();
  EXPECT_EQ(p.options.mode, GetMode::Download);
  EXPECT_EQ(p.options.jobs, 1);
  ASSERT_EQ(p.options.chapters.size(), 2);
  EXPECT_EQ(p.options.chapters[1].url, "HTTPS://b/2");
  EXPECT_EQ(p.options.chapters[1].folder, "two words");
  EXPECT_FALSE(p.options.cbz);
  EXPECT_TRUE(Parse({"http://a/1", "one", "--cbz"}).options.cbz);
}

TEST(GetOptions, BadArgumentsAreRefusedWithAReason) {
  const QList<QStringList> bad = {
      {},                                 // nothing to do
      {"http://a/1"},                     // address without folder
      {"http://a/1", "f", "http://b/2"},  // odd count
      {"ftp://a/1", "f"},                 // not a web address
      {"http://", "f"},                   // no host
      {"a/1", "f"},                       // folder-like address
      {"http://a/1", ""},                 // empty folder
      {"--bogus", "http://a/1", "f"},     // unknown option
      {"--list"},                         // list without file
      {"--list", "a", "b", "c"},          // list with two folders
      {"--list", "x", "--links"},         // both modes
      {"--links", "http://a/1", "f", "http://b/2", "g"}, // two searches
      {"--links", "http://a/1"},          // search without folder
      {"--cbz", "--links", "http://a/1", "f"}, // a link search has no chapter to pack
      {"--proxy", "ftp://p", "http://a/1", "f"}, // not a proxy scheme
      {"--proxy=", "http://a/1", "f"},    // empty proxy
      {"http://a/1", "f", "--proxy"},     // proxy missing at the end
      {"http://a/1", "ok", "http://b/2", "a\tb"}, // control characters in a folder name
      {"--list", "x", "base\r"},
  };
  for (const QStringList& args : bad) {
    const auto p = Parse(args);
    EXPECT_FALSE(p.ok()) << args.join(' ').toStdString();
  }
}

TEST(GetOptions, JobsFromOneToTheLimitInEveryForm) {
  EXPECT_EQ(Parse({"-j", "1", "http://a", "f"}).options.jobs, 1);
  EXPECT_EQ(Parse({"-j3", "http://a", "f"}).options.jobs, 3);
  EXPECT_EQ(Parse({"--jobs", "2", "http://a", "f"}).options.jobs, 2);
  EXPECT_EQ(Parse({"--jobs=4", "http://a", "f"}).options.jobs, 4);
  EXPECT_EQ(Parse({"http://a", "f", "-j", QString::number(kMaxJobs)}).options.jobs, kMaxJobs);
  for (const char* value : {"0", "-1", "11", "2x", "", " 2", "1e1", "99999999999"}) {
    const auto p = Parse({"-j", value, "http://a", "f"});
    EXPECT_FALSE(p.ok()) << value;
  }
  EXPECT_FALSE(Parse({"http://a", "f", "-j"}).ok()); // number missing at the end
}

TEST(GetOptions, DelayFromZeroToSixtySeconds) {
  EXPECT_EQ(Parse({"http://a", "f"}).options.delay, 0);
  EXPECT_EQ(Parse({"--delay", "0", "http://a", "f"}).options.delay, 0);
  EXPECT_EQ(Parse({"--delay=60", "http://a", "f"}).options.delay, 60);
  EXPECT_EQ(Parse({"-j", "2", "--delay", "5", "--list", "x"}).options.delay, 5);
  for (const char* value : {"61", "-1", "1.5", "", "5s", "100"})
    EXPECT_FALSE(Parse({"--delay", value, "http://a", "f"}).ok()) << value;
  EXPECT_FALSE(Parse({"http://a", "f", "--delay"}).ok());
}

TEST(GetOptions, PageCapFromOneToTheEnginesMost) {
  EXPECT_EQ(Parse({"http://a", "f"}).options.maxPages, protocol::kDefaultMaxPages);
  EXPECT_EQ(Parse({"--max-pages", "1", "http://a", "f"}).options.maxPages, 1);
  EXPECT_EQ(Parse({"--max-pages=100000", "--list", "x"}).options.maxPages, 100000);
  for (const char* value : {"0", "-1", "100001", "1.5", "", "5p", "9999999"})
    EXPECT_FALSE(Parse({"--max-pages", value, "http://a", "f"}).ok()) << value;
  EXPECT_FALSE(Parse({"http://a", "f", "--max-pages"}).ok());
}

TEST(GetOptions, ListWithAndWithoutBaseFolder) {
  auto p = Parse({"-j2", "--list", "chapters.txt"});
  ASSERT_TRUE(p.ok());
  EXPECT_EQ(p.options.mode, GetMode::List);
  EXPECT_EQ(p.options.listFile, "chapters.txt");
  EXPECT_TRUE(p.options.listBase.isEmpty());
  EXPECT_EQ(p.options.jobs, 2);
  p = Parse({"--list", "-", "comics", "--cbz"});
  ASSERT_TRUE(p.ok());
  EXPECT_EQ(p.options.listFile, "-");
  EXPECT_EQ(p.options.listBase, "comics");
  EXPECT_TRUE(p.options.cbz);
}

TEST(GetOptions, LinksHelpAndOptionEnd) {
  auto p = Parse({"--links", "http://a/list", "comics/"});
  ASSERT_TRUE(p.ok());
  EXPECT_EQ(p.options.mode, GetMode::Links);
  EXPECT_EQ(p.options.chapters[0].folder, "comics/");
  EXPECT_EQ(Parse({"-h"}).options.mode, GetMode::Help);
  EXPECT_EQ(Parse({"http://a", "f", "--help"}).options.mode, GetMode::Help);
  // After "--" a folder may start with "-".
  p = Parse({"--", "http://a", "-odd folder"});
  ASSERT_TRUE(p.ok());
  EXPECT_EQ(p.options.chapters[0].folder, "-odd folder");
}

TEST(GetOptions, CookiesFileInEveryModeAndNeverEmpty) {
  const auto p = Parse({"--links", "http://a/list", "f", "--cookies=my cookies.txt"});
  ASSERT_TRUE(p.ok()) << p.error.toStdString();
  EXPECT_EQ(p.options.cookiesFile, "my cookies.txt");
  for (const QStringList& bad : {QStringList{"http://a", "f", "--cookies"}, QStringList{"--cookies=", "http://a", "f"}})
    EXPECT_EQ(Parse(bad).error, "--cookies needs a file") << bad.join(' ').toStdString();
}

TEST(GetOptions, ProxyInBothFormsInEveryMode) {
  auto p = Parse({"--proxy", "socks5://u:p@127.0.0.1:1080", "http://a", "f"});
  ASSERT_TRUE(p.ok()) << p.error.toStdString();
  EXPECT_EQ(p.options.proxy, "socks5://u:p@127.0.0.1:1080");
  EXPECT_EQ(p.options.chapters.size(), 1);
  p = Parse({"--list", "x.txt", "--proxy=http://p:3128"});
  ASSERT_TRUE(p.ok());
  EXPECT_EQ(p.options.mode, GetMode::List);
  EXPECT_EQ(p.options.proxy, "http://p:3128");
}

TEST(GetOptions, SeriesModesAndScriptingOptions) {
  EXPECT_TRUE(Parse({"--links", "--chapters", "http://a/list", "f"}).options.chaptersOnly);
  auto p = Parse({"--only-new", "-j", "2", "--cbz", "--follow", "https://a/list", "series"});
  ASSERT_TRUE(p.ok()) << p.error.toStdString();
  EXPECT_TRUE(p.options.mode == GetMode::Follow && p.options.onlyNew);
  EXPECT_EQ(p.options.chapters.value(0).folder, "series");
  p = Parse({"--json", "--exec", "notify 'a b'", "--check", "a", "b c"});
  ASSERT_TRUE(p.ok());
  EXPECT_EQ(p.options.checkFolders, QStringList({"a", "b c"}));
  EXPECT_TRUE(p.options.json);
  EXPECT_EQ(p.options.exec, "notify 'a b'");
  EXPECT_EQ(Parse({"http://a", "f", "--version"}).options.mode, GetMode::Version);

  const QList<QStringList> bad = {
      {"--chapters", "http://a", "f"},               // chapters of what list?
      {"--only-new", "--check"},                     // only the first check asks
      {"--follow", "http://a"},                      // no folder
      {"--follow", "ftp://a", "f"},                  // no web address
      {"--follow", "http://a", "f", "http://b", "g"}, // one series at a time
      {"--follow", "http://a", "f", "--check"},      // two modes
      {"--links", "--json", "http://a", "f"},        // a search prints lines, not events
      {"--exec", "   ", "http://a", "f"},            // no command
      {"http://a", "f", "--exec"},                   // command missing at the end
      {"--check", ""},                               // empty folder
  };
  for (const QStringList& args : bad) EXPECT_FALSE(Parse(args).ok()) << args.join(' ').toStdString();
}
