// Panel descriptions (skin XML) as users edit and share them: any document loads what can be
// loaded into a window, which then lays out and draws at another size. The skin's real
// pictures lie next to the description, so fills and buttons find pictures to cut.
#include "skin/panel_window.h"
#include "fuzz_support.h"

#include <QDir>
#include <QFile>
#include <QWidget>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_support::StartApplication(true);
  const QDir skin(QStringLiteral(FOLIVEX_SOURCE_DIR "/dist/skin/default"));
  for (const QString& name : skin.entryList({QStringLiteral("*.png")}, QDir::Files))
    QFile::copy(skin.filePath(name), fuzz_support::ScratchFolder() + QLatin1Char('/') + name);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString path = fuzz_support::WriteScratch("main.xml", data, size);
  FCPanelWindowT<QWidget> window;
  if (window.LoadPanelDescription(path)) {
    FUZZ_CHECK(window.RootPanel() != nullptr);
    window.resize(window.width() / 2 + 1, window.height() / 3 + 1);
    window.grab(QRect(0, 0, 64, 64));
  }
  return 0;
}
