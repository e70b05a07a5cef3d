#include "cli/chapter_exec.h"

#include "cli/text_output.h"
#include "core/task_info.h"

#include <QDir>
#include <QProcess>
#include <unistd.h>

namespace folivex_get {

CChapterExec::CChapterExec(const CTaskManager& tasks, const QString& command, std::FILE* err,
                           bool outputToErr)
    : events_(tasks, *this), words_(Words(command)), err_(err), outputToErr_(outputToErr) {}

CChapterExec::~CChapterExec() { Wait(); }

QStringList CChapterExec::Words(const QString& command) {
  QStringList words;
  QString word;
  bool inWord = false;
  QChar quote; // '\'' or '"' while inside quotes
  for (qsizetype i = 0; i < command.size(); ++i) {
    const QChar c = command[i];
    const bool hasNext = i + 1 < command.size();
    if (quote == u'\'') {
      if (c == u'\'') quote = QChar();
      else word += c;
    } else if (quote == u'"') {
      if (c == u'"') quote = QChar();
      else if (c == u'\\' && hasNext && QStringLiteral("\"\\$`").contains(command[i + 1])) word += command[++i];
      else word += c;
    } else if (c.isSpace()) {
      if (inWord) words << word;
      word.clear();
      inWord = false;
    } else {
      inWord = true;
      if (c == u'\'' || c == u'"') quote = c;
      else if (c == u'\\' && hasNext) word += command[++i];
      else word += c;
    }
  }
  if (!quote.isNull()) return {};
  if (inWord) words << word;
  return words;
}

void CChapterExec::OnChapterDone(const CTaskInfo& task) {
  Run(task.archive.isEmpty() ? QDir::cleanPath(task.folder) : task.archive);
}

void CChapterExec::Run(const QString& path) {
  if (words_.isEmpty()) return;
  auto process = std::make_unique<QProcess>();
  process->setProgram(words_.first());
  process->setArguments(words_.mid(1) << path);
  process->setStandardInputFile(QProcess::nullDevice());
  process->setProcessChannelMode(QProcess::ForwardedChannels);
  // Our standard error itself, shared: opening it anew by name would truncate a log file it
  // writes to and leave a hole where our own lines were.
  if (outputToErr_) process->setChildProcessModifier([] { ::dup2(STDERR_FILENO, STDOUT_FILENO); });
  process->start();
  running_.push_back(std::move(process));
  paths_.push_back(path);
}

void CChapterExec::Report(QProcess& process, const QString& path) {
  const QString program = words_.first();
  if (process.error() == QProcess::FailedToStart) {
    WriteLine(err_, QStringLiteral("folivex-get: --exec: cannot start %1").arg(program));
  } else if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    WriteLine(err_, QStringLiteral("folivex-get: --exec: %1 failed (exit status %2) for %3")
                        .arg(program)
                        .arg(process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1)
                        .arg(path));
  } else {
    return;
  }
  ++failures_;
}

int CChapterExec::Wait() {
  for (size_t i = 0; i < running_.size(); ++i) {
    QProcess& process = *running_[i];
    if (process.state() != QProcess::NotRunning) process.waitForFinished(-1);
    Report(process, paths_[i]);
  }
  running_.clear();
  paths_.clear();
  return failures_;
}

} // namespace folivex_get
