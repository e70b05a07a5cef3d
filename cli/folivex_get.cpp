#include "cli/folivex_get.h"

#include "common/data_folder.h"
#include "common/cookies_file.h"
#include "common/network_setting.h"
#include "core/engine_launcher.h"
#include "platform/termination.h"
#include "cli/chapter_exec.h"
#include "cli/download_run.h"
#include "cli/get_options.h"
#include "cli/link_search_run.h"
#include "cli/progress_output.h"
#include "cli/series_run.h"
#include "cli/task_list.h"
#include "cli/text_output.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <memory>

namespace folivex_get {

namespace {

constexpr int kBadArguments = 2;
constexpr int kMaxListBytes = 16 * 1024 * 1024;

int BadArguments(const QString& message) {
  WriteText(stderr, QStringLiteral("folivex-get: %1\n\n").arg(message) + UsageText());
  return kBadArguments;
}

// Reads the cookies file once, before any engine starts: one that cannot be read ends the
// run, malformed lines are named once here (each engine skips them quietly). The engines get
// the file by its absolute path.
bool CheckCookiesFile(QString& path) {
  const common::CookiesFile file = common::ReadCookiesFile(path);
  if (!file.error.isEmpty()) {
    WriteText(stderr, QStringLiteral("folivex-get: %1\n").arg(file.error));
    return false;
  }
  const QString warning = common::MalformedLinesWarning(path, file.malformedLines);
  if (!warning.isEmpty()) WriteText(stderr, QStringLiteral("folivex-get: %1\n").arg(warning));
  if (path.startsWith(QLatin1String("~/"))) path = QDir::homePath() + path.mid(1);
  path = QDir::current().absoluteFilePath(path);
  return true;
}

QString EngineProgram() {
  const QString named = qEnvironmentVariable(kEngineVariable);
  return named.isEmpty() ? CEngineLauncher::DefaultProgram() : named;
}

bool ReadListFile(const QString& name, QByteArray& bytes) {
  QFile file;
  const bool open = name == QLatin1String("-")
                        ? file.open(stdin, QIODevice::ReadOnly)
                        : (file.setFileName(name), file.open(QIODevice::ReadOnly));
  if (!open) return false;
  bytes = file.read(kMaxListBytes);
  return true;
}

// Without the engine every task would wait for a hello that never comes.
bool EngineIsThere() {
  const QString engine = EngineProgram();
  if (QFileInfo(engine).isExecutable()) return true;
  WriteText(stderr, QStringLiteral("folivex-get: the engine %1 is missing\n").arg(engine));
  return false;
}

// A download run as the options ask for it: jobs, packing, delay, JSON lines and --exec.
std::unique_ptr<CDownloadRun> MakeDownloadRun(const GetOptions& options,
                                              platform::FIProgramLauncher& launcher) {
  const bool terminal = !options.json && CProgressOutput::IsTerminal(stdout);
  auto run = std::make_unique<CDownloadRun>(options.jobs, launcher, stdout, stderr, terminal,
                                            terminal ? CProgressOutput::TerminalWidth(stdout) : 80);
  run->SetEngineProgram(EngineProgram());
  run->SetPackCbz(options.cbz);
  run->SetPageDelay(options.delay);
  run->SetMaxPages(options.maxPages);
  run->SetCookiesFile(options.cookiesFile);
  run->SetJson(options.json);
  run->SetExec(options.exec);
  return run;
}

int Series(const GetOptions& options) {
  if (!EngineIsThere()) return 1;
  platform::DetachedLauncher launcher;
  const std::unique_ptr<CDownloadRun> downloads = MakeDownloadRun(options, launcher);
  CSeriesRun run(launcher, EngineProgram(), *downloads, stderr);
  run.SetCookiesFile(options.cookiesFile);
  const platform::TerminationWatch watch([&run](int signal) { run.Interrupt(128 + signal); },
                                         platform::TerminationWatch::Repeat::EndAtOnce);
  if (options.mode == GetMode::Follow)
    return run.Follow(options.chapters[0].url, options.chapters[0].folder,
                      options.onlyNew ? FirstCheck::OnlyNew : FirstCheck::All);
  return run.Check(options.checkFolders);
}

int Download(const GetOptions& options) {
  if (!EngineIsThere()) return 1;
  platform::DetachedLauncher launcher;
  const std::unique_ptr<CDownloadRun> downloads = MakeDownloadRun(options, launcher);
  CDownloadRun& run = *downloads;

  int queued = 0;
  if (options.mode == GetMode::List) {
    // The folder the listed folders must stay in: the one given, created when missing, or
    // the current folder.
    const QString base = QDir::cleanPath(QDir::current().absoluteFilePath(
        options.listBase.isEmpty() ? QStringLiteral(".") : options.listBase));
    if (!QDir().mkpath(base)) return BadArguments(QStringLiteral("cannot create %1").arg(base));
    QByteArray bytes;
    if (!ReadListFile(options.listFile, bytes))
      return BadArguments(QStringLiteral("cannot read %1").arg(options.listFile));
    const TaskList list = ParseTaskList(DecodeListText(bytes), base);
    for (const QString& message : list.rejected) {
      WriteText(stderr, QStringLiteral("folivex-get: %1: %2, line skipped\n")
                            .arg(options.listFile, CProgressOutput::Printable(message)));
      run.CountFailure();
    }
    if (list.entries.isEmpty())
      return BadArguments(QStringLiteral("%1 lists no chapter to download").arg(options.listFile));
    for (const ListEntry& entry : list.entries)
      queued += run.AddChapter({entry.url, entry.folder}, entry.line) ? 1 : 0;
  } else {
    for (int i = 0; i < options.chapters.size(); ++i)
      queued += run.AddChapter(options.chapters[i], i + 1) ? 1 : 0;
  }

  // Control-C tells the engines to quit; pressing it again ends at once.
  const platform::TerminationWatch watch([&run](int signal) { run.Interrupt(128 + signal); },
                                         platform::TerminationWatch::Repeat::EndAtOnce);
  return run.Run();
}

int Links(const GetOptions& options) {
  if (!EngineIsThere()) return 1;
  platform::DetachedLauncher launcher;
  CLinkSearchRun run(launcher, EngineProgram(), stdout, stderr);
  run.SetChaptersOnly(options.chaptersOnly);
  // Control-C tells the engines to quit; pressing it again ends at once.
  const platform::TerminationWatch watch([&run](int signal) { run.Interrupt(128 + signal); },
                                         platform::TerminationWatch::Repeat::EndAtOnce);
  run.SetCookiesFile(options.cookiesFile);
  return run.Run(options.chapters[0].url, options.chapters[0].folder);
}

} // namespace

int RunFolivexGet(const QStringList& arguments) {
  const ParsedArguments parsed = ParseArguments(arguments);
  if (!parsed.ok()) return BadArguments(parsed.error);
  if (!parsed.options.exec.isEmpty() && CChapterExec::Words(parsed.options.exec).isEmpty())
    return BadArguments(QStringLiteral("--exec: a quote is left open in %1").arg(parsed.options.exec));
  // The engines inherit it, for their browser and their image fetches.
  if (!parsed.options.proxy.isEmpty()) common::ApplyNetworkSetting({parsed.options.proxy, {}});
  GetOptions options = parsed.options;
  if (!options.cookiesFile.isEmpty() && !CheckCookiesFile(options.cookiesFile))
    return kBadArguments;
  // The engines' reports meet in the data folder; a copied program folder may lack the folder.
  if (options.mode != GetMode::Help) common::PrepareDataFolder();
  switch (options.mode) {
  case GetMode::Help:
    WriteText(stdout, UsageText());
    return 0;
  case GetMode::Version:
    WriteText(stdout, QStringLiteral("folivex-get %1\n").arg(QLatin1String(FOLIVEX_VERSION)));
    return 0;
  case GetMode::Follow:
  case GetMode::Check:
    return Series(options);
  case GetMode::Links:
    return Links(options);
  case GetMode::Download:
  case GetMode::List:
    return Download(options);
  }
  return kBadArguments;
}

} // namespace folivex_get
