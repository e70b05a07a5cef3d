#include "cli/progress_output.h"

#include "core/task_store.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace folivex_get {

CProgressOutput::CProgressOutput(const CTaskStore& tasks, std::FILE* out, bool terminal,
                                 int width)
    : tasks_(tasks), out_(out), terminal_(terminal), width_(width < 20 ? 20 : width) {}

CProgressOutput::~CProgressOutput() = default;

bool CProgressOutput::IsTerminal(std::FILE* stream) {
  if (!isatty(fileno(stream))) return false;
  const QByteArray term = qgetenv("TERM");
  return !term.isEmpty() && term != "dumb";
}

int CProgressOutput::TerminalWidth(std::FILE* stream) {
  winsize size{};
  if (ioctl(fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

QString CProgressOutput::Printable(const QString& text) {
  QString clean = text;
  for (QChar& c : clean)
    if (c.category() == QChar::Other_Control) c = QLatin1Char(' ');
  return clean;
}

QString CProgressOutput::BarLine(int label, const QString& title, std::int32_t done,
                                 std::int32_t total, int width) {
  const QString head = QStringLiteral("[%1] ").arg(label);
  const QString count = total > 0 ? QStringLiteral(" %1/%2").arg(done).arg(total)
                                  : QStringLiteral(" %1/?").arg(done);
  constexpr int kBarCells = 20;
  QString bar(kBarCells, QLatin1Char('-'));
  if (total > 0) {
    const std::int64_t filled = std::int64_t(kBarCells) * std::max(0, std::min(done, total)) / total;
    bar.fill(QLatin1Char('#'), int(filled));
    bar += QString(kBarCells - int(filled), QLatin1Char('-'));
  }
  bar = QLatin1Char('[') + bar + QLatin1Char(']');
  // The title gets what the fixed parts leave; a long one is cut with "...". A line too
  // narrow for the bar shows the count alone.
  if (width < int(head.size() + bar.size() + count.size()) + 5) return head + count.mid(1);
  const int room = width - int(head.size() + bar.size() + count.size()) - 1;
  QString name = FitColumns(Printable(title), room);
  name += QString(std::max(0, room - Columns(name)), QLatin1Char(' '));
  return head + name + QLatin1Char(' ') + bar + count;
}

int CProgressOutput::Columns(char32_t c) {
  // Wide East Asian characters and the supplementary planes' pictographs take two columns.
  const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                    (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                    (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                    (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1FAFF) ||
                    (c >= 0x20000 && c <= 0x3FFFD);
  return wide ? 2 : 1;
}

int CProgressOutput::Columns(const QString& text) {
  int columns = 0;
  for (char32_t c : text.toUcs4()) columns += Columns(c);
  return columns;
}

QString CProgressOutput::FitColumns(const QString& text, int columns) {
  if (Columns(text) <= columns) return text;
  if (columns <= 3) return QString();
  QString fitted;
  int used = 0;
  for (char32_t c : text.toUcs4()) {
    if (used + Columns(c) > columns - 3) break;
    used += Columns(c);
    fitted += QString::fromUcs4(&c, 1);
  }
  return fitted + QStringLiteral("...");
}

QString CProgressOutput::Label(std::int32_t id) const {
  return QStringLiteral("[%1]").arg(labels_.value(id, int(id)));
}

QString CProgressOutput::TitleOf(const CTaskInfo& task) {
  return task.title.isEmpty() ? task.url : task.title;
}

void CProgressOutput::Write(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out_);
}

void CProgressOutput::Events(const CTaskInfo& task, Shown& shown) {
  const QString label = Label(task.id);
  const QString title = Printable(TitleOf(task));
  if (task.status == TASK_RUNNING && task.start_count != shown.startCount) {
    if (task.start_count == 1)
      Write(QStringLiteral("%1 start %2 -> %3\n").arg(label, Printable(task.url), Printable(task.folder)));
    else
      Write(QStringLiteral("%1 restart at page %2\n").arg(label).arg(task.now_index));
    shown.startCount = task.start_count;
    shown.ended = false;
  }
  if (task.finish != shown.finish && task.finish > 0) {
    if (!terminal_) {
      const QString total = task.total > 0 ? QString::number(task.total) : QStringLiteral("?");
      Write(QStringLiteral("%1 page %2/%3 %4\n").arg(label).arg(task.finish).arg(total, title));
    }
    shown.finish = task.finish;
  }
  if (task.status == TASK_STOP && shown.status == TASK_RUNNING && !shown.ended) {
    if (task.IsFinished() && task.page_cap > 0)
      Write(QStringLiteral("%1 done %2 pages, stopped at the page cap %3\n").arg(label).arg(task.finish).arg(title));
    else if (task.IsFinished())
      Write(QStringLiteral("%1 done %2 pages %3\n").arg(label).arg(task.finish).arg(title));
    else if (!task.error_text.isEmpty())
      Write(QStringLiteral("%1 failed: %2\n").arg(label, Printable(task.error_text)));
    else if (task.finish > 0)
      Write(QStringLiteral("%1 stopped at page %2\n").arg(label).arg(task.finish));
    else
      Write(QStringLiteral("%1 stopped before the first page\n").arg(label));
    shown.ended = true;
  }
  if (task.IsFinished() && !shown.packed && (!task.archive.isEmpty() || !task.error_text.isEmpty())) {
    if (!task.archive.isEmpty())
      Write(QStringLiteral("%1 packed %2 pages into %3\n").arg(label).arg(task.finish)
                .arg(Printable(task.archive)));
    else
      Write(QStringLiteral("%1 not packed: %2\n").arg(label, Printable(task.error_text)));
    shown.packed = true;
  }
  shown.status = task.status;
}

void CProgressOutput::ClearBars() {
  if (!terminal_ || barsDrawn_ == 0) return;
  // Up to the first bar, then clear everything below the cursor.
  Write(QStringLiteral("\x1b[%1A\r\x1b[J").arg(barsDrawn_));
  barsDrawn_ = 0;
}

void CProgressOutput::DrawBars() {
  if (!terminal_) return;
  for (const auto& task : tasks_) {
    if (task->status != TASK_RUNNING) continue;
    Write(BarLine(labels_.value(task->id, int(task->id)), TitleOf(*task), task->finish,
                  task->total, width_ - 1) +
          QLatin1Char('\n'));
    ++barsDrawn_;
  }
}

void CProgressOutput::OnTaskChanged() {
  ClearBars();
  for (const auto& task : tasks_) Events(*task, shown_[task->id]);
  DrawBars();
  std::fflush(out_);
}

void CProgressOutput::Finish() {
  ClearBars();
  std::fflush(out_);
}

} // namespace folivex_get
