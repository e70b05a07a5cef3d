// Folivex: the front-end. Everything happens in CFolivexApp (start-up and exit) and in the
// main window; this file only brings up Qt and joins the two.
#include "gui/comic_ctrl_factory.h"
#include "gui/folivex_app.h"
#include "gui/folivex_dlg.h"
#include "platform/launcher.h"
#include "platform/shutdown.h"
#include "platform/termination.h"

#include "common/data_folder.h"
#include "common/skin_loader.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>

namespace {

class CFolivexGuiApp : public CFolivexApp {
public:
  using CFolivexApp::CFolivexApp;

protected:
  void InstallControlFactory() override { SetPanelCtrlFactory(new CComicCtrlFactory(Tasks())); }
  std::unique_ptr<CMainWindowEndpoint> CreateMainWindow() override {
    auto window = std::make_unique<CFolivexDlg>(Tasks(), Setting(), DisplayName());
    window->SetExitHandler([] { QCoreApplication::quit(); });
    window->SetExitStartHandler([this] { AnnounceExit(); });
    window->Initialize();
    return window;
  }
};

// The language file names its locale ("app" "LOCALE"): Qt's own texts (the buttons of message
// boxes, the folder browser, the context menu of text fields) then speak the same language.
void InstallQtTranslation(QApplication& app) {
  const QString name = FCSkinLoader::LoadLanguageText(QStringLiteral("app"), QStringLiteral("LOCALE"));
  if (name.isEmpty()) return;
  const QLocale locale(name);
  QLocale::setDefault(locale);
  auto* translator = new QTranslator(&app);
  if (translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(translator);
}

} // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // The window hides to the tray and modal dialogs come and go: only the exit sequence ends
  // the program.
  QApplication::setQuitOnLastWindowClosed(false);
  platform::QuitOnTerminationSignals();
  InstallQtTranslation(app);
  // A copied program folder may lack the folders the tasks and the engines' reports go into.
  common::PrepareDataFolder();
  platform::DetachedLauncher launcher;
  platform::LogindShutdown shutdown;
  CFolivexGuiApp folivex(launcher, shutdown);
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!folivex.InitInstance(screen ? screen->size() : QSize(1024, 768))) return 0;
  // A quit that did not come from the window (the session ends) still stores everything;
  // after the window's own exit sequence this does nothing.
  QObject::connect(&app, &QCoreApplication::aboutToQuit, [&folivex] {
    if (auto* window = dynamic_cast<CFolivexDlg*>(folivex.MainWindow())) window->ExitSequence();
  });
  app.exec();
  return folivex.ExitInstance();
}
