// Gantrell: the headless engine. Started by the front-end with the path of a hand-off file.
#include "engine/browser/chromium_browser.h"
#include "common/protocol.h"
#include "engine/gantrell_app.h"
#include "engine/image_fetch.h"
#include "platform/termination.h"
#include "platform/window_message.h"

#include <QCoreApplication>
#include <QStringList>

int main(int argc, char* argv[]) {
  QCoreApplication qt(argc, argv);
  // An image download blocks the event loop; a termination signal or the front-end's quit
  // message ends it at once, so the engine goes when told even in the middle of one.
  auto abortFetch = [] { engine::SetImageFetchAbort(true); };
  platform::QuitOnTerminationSignals();
  platform::SetSignalHook(abortFetch);
  platform::SetArrivalHook(protocol::WM_APP_ENGINE_QUIT, abortFetch);
  // The whole command-line tail is the hand-off path, spaces and all.
  QStringList tail = QCoreApplication::arguments();
  tail.removeFirst();

  // The browser starts with the first view; a missing one is reported here, at start-up.
  CGantrellApp app(std::make_unique<engine::CChromiumBrowser>());
  if (!app.InitInstance(tail.join(QLatin1Char(' ')))) return app.ExitInstance(1);
  return app.ExitInstance(qt.exec());
}
