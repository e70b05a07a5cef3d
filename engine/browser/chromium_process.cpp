#include "engine/browser/chromium_process.h"

#include "common/network_setting.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace engine {

namespace {
// How long the browser gets to end by itself before it is told to, and then killed.
constexpr int kCloseWaitMs = 2000;
constexpr int kGracefulEndMs = 3000;
// A profile folder without a browser's lock this old is a leftover.
constexpr qint64 kStaleUnlockedSecs = 600;

// Waits for our child `pid` to end; true when it has been reaped.
bool Reap(pid_t pid, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  for (;;) {
    const pid_t r = ::waitpid(pid, nullptr, WNOHANG);
    if (r == pid || (r < 0 && errno != EINTR)) return true;
    if (deadline.hasExpired()) return false;
    QThread::msleep(10);
  }
}
// The proxy and the extra trusted certificates of the engine's setting (its environment).
QStringList NetworkArguments() {
  QStringList args;
  const common::NetworkSetting setting = common::CurrentNetworkSetting();
  if (!setting.proxy.isEmpty()) {
    const auto proxy = common::ParseProxy(setting.proxy);
    // A proxy that cannot be understood must not be bypassed silently: pages then fail at a
    // proxy that does not exist instead of going out directly.
    args << QStringLiteral("--proxy-server=") +
                (proxy ? proxy->WithoutCredentials() : QStringLiteral("http://0.0.0.0:1"))
         // Chromium never sends loopback addresses through a proxy unless told to.
         << QStringLiteral("--proxy-bypass-list=<-loopback>");
  }
  if (!setting.extraCa.isEmpty()) {
    // Certificate errors are ignored only for chains holding one of these keys; every other
    // site is verified as always.
    const QStringList hashes = common::SpkiHashesOfPemFile(setting.extraCa);
    if (!hashes.isEmpty())
      args << QStringLiteral("--ignore-certificate-errors-spki-list=") +
                  hashes.join(QLatin1Char(','));
  }
  return args;
}
} // namespace

QString CChromiumProcess::FindExecutable() {
  const QString forced = qEnvironmentVariable("GANTRELL_CHROMIUM");
  if (!forced.isEmpty()) return forced;
  // Chromium's headless shell first: the same engine and DevTools protocol without a browser
  // window, its address bar and tab machinery, or the storage service process. It walks a
  // chapter in two thirds of the time and in two thirds of the memory of the full browser.
  // Then the full browser. Debian's "chromium" on the PATH is a shell script that inspects
  // the CPU and the shared memory, cleans old crash reports, sources its settings folder and
  // adds switches that load extensions before it starts the real program: a fifth of a
  // second on every engine start, for nothing a page walker wants, so the programs are
  // started directly where they are.
  for (const char* path : {"/usr/lib/chromium/chromium-headless-shell", "/usr/lib/chromium/chromium",
                           "/usr/lib/chromium-browser/chromium-browser"}) {
    const QFileInfo program{QString::fromLatin1(path)};
    if (program.isFile() && program.isExecutable()) return program.filePath();
  }
  for (const char* name : {"chromium-headless-shell", "chromium", "chromium-browser"}) {
    const QString found = QStandardPaths::findExecutable(QLatin1String(name));
    if (!found.isEmpty()) return found;
  }
  return {};
}

QStringList CChromiumProcess::Arguments(const QString& profileFolder) {
  QStringList args = {
      QStringLiteral("--headless=new"),
      QStringLiteral("--remote-debugging-pipe"),
      QStringLiteral("--no-first-run"),
      QStringLiteral("--no-default-browser-check"),
      QStringLiteral("--disable-background-networking"),
      QStringLiteral("--disable-component-update"),
      QStringLiteral("--disable-sync"),
      QStringLiteral("--mute-audio"),
      // The page sees an ordinary desktop window: no "automation controlled" flag
      // (navigator.webdriver stays false), a window of a common size on a larger screen (the
      // headless default is a window that fills an 800 x 600 screen, or none at all).
      QStringLiteral("--disable-blink-features=AutomationControlled"),
      QStringLiteral("--window-size=%1,%2").arg(kWindowWidth).arg(kWindowHeight),
      QStringLiteral("--screen-info={0,0 %1x%2}").arg(kScreenWidth).arg(kScreenHeight),
      QStringLiteral("--disable-background-timer-throttling"),
      QStringLiteral("--disable-renderer-backgrounding"),
      // A page that starts many navigations quickly (the link search clicks every link) is
      // otherwise throttled, and navigations it starts then go missing.
      QStringLiteral("--disable-ipc-flooding-protection"),
      QStringLiteral("--user-data-dir=") + profileFolder,
      // One renderer for a page and its frames keeps every request of a view under the view's
      // own interception; without the back-forward cache a left page's script world really
      // ends, so handles into it fail instead of reaching a frozen page.
      // The rest of the list and the switches below keep a headless walker light: no spare
      // renderer waiting for a next tab, no storage service process (where Chromium still lets
      // it run inside the browser), no background fetches
      // for features nobody sees. The address bar of the invisible window would otherwise
      // keep its suggestion popup, a WebUI page, preloaded in a renderer of its own: about a
      // quarter of the engine's memory, for a list nobody opens.
      QStringLiteral("--disable-features=site-per-process,IsolateOrigins,BackForwardCache,"
                     "Translate,MediaRouter,OptimizationHints,StorageServiceOutOfProcess,"
                     "SpareRendererForSitePerProcess,AutofillServerCommunication,"
                     "CertificateTransparencyComponentUpdater,InterestFeedContentSuggestions,"
                     "WebUIOmniboxPopup,WebUIOmniboxAimPopup,WebUIOmniboxFullPopup"),
      // The network service in the browser process instead of a process of its own.
      QStringLiteral("--enable-features=NetworkServiceInProcess2"),
      // Nothing is shown: what compositing remains runs in the browser, no GPU process.
      QStringLiteral("--in-process-gpu"),
      // One renderer for every view: a new page reuses it instead of starting a process,
      // which saves both the start-up and the memory of a second renderer. Only one page of
      // a task is open at a time, so nothing competes for it.
      QStringLiteral("--renderer-process-limit=1"),
      QStringLiteral("--disable-breakpad"),
      QStringLiteral("--disable-crash-reporter"),
      QStringLiteral("--disable-client-side-phishing-detection"),
      QStringLiteral("--disable-default-apps"),
      QStringLiteral("--disable-domain-reliability"),
      QStringLiteral("--disable-component-extensions-with-background-pages"),
      QStringLiteral("--no-pings"),
      QStringLiteral("--disable-site-isolation-trials"),
      QStringLiteral("--disable-gpu"),
      QStringLiteral("--disable-dev-shm-usage"),
      QStringLiteral("--disable-extensions"),
      QStringLiteral("--password-store=basic"),
  };
  // Chromium refuses to run as root inside its sandbox. Without the sandbox the zygote (a
  // pre-forked template for sandboxed children) only costs memory.
  if (::geteuid() == 0) args << QStringLiteral("--no-sandbox") << QStringLiteral("--no-zygote");
  args << NetworkArguments();
  args << QStringLiteral("about:blank");
  return args;
}

QStringList CChromiumProcess::Environment(const QString& profileFolder) {
  const QString home = profileFolder + QStringLiteral("/home");
  const QList<QPair<QString, QString>> own = {
      {QStringLiteral("HOME"), home},
      {QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config")},
      {QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share")},
      {QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache")},
      {QStringLiteral("TMPDIR"), profileFolder + QStringLiteral("/tmp")},
  };
  QStringList environment;
  for (const QString& entry : QProcessEnvironment::systemEnvironment().toStringList()) {
    const QString name = entry.section(QLatin1Char('='), 0, 0);
    if (std::none_of(own.begin(), own.end(), [&](const auto& o) { return o.first == name; }))
      environment << entry;
  }
  for (const auto& [name, value] : own) environment << name + QLatin1Char('=') + value;
  return environment;
}

void CChromiumProcess::RemoveStaleProfiles() {
  // Every profile holds its engine's lock file, which the system lets go when the engine
  // dies. Older profiles have none; there Chromium's own mark of a profile in use, the
  // symbolic link "SingletonLock" -> "<host>-<pid>", tells whether the browser still runs.
  // Only real folders: the temporary folder is shared, and removing through a link someone
  // named like a profile would empty whatever folder it points to.
  const QDir temp(QDir::tempPath());
  for (const QString& name : temp.entryList({QStringLiteral("gantrell-profile-*")},
                                            QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
    platform::FileLock engineLock;
    switch (engineLock.LockExisting(temp.filePath(name) + QLatin1Char('/') + QLatin1String(kOwnerFile))) {
    case platform::FileLock::Result::Locked:
      QDir(temp.filePath(name)).removeRecursively();
      continue;
    case platform::FileLock::Result::Busy: continue; // its engine lives
    case platform::FileLock::Result::Failed: break;  // no owner file: judged by the browser
    }
    const QByteArray lock = QFile::encodeName(temp.filePath(name) + QStringLiteral("/SingletonLock"));
    char target[256];
    const ssize_t n = ::readlink(lock.constData(), target, sizeof target - 1);
    if (n <= 0) {
      // No lock: a browser is just starting there, or its last writes outlived the removal.
      const QFileInfo info(temp.filePath(name));
      if (info.lastModified().secsTo(QDateTime::currentDateTime()) > kStaleUnlockedSecs)
        QDir(info.filePath()).removeRecursively();
      continue;
    }
    const QByteArray owner(target, n);
    bool ok = false;
    const long pid = owner.mid(owner.lastIndexOf('-') + 1).toLong(&ok);
    if (!ok || pid <= 0) continue;
    if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH) continue;
    QDir(temp.filePath(name)).removeRecursively();
  }
}

bool CChromiumProcess::Start(const QString& executable, QString* error) {
  auto fail = [error](const QString& text) {
    if (error) *error = text;
    return false;
  };
  if (executable.isEmpty())
    return fail(QStringLiteral("no web browser found: install the package 'chromium'"));
  if (::access(QFile::encodeName(executable).constData(), X_OK) != 0)
    return fail(QStringLiteral("the web browser '%1' cannot be run").arg(executable));

  RemoveStaleProfiles();
  profile_ = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                             QStringLiteral("/gantrell-profile-XXXXXX"));
  if (!profile_->isValid()) return fail(QStringLiteral("cannot create a browser profile folder"));
  owner_.Lock(profile_->filePath(QLatin1String(kOwnerFile)));

  // toBrowser: we write, the browser reads on fd 3. fromBrowser: it writes on fd 4.
  int toBrowser[2], fromBrowser[2];
  if (::pipe2(toBrowser, O_CLOEXEC) != 0) return fail(QStringLiteral("cannot create a pipe"));
  if (::pipe2(fromBrowser, O_CLOEXEC) != 0) {
    ::close(toBrowser[0]);
    ::close(toBrowser[1]);
    return fail(QStringLiteral("cannot create a pipe"));
  }

  // Everything the child needs is prepared here: after fork only async-signal-safe calls.
  const QByteArray program = QFile::encodeName(executable);
  QList<QByteArray> argBytes{program};
  for (const QString& a : Arguments(profile_->path())) argBytes << a.toLocal8Bit();
  std::vector<char*> argv;
  for (QByteArray& a : argBytes) argv.push_back(a.data());
  argv.push_back(nullptr);
  QList<QByteArray> envBytes;
  for (const QString& e : Environment(profile_->path())) envBytes << QFile::encodeName(e);
  std::vector<char*> envp;
  for (QByteArray& e : envBytes) envp.push_back(e.data());
  envp.push_back(nullptr);
  for (const char* folder : {"/home", "/tmp"}) QDir().mkpath(profile_->path() + QLatin1String(folder));
  const pid_t parent = ::getpid();

  const pid_t pid = ::fork();
  if (pid < 0) {
    for (int fd : {toBrowser[0], toBrowser[1], fromBrowser[0], fromBrowser[1]}) ::close(fd);
    return fail(QStringLiteral("cannot start the web browser"));
  }
  if (pid == 0) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127); // the engine died before the line above
    // Move both ends above 4 first so that placing them on 3 and 4 cannot clobber either.
    const int in = ::fcntl(toBrowser[0], F_DUPFD, 10);
    const int out = ::fcntl(fromBrowser[1], F_DUPFD, 10);
    if (in < 0 || out < 0 || ::dup2(in, 3) < 0 || ::dup2(out, 4) < 0) ::_exit(127);
    const int devNull = ::open("/dev/null", O_RDWR);
    if (devNull >= 0) {
      ::dup2(devNull, 0);
      ::dup2(devNull, 1);
      ::dup2(devNull, 2);
    }
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(toBrowser[0]);
  ::close(fromBrowser[1]);
  pid_ = pid;
  writeFd_ = toBrowser[1];
  readFd_ = fromBrowser[0];
  return true;
}

int CChromiumProcess::TakeReadFd() {
  const int fd = readFd_;
  readFd_ = -1;
  return fd;
}

int CChromiumProcess::TakeWriteFd() {
  const int fd = writeFd_;
  writeFd_ = -1;
  return fd;
}

void CChromiumProcess::End() {
  if (readFd_ >= 0) ::close(readFd_);
  if (writeFd_ >= 0) ::close(writeFd_);
  readFd_ = writeFd_ = -1;
  if (pid_ <= 0) return;
  // Only our own child, by its id. It was asked to close (and its pipe is closed); an orderly
  // end also ends its helper processes, which would otherwise still write to the profile.
  if (!Reap(pid_, kCloseWaitMs)) {
    ::kill(pid_, SIGTERM);
    if (!Reap(pid_, kGracefulEndMs)) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  pid_ = -1;
}

CChromiumProcess::~CChromiumProcess() {
  End();
  if (!profile_) return;
  owner_.Unlock();
  // A helper process of the browser may still be finishing a write: try again briefly.
  for (int attempt = 0; attempt < 20 && QFileInfo::exists(profile_->path()); ++attempt) {
    if (attempt > 0) QThread::msleep(50);
    profile_->remove();
  }
  profile_.reset();
}

} // namespace engine
