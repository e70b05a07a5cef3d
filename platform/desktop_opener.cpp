// DesktopOpener: starts the desktop's opener for a target and watches how it ends.
#include "platform/launcher.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QTimer>
#include <QUrl>

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace platform {
namespace {

const QString kFileManagerService = QStringLiteral("org.freedesktop.FileManager1");

QString OpenerOverride() {
  return QProcessEnvironment::systemEnvironment().value(QLatin1String(kOpenerVariable));
}

/// Starts `command target` in a session of its own, with default signal handling and no
/// blocked signals, whatever this process does with them. Returns its process id, or 0.
pid_t Spawn(const QString& command, const QString& target) {
  const QByteArray program = QFile::encodeName(command);
  const QByteArray argument = QFile::encodeName(target);
  char* argv[] = {const_cast<char*>(program.constData()), const_cast<char*>(argument.constData()),
                  nullptr};
  posix_spawnattr_t attributes;
  if (posix_spawnattr_init(&attributes) != 0) return 0;
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGCHLD, SIGQUIT}) sigaddset(&defaults, signal);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, program.constData(), nullptr, &attributes, argv, environ);
  posix_spawnattr_destroy(&attributes);
  return error == 0 ? pid : 0;
}

/// Watches one started opener without blocking: its exit status counts for kWatchMs, after
/// which it is only reaped when it ends. Lives as a child of the application object, so
/// nothing is left when the program ends first (the opener itself goes on).
class CExitWatch : public QObject {
public:
  CExitWatch(pid_t pid, QString command, OpenFailed failed)
      : QObject(QCoreApplication::instance()), pid_(pid), command_(std::move(command)),
        failed_(std::move(failed)) {
    clock_.start();
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
    timer_.start(kFastPollMs);
  }

private:
  static constexpr int kFastPollMs = 50;
  static constexpr int kSlowPollMs = 2000;

  void Poll() {
    int status = 0;
    const pid_t ended = ::waitpid(pid_, &status, WNOHANG);
    if (ended == 0) {
      if (failed_ && clock_.elapsed() >= DesktopOpener::kWatchMs) {
        failed_ = nullptr; // still running: it opened something
        timer_.start(kSlowPollMs);
      }
      return;
    }
    timer_.stop();
    int exitStatus = 0;
    if (ended == pid_ && WIFEXITED(status)) exitStatus = WEXITSTATUS(status);
    else if (ended == pid_ && WIFSIGNALED(status)) exitStatus = 128 + WTERMSIG(status);
    if (exitStatus != 0 && failed_) failed_({command_, exitStatus});
    deleteLater(); // posted: this object is still in its own timer's call
  }

  pid_t pid_;
  QString command_;
  OpenFailed failed_;
  QElapsedTimer clock_;
  QTimer timer_;
};

bool FileManagerOnBus() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || !bus.interface()) return false;
  if (bus.interface()->isServiceRegistered(kFileManagerService).value()) return true;
  return bus.interface()->activatableServiceNames().value().contains(kFileManagerService);
}

} // namespace

void DesktopOpener::Open(const QString& target, OpenFailed failed) {
  QString command = OpenerOverride();
  if (command.isEmpty()) command = QStringLiteral("xdg-open");
  const pid_t pid = Spawn(command, target);
  if (pid == 0) {
    if (failed) failed({command, -1});
    return;
  }
  // Without an event loop there is nothing to watch with; the opener is then left to itself.
  if (QCoreApplication::instance()) new CExitWatch(pid, command, std::move(failed));
}

void DesktopOpener::ShowInFolder(const QString& file, OpenFailed failed) {
  const QString folder = QFileInfo(file).absolutePath();
  if (!OpenerOverride().isEmpty() || !QCoreApplication::instance() || !FileManagerOnBus()) {
    Open(folder, std::move(failed));
    return;
  }
  QDBusMessage call = QDBusMessage::createMethodCall(
      kFileManagerService, QStringLiteral("/org/freedesktop/FileManager1"), kFileManagerService,
      QStringLiteral("ShowItems"));
  call << QStringList{QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toString()}
       << QString();
  auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call),
                                              QCoreApplication::instance());
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                   [watcher, folder, failed = std::move(failed)] {
                     // A file manager that refuses still leaves the folder to open.
                     if (watcher->isError()) DesktopOpener().Open(folder, failed);
                     watcher->deleteLater();
                   });
}

} // namespace platform
