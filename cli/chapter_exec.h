#pragma once
// CChapterExec: folivex-get's --exec CMD. After each chapter that is done, CMD runs with the
// chapter's CBZ file, or else its folder, as one more argument. CMD is the user's own text and
// is split into words as a shell would split it (quotes and backslashes), but it is started
// directly: the path, which holds a name from a web page, reaches the program as one argument
// exactly as it is, and no shell ever expands it.
//
// Commands run while the downloads go on; Wait() waits for the ones still running at the end.
// Their output goes to standard output, or to standard error when standard output carries
// JSON lines; a command that cannot start or ends with a failure is reported on standard error.
#include "core/chapter_events.h"

#include <QString>
#include <QStringList>
#include <cstdio>
#include <memory>
#include <vector>

class QProcess;

namespace folivex_get {

class CChapterExec : public FIChapterEventSink {
public:
  /// `tasks` must outlive this object. With `outputToErr` the commands' standard output goes
  /// to our standard error.
  CChapterExec(const CTaskManager& tasks, const QString& command, std::FILE* err, bool outputToErr);
  ~CChapterExec() override;

  void OnChapterDone(const CTaskInfo& task) override;
  /// Runs the command for `path` now.
  void Run(const QString& path);
  /// Waits until every command started has ended; returns how many failed.
  int Wait();

  /// The words of `command` as a shell splits them: blanks separate words; '...' keeps its
  /// text as it is; "..." keeps it too, except that a backslash before ", \, $ or ` stands for
  /// that character; elsewhere a backslash keeps the next character. Nothing is expanded.
  /// Empty when the command has no word or a quote is left open.
  static QStringList Words(const QString& command);

private:
  void Report(QProcess& process, const QString& path);

  CChapterEvents events_;
  QStringList words_;
  std::FILE* err_;
  bool outputToErr_;
  std::vector<std::unique_ptr<QProcess>> running_;
  std::vector<QString> paths_;
  int failures_ = 0;
};

} // namespace folivex_get
