#include "cli/link_search_run.h"

#include "platform/process.h"

#include "cli/progress_output.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QThread>
#include <QTimer>

namespace folivex_get {
namespace {

constexpr qint64 kMaxResultBytes = 64 * 1024 * 1024;

void WriteText(std::FILE* stream, const QString& text) {
  const QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
  std::fflush(stream);
}

QString FailureReason(int status) {
  if (status == 0) return QStringLiteral("no answer from the site");
  if (status >= 400) return QStringLiteral("HTTP %1").arg(status);
  return QStringLiteral("not a web page");
}

} // namespace

CLinkSearchRun::CLinkSearchRun(platform::FIProgramLauncher& launcher,
                               const QString& engineProgram, const QString& relayProgram,
                               std::FILE* out, std::FILE* err)
    : client_(launcher), engineProgram_(engineProgram), relayProgram_(relayProgram), out_(out),
      err_(err) {
  client_.SetDoneCallback([this](const LinkSearchOutcome& outcome) {
    if (done_) return;
    done_ = true;
    if (outcome.pageFailed) {
      WriteText(err_, QStringLiteral("folivex-get: the list page could not be loaded (%1)\n")
                          .arg(FailureReason(outcome.status)));
      QTimer::singleShot(0, [this] { End(kFailed); });
      return;
    }
    // Read the result after the reply: the engine waits in its send until then.
    QTimer::singleShot(0, [this] { End(kDone); });
  });
}

QStringList CLinkSearchRun::ResultLines(const QByteArray& bytes) {
  QByteArray body = bytes;
  if (body.startsWith("\xFF\xFE")) body.remove(0, 2);
  QStringDecoder decoder(QStringDecoder::Utf16LE);
  const QString text = decoder(body);
  QStringList lines;
  for (QString line : text.split(QLatin1Char('\n'))) {
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    if (line.trimmed().isEmpty()) continue;
    lines.append(CProgressOutput::Printable(line));
  }
  return lines;
}

bool CLinkSearchRun::RelayResultFile(const QString& source, const QString& target) {
  QFile in(source);
  if (!in.open(QIODevice::ReadOnly) || in.size() > kMaxResultBytes) return false;
  const QByteArray bytes = in.read(kMaxResultBytes + 1);
  if (bytes.size() > kMaxResultBytes) return false;
  const QString partial = target + QStringLiteral(".partial");
  QFile out(partial);
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size()) {
    QFile::remove(partial);
    return false;
  }
  out.close();
  return std::rename(QFile::encodeName(partial).constData(),
                     QFile::encodeName(target).constData()) == 0;
}

int CLinkSearchRun::Run(const QString& url, const QString& folder) {
  if (!scratch_.isValid()) {
    WriteText(err_, QStringLiteral("folivex-get: no temporary folder for the search result\n"));
    return kFailed;
  }
  const QString resultCopy = scratch_.filePath(QStringLiteral("result"));
  // The engine starts the "viewer" with its own environment, which it has from us.
  qputenv(platform::kOpenerVariable, QFile::encodeName(relayProgram_));
  qputenv(kRelayVariable, QFile::encodeName(resultCopy));

  if (!client_.Start(engineProgram_, url, folder)) {
    WriteText(err_, QStringLiteral("folivex-get: cannot start the engine %1\n").arg(engineProgram_));
    return kFailed;
  }

  QTimer hello;
  hello.setSingleShot(true);
  QObject::connect(&hello, &QTimer::timeout, [this] {
    if (client_.Engine() == 0 && !done_) {
      WriteText(err_, QStringLiteral("folivex-get: the engine did not start\n"));
      End(kFailed);
    }
  });
  hello.start(helloTimeoutMs_);
  QTimer whole;
  whole.setSingleShot(true);
  QObject::connect(&whole, &QTimer::timeout, [this] {
    if (done_) return;
    WriteText(err_, QStringLiteral("folivex-get: the link search did not finish in time\n"));
    End(kFailed);
  });
  whole.start(searchTimeoutMs_);
  // An engine that dies (or quits) without reporting would otherwise be waited for in vain.
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [this] {
    if (done_ || client_.Engine() == 0 || platform::IsWindow(client_.Engine())) return;
    WriteText(err_, QStringLiteral("folivex-get: the engine ended without a result\n"));
    End(kFailed);
  });
  watch.start(1000);

  QCoreApplication::exec();
  if (exitCode_ != kDone) {
    // The engine is told to quit; one that does not end (or never said hello, so cannot hear
    // it) is ended by its process id, and its browser with it.
    client_.Quit();
    platform::AwaitProcessesEnd({client_.EngineProcess()}, kEngineTermAfterMs, kEngineKillAfterMs);
    return exitCode_;
  }

  // The relay was started before the engine told us, and copies in one step.
  QDeadlineTimer deadline(kRelayWaitMs);
  while (!QFileInfo::exists(resultCopy) && !deadline.hasExpired()) QThread::msleep(20);
  QFile result(resultCopy);
  if (!result.open(QIODevice::ReadOnly)) {
    WriteText(err_, QStringLiteral("folivex-get: the search result could not be read\n"));
    return kFailed;
  }
  const QStringList lines = ResultLines(result.read(kMaxResultBytes));
  for (const QString& line : lines) WriteText(out_, line + QLatin1Char('\n'));
  if (lines.isEmpty()) WriteText(err_, QStringLiteral("folivex-get: no chapter links found\n"));
  return kDone;
}

void CLinkSearchRun::End(int exitCode) {
  if (exitCode_ >= 0) return;
  exitCode_ = exitCode;
  QCoreApplication::exit(0);
}

void CLinkSearchRun::Interrupt(int exitCode) {
  done_ = true;
  client_.Quit();
  End(exitCode);
}

} // namespace folivex_get
