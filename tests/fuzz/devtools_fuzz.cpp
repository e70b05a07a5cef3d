// The browser's side of the debugging pipe, as a broken or hostile browser might write it: the
// splitter cuts any stream at its NULs exactly, whatever the read sizes, and the client routes
// replies to the calls that wait and events to their sessions, with handlers that post more
// commands, drop sessions or destroy the client while it dispatches.
#include "engine/browser/devtools_message.h"
#include "engine/browser/devtools_pipe.h"
#include "fuzz_support.h"

#include <QCoreApplication>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Feeding `stream` in reads of the sizes `input` chooses gives back exactly its NUL-separated
// frames and keeps the unterminated tail.
void CheckSplitter(const QByteArray& stream, fuzz_support::FuzzInput& input) {
  QByteArray buffer, joined;
  qsizetype at = 0;
  while (at < stream.size()) {
    const qsizetype read = std::min<qsizetype>(stream.size() - at, input.ConsumeIntegralInRange(1, 64));
    buffer += stream.mid(at, read);
    at += read;
    for (const QByteArray& frame : engine::devtools::TakeFrames(buffer)) {
      FUZZ_CHECK(!frame.contains('\0'));
      joined += frame + '\0';
      engine::devtools::ParseMessage(frame);
    }
  }
  FUZZ_CHECK(joined + buffer == stream);
}

void Route(const QByteArray& stream) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return;
  const int sink = open("/dev/null", O_WRONLY | O_CLOEXEC);
  (void)!write(fds[1], stream.constData(), std::min<size_t>(stream.size(), 60000));
  close(fds[1]);
  auto* pipe = new engine::CDevToolsPipe(fds[0], sink);
  bool destroyed = false;
  bool pumping = false; // PumpUntil needs the client to outlive it; a call's wait does not
  auto destroy = [&] {
    if (destroyed || pumping) return;
    delete pipe;
    destroyed = true;
  };
  pipe->Post("Target.getTargets", {}, {}, [&](const engine::devtools::Message&) {
    if (!destroyed) pipe->Post("Page.enable", {}, "S1", [](const auto&) {});
  });
  pipe->Post("Runtime.evaluate", {}, "S1", [&](const auto& reply) {
    if (reply.failed) destroy();
  });
  pipe->SetSessionHandler({}, [&](const engine::devtools::Message& event) {
    if (event.method == "Target.detachedFromTarget") pipe->RemoveSession("S1");
  });
  pipe->SetSessionHandler("S1", [&](const engine::devtools::Message& event) {
    if (event.method == "Inspector.detached") destroy();
  });
  pipe->SetImmediateHandler("S2", [](const engine::devtools::Message& event) {
    return event.method.startsWith("Fetch.");
  });
  pipe->SetInterceptor([&](const engine::devtools::Message& event) {
    if (event.method == "Page.javascriptDialogOpening") pipe->RemoveSession("S2");
  });
  if (!destroyed) pipe->Call("Page.navigate", {}, "S1", 100);
  if (!destroyed) {
    pumping = true;
    pipe->PumpUntil([&] { return !pipe->IsOpen(); }, 200);
    pumping = false;
  }
  QCoreApplication::processEvents();
  destroy();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_support::StartApplication(false);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray stream(reinterpret_cast<const char*>(data), qsizetype(size));
  fuzz_support::FuzzInput sizes(data, size);
  CheckSplitter(stream, sizes);
  Route(stream);
  return 0;
}
