// The local test site: what it serves, how it states lengths, and what it records.
#include "local_site.h"

#include <gtest/gtest.h>
#include <httplib.h>

using testing_support::BodyLength;
using testing_support::LocalSite;
using testing_support::Resource;

namespace {

// A raw HTTP/1.0 exchange, so the test sees exactly the bytes the server sent.
std::string RawGet(int port, const std::string& path) {
  httplib::Client client("127.0.0.1", port);
  std::string raw;
  auto res = client.Get(path.c_str());
  if (!res)
    return {};
  raw = std::to_string(res->status) + "\n";
  for (const auto& [k, v] : res->headers)
    raw += k + ": " + v + "\n";
  raw += "\n" + res->body;
  return raw;
}

} // namespace

TEST(LocalSite, ServesRegisteredContentAndRecordsRequests) {
  LocalSite site;
  site.AddPage("/index.html", "<p>hi</p>");
  Resource r;
  r.body = "abc";
  r.contentType = "application/octet-stream";
  r.headers = {{"X-Test", "1"}};
  site.Add("/blob", r);

  httplib::Client client("127.0.0.1", site.Port());
  auto page = client.Get("/index.html?x=1", {{"X-Probe", "yes"}});
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_EQ(page->body, "<p>hi</p>");
  auto blob = client.Get("/blob");
  ASSERT_TRUE(blob);
  EXPECT_EQ(blob->get_header_value("X-Test"), "1");
  EXPECT_EQ(blob->get_header_value("Content-Type"), "application/octet-stream");
  auto missing = client.Get("/nothing");
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->status, 404);

  const auto requests = site.Requests();
  ASSERT_EQ(requests.size(), 3);
  EXPECT_EQ(requests[0].path, "/index.html");
  EXPECT_EQ(requests[0].query, "x=1");
  EXPECT_EQ(requests[0].Header("x-probe"), "yes");
  EXPECT_EQ(site.RequestCount("/blob"), 1);
  EXPECT_EQ(site.RequestCount("/nothing"), 1);
  site.ClearRequests();
  EXPECT_TRUE(site.Requests().isEmpty());
  EXPECT_EQ(site.Url("/a"), QString("http://127.0.0.1:%1/a").arg(site.Port()));
}

TEST(LocalSite, StatesLengthAsAsked) {
  LocalSite site;
  Resource none;
  none.body = "0123456789";
  none.length = BodyLength::None;
  site.Add("/none", none);
  Resource shortBody = none;
  shortBody.length = BodyLength::Wrong;
  shortBody.statedLength = 20;
  site.Add("/short", shortBody);

  const std::string raw = RawGet(site.Port(), "/none");
  EXPECT_EQ(raw.find("Content-Length"), std::string::npos) << raw;
  EXPECT_NE(raw.find("0123456789"), std::string::npos) << raw;

  // The body ends before the stated length: a careful client reports the fault.
  httplib::Client client("127.0.0.1", site.Port());
  auto res = client.Get("/short");
  EXPECT_FALSE(res && res->body.size() == 20);
}
