// The debugging pipe: framing of NUL-terminated JSON, matching replies to calls, queued events,
// and the ends that must not hang or crash the engine (browser gone, client destroyed).
#include "engine/browser/devtools_pipe.h"

#include "test_support.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <thread>
#include <unistd.h>

using engine::CDevToolsPipe;
using namespace engine::devtools;

TEST(DevToolsFrames, SplitAndMergedChunks) {
  QByteArray buffer = "{\"id\":1,\"result\":{}}";
  EXPECT_TRUE(TakeFrames(buffer).isEmpty()); // no terminator yet: nothing complete
  static const char merged[] = "\0{\"method\":\"A.b\"}\0{\"id\"";
  buffer += QByteArray(merged, sizeof merged - 1);
  const QList<QByteArray> frames = TakeFrames(buffer);
  ASSERT_EQ(frames.size(), 2);
  EXPECT_EQ(frames[0], "{\"id\":1,\"result\":{}}");
  EXPECT_EQ(frames[1], "{\"method\":\"A.b\"}");
  EXPECT_EQ(buffer, "{\"id\""); // the incomplete tail waits for the next read
  static const char tail[] = ":2}\0\0";
  buffer += QByteArray(tail, sizeof tail - 1);
  const QList<QByteArray> rest = TakeFrames(buffer);
  ASSERT_EQ(rest.size(), 2);
  EXPECT_EQ(rest[0], "{\"id\":2}");
  EXPECT_TRUE(rest[1].isEmpty());
  EXPECT_TRUE(buffer.isEmpty());
}

TEST(DevToolsFrames, ParsesRepliesEventsAndDropsGarbage) {
  auto reply = ParseMessage(R"({"id":7,"result":{"x":1},"sessionId":"S"})");
  ASSERT_TRUE(reply);
  EXPECT_TRUE(reply->IsReply());
  EXPECT_EQ(reply->id, 7);
  EXPECT_EQ(reply->sessionId, "S");
  EXPECT_EQ(reply->result.value("x").toInt(), 1);
  EXPECT_FALSE(reply->failed);

  auto error = ParseMessage(R"({"id":8,"error":{"code":-32000,"message":"No target"}})");
  ASSERT_TRUE(error);
  EXPECT_TRUE(error->failed);
  EXPECT_EQ(error->errorText, "No target");

  auto event = ParseMessage(R"({"method":"Page.loadEventFired","params":{"t":1}})");
  ASSERT_TRUE(event);
  EXPECT_FALSE(event->IsReply());
  EXPECT_EQ(event->method, "Page.loadEventFired");

  for (const char* bad : {"", "nonsense", "[1,2]", "{}", R"({"id":-1})", R"({"id":"x"})",
                          R"({"method":""})", "{\"id\":1"})
    EXPECT_FALSE(ParseMessage(bad)) << bad;
}

TEST(DevToolsFrames, EncodesOneTerminatedCommand) {
  const QByteArray frame = EncodeCommand(3, "Page.navigate", {{"url", "http://a/"}}, "S1");
  ASSERT_TRUE(frame.endsWith('\0'));
  EXPECT_EQ(frame.count('\0'), 1);
  const QJsonObject o = QJsonDocument::fromJson(frame.chopped(1)).object();
  EXPECT_EQ(o.value("id").toInt(), 3);
  EXPECT_EQ(o.value("method").toString(), "Page.navigate");
  EXPECT_EQ(o.value("sessionId").toString(), "S1");
  EXPECT_FALSE(EncodeCommand(4, "Browser.close", {}, {}).contains("sessionId"));
}

namespace {

// A fake browser on the far side of two pipes, driven by the test thread.
struct FakeBrowser {
  int clientRead = -1, clientWrite = -1; // handed to the client
  int ourRead = -1, ourWrite = -1;

  FakeBrowser() {
    int toClient[2], fromClient[2];
    EXPECT_EQ(pipe2(toClient, O_CLOEXEC), 0);
    EXPECT_EQ(pipe2(fromClient, O_CLOEXEC), 0);
    clientRead = toClient[0];
    ourWrite = toClient[1];
    ourRead = fromClient[0];
    clientWrite = fromClient[1];
  }
  ~FakeBrowser() {
    if (ourRead >= 0) close(ourRead);
    if (ourWrite >= 0) close(ourWrite);
  }
  void Write(const QByteArray& bytes) {
    EXPECT_EQ(write(ourWrite, bytes.constData(), size_t(bytes.size())), bytes.size());
  }
  /// The next command the client sent (blocking).
  QJsonObject ReadCommand() {
    QByteArray frame;
    char c;
    while (read(ourRead, &c, 1) == 1 && c != '\0') frame.append(c);
    return QJsonDocument::fromJson(frame).object();
  }
  void Die() {
    close(ourWrite);
    ourWrite = -1;
  }
};

QByteArray Frame(const char* json) { return QByteArray(json) + QByteArray(1, '\0'); }

} // namespace

TEST(DevToolsPipe, MatchesReplyIgnoringStrayIdsAndQueuesEvents) {
  FakeBrowser fake;
  CDevToolsPipe pipe(fake.clientRead, fake.clientWrite);
  QStringList seen;
  pipe.SetSessionHandler("S", [&](const Message& e) { seen << e.method; });

  std::thread browser([&] {
    const QJsonObject cmd = fake.ReadCommand();
    const int id = cmd.value("id").toInt();
    // A stray reply, an event, then the real reply split across two writes.
    fake.Write(Frame(R"({"id":999,"result":{"wrong":true}})"));
    fake.Write(Frame(R"({"method":"Page.frameNavigated","params":{},"sessionId":"S"})"));
    const QByteArray reply = QString(R"({"id":%1,"result":{"answer":42}})").arg(id).toUtf8();
    fake.Write(reply.left(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    fake.Write(reply.mid(5) + QByteArray(1, '\0'));
  });
  const Message r = pipe.Call("Runtime.evaluate", {}, "S", 5000);
  browser.join();
  EXPECT_FALSE(r.failed) << r.errorText.toStdString();
  EXPECT_EQ(r.result.value("answer").toInt(), 42);
  // The event read during the call waits for the event loop.
  EXPECT_TRUE(seen.isEmpty());
  EXPECT_TRUE(testing_support::WaitFor([&] { return !seen.isEmpty(); }, 2000));
  EXPECT_EQ(seen, QStringList{"Page.frameNavigated"});
}

TEST(DevToolsPipe, BrowserGoneFailsCallsAtOnceAndReportsOnce) {
  FakeBrowser fake;
  CDevToolsPipe pipe(fake.clientRead, fake.clientWrite);
  int closed = 0;
  pipe.SetClosedHandler([&] { ++closed; });
  bool postedFailed = false;
  pipe.Post("Target.createTarget", {}, {}, [&](const Message& r) { postedFailed = r.failed; });
  std::thread browser([&] {
    fake.ReadCommand();
    fake.ReadCommand();
    fake.Die();
  });
  const Message r = pipe.Call("Browser.getVersion", {}, {}, 20000);
  browser.join();
  EXPECT_TRUE(r.failed);
  EXPECT_TRUE(postedFailed);
  EXPECT_FALSE(pipe.IsOpen());
  const Message after = pipe.Call("Browser.getVersion", {}, {}, 20000);
  EXPECT_TRUE(after.failed);
  EXPECT_TRUE(testing_support::WaitFor([&] { return closed == 1; }, 2000));
  testing_support::WaitFor([] { return false; }, 50);
  EXPECT_EQ(closed, 1);
}

TEST(DevToolsPipe, ClientDestroyedWhileACallWaits) {
  FakeBrowser fake;
  auto* pipe = new CDevToolsPipe(fake.clientRead, fake.clientWrite);
  // The reply to an earlier posted command destroys the client while Call waits.
  pipe->Post("Target.closeTarget", {}, {}, [&](const Message&) { delete pipe; });
  std::thread browser([&] {
    const int first = fake.ReadCommand().value("id").toInt();
    fake.ReadCommand();
    fake.Write(QString(R"({"id":%1,"result":{}})").arg(first).toUtf8() + QByteArray(1, '\0'));
  });
  const Message r = pipe->Call("Runtime.evaluate", {}, {}, 20000);
  browser.join();
  EXPECT_TRUE(r.failed);
}

TEST(DevToolsPipe, CallTimesOutWhenTheBrowserStaysSilent) {
  FakeBrowser fake;
  CDevToolsPipe pipe(fake.clientRead, fake.clientWrite);
  const Message r = pipe.Call("Runtime.evaluate", {}, {}, 100);
  EXPECT_TRUE(r.failed);
  EXPECT_TRUE(pipe.IsOpen()); // a slow answer is no end of the browser
  // The late reply is a stray one and is ignored.
  fake.Write(Frame(R"({"id":1,"result":{}})"));
  testing_support::WaitFor([] { return false; }, 50);
  EXPECT_TRUE(pipe.IsOpen());
}
