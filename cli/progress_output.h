#pragma once
// CProgressOutput: shows the progress of the running downloads.
//
// On a terminal it keeps one bar per running task at the bottom of the screen (title, bar,
// pages done of total) and writes a line above them when a task starts, ends or fails. When
// standard output is a pipe or file it writes plain lines instead, one per event and saved
// page, so logs and scripts can follow it:
//
//   [1] start http://host/c/1 -> /home/u/comics/1/
//   [1] page 3/12 Some title
//   [1] done 12 pages Some title
//   [1] packed 12 pages into /home/u/comics/1.cbz
//   [2] failed: <reason>
//
// Titles come from web pages: control characters are removed before anything is written, so
// a page cannot send escape sequences to the terminal.
#include "core/task_event_observer.h"

#include <QHash>
#include <QString>
#include <cstdint>
#include <cstdio>

class CTaskInfo;
class CTaskStore;

namespace folivex_get {

class CProgressOutput : public CTaskEventObserver {
public:
  /// `tasks` must outlive this object. `terminal` selects the bars; `width` is the number of
  /// columns a bar line may fill.
  CProgressOutput(const CTaskStore& tasks, std::FILE* out, bool terminal, int width = 80);
  ~CProgressOutput() override;

  /// The number shown for a task ("[1]"): its place on the command line or in the list.
  void SetLabel(std::int32_t id, int label) { labels_[id] = label; }
  /// Removes the bars (terminal) so that a final message starts on a clean line.
  void Finish();

  void OnTaskChanged() override;

  /// One bar line of at most `width` columns: "[label] title [####----] done/total".
  static QString BarLine(int label, const QString& title, std::int32_t done, std::int32_t total,
                         int width);
  /// Terminal columns of a character (2 for wide East Asian ones) and of a text.
  static int Columns(char32_t c);
  static int Columns(const QString& text);
  /// `text` cut to at most `columns` columns, ending in "..." when cut.
  static QString FitColumns(const QString& text, int columns);
  /// `text` with every control character replaced by a space.
  static QString Printable(const QString& text);
  /// Whether `stream` is a terminal that understands cursor movement.
  static bool IsTerminal(std::FILE* stream);
  /// The terminal's width in columns (80 when unknown).
  static int TerminalWidth(std::FILE* stream);

private:
  /// What was last shown for a task, to write only what changed.
  struct Shown {
    std::int32_t status = 0;
    std::int32_t startCount = 0;
    std::int32_t finish = -1;
    bool ended = false;
    bool packed = false;
  };

  void Write(const QString& text);
  void Events(const CTaskInfo& task, Shown& shown);
  void DrawBars();
  void ClearBars();
  QString Label(std::int32_t id) const;
  static QString TitleOf(const CTaskInfo& task);

  const CTaskStore& tasks_;
  std::FILE* out_;
  bool terminal_;
  int width_;
  int barsDrawn_ = 0;
  QHash<std::int32_t, int> labels_;
  QHash<std::int32_t, Shown> shown_;
};

} // namespace folivex_get
