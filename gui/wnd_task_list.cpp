#include "gui/wnd_task_list.h"

#include "gui/folivex_dlg.h"
#include "core/task_manager.h"
#include "image/skin_image.h"
#include "core/task_place.h"
#include "gui/open_report.h"
#include "common/skin_loader.h"
#include "skin/xml_attributes.h"

#include <QDir>
#include <QFileInfo>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

struct CWndTaskList::Pictures {
  FCSkinImage select_bk, running, stop, wait, ok, error, progress_down, progress_left;
};

namespace {

// The pictures are shared by the process: the list is created once per skin load.
CWndTaskList::Pictures& MutablePictures() {
  static CWndTaskList::Pictures pictures;
  return pictures;
}

void LoadPicture(FCSkinImage& image, const QDomElement& element, const char* key,
                 const QString& folder) {
  image.Clear();
  const QString file = skin_xml::ReadText(element, key);
  if (!file.isEmpty()) image.LoadFromFile(folder, file);
}

QString ListText(int key) { return FCSkinLoader::LoadLanguageText(QStringLiteral("LIST"), key); }

// Fills the "%d" of a language text with `values` in order. Texts come from editable files,
// so they are never used as printf formats.
QString FormatInts(QString text, std::initializer_list<int> values) {
  int from = 0;
  for (int value : values) {
    const int at = text.indexOf(QStringLiteral("%d"), from);
    if (at < 0) break;
    const QString number = QString::number(value);
    text.replace(at, 2, number);
    from = at + number.size();
  }
  return text;
}

const FCSkinImage& StateImage(const CTaskInfo& task) {
  const CWndTaskList::Pictures& p = CWndTaskList::SharedPictures();
  const QString state = task.StateName();
  if (state == QLatin1String("ok")) return p.ok;
  if (state == QLatin1String("running")) return p.running;
  if (state == QLatin1String("wait")) return p.wait;
  if (state == QLatin1String("error")) return p.error;
  return p.stop;
}

// The second, dimmer part of a row: what holds the pages (folder or CBZ), and for a failed
// task why it failed.
QString PlaceLine(const CTaskInfo& task) {
  const QString place = task_place::PlaceName(task);
  return task.error_text.isEmpty() ? place : place + QStringLiteral(" \u2014 ") + task.error_text;
}

// The row name, and below it (or beside it, in a row too low for two lines) the place in a
// dimmer colour, each cut with an ellipsis.
void DrawNameAndPlace(QPainter& painter, const CTaskInfo& task, const QRect& rect) {
  const QFontMetrics metrics = painter.fontMetrics();
  const QString name = task_place::TaskName(task);
  const QString place = PlaceLine(task);
  const QColor dim = task.error_text.isEmpty() ? QColor(120, 120, 120) : QColor(200, 80, 80);
  const int line = metrics.height();
  const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
  if (rect.height() >= 2 * line + 4) {
    const int top = rect.top() + (rect.height() - 2 * line) / 2;
    painter.drawText(QRect(rect.left(), top, rect.width(), line), flags,
                     metrics.elidedText(name, Qt::ElideRight, rect.width()));
    painter.save();
    painter.setPen(dim);
    painter.drawText(QRect(rect.left(), top + line, rect.width(), line), flags,
                     metrics.elidedText(place, Qt::ElideRight, rect.width()));
    painter.restore();
    return;
  }
  const QString shownName = metrics.elidedText(name, Qt::ElideRight, rect.width() * 2 / 3);
  const int nameWidth = metrics.horizontalAdvance(shownName);
  painter.drawText(rect, flags, shownName);
  painter.save();
  painter.setPen(dim);
  const QRect rest = rect.adjusted(nameWidth + 12, 0, 0, 0);
  painter.drawText(rest, flags, metrics.elidedText(place, Qt::ElideRight, rest.width()));
  painter.restore();
}

// Draws `image` centred in `column`, scaled down (aspect kept) when it does not fit.
void DrawCentred(QPainter& painter, const FCSkinImage& image, const QRect& column) {
  if (image.IsEmpty()) return;
  int w = image.Width(), h = image.Height();
  if (w > column.width() || h > column.height()) {
    const double scale = std::min(double(column.width()) / w, double(column.height()) / h);
    w = std::max(1, int(w * scale));
    h = std::max(1, int(h * scale));
  }
  const int x = column.left() + (column.width() - w) / 2;
  const int y = column.top() + (column.height() - h) / 2;
  image.DrawTo(painter, x, y, x + w, y + h);
}

} // namespace

const CWndTaskList::Pictures& CWndTaskList::SharedPictures() { return MutablePictures(); }

// --- rows -------------------------------------------------------------------------------------

void CWndTaskList::CTaskListItem::DrawListItem(QPainter& painter, int left, int top, int right,
                                               int bottom) {
  auto* list = static_cast<CWndTaskList*>(owner);
  if (!list) return;
  const CTaskInfo* task = list->Tasks().FindTask(task_id);
  if (!task) return;
  const Pictures& p = SharedPictures();
  painter.save();
  painter.setPen(task->error_text.isEmpty() ? QColor(Qt::black) : QColor(255, 32, 32));
  const int height = bottom - top;
  if (selected) p.select_bk.DrawTo(painter, left, top, right, bottom);

  DrawCentred(painter, StateImage(*task), QRect(left, top, 32, height));

  const QFontMetrics metrics = painter.fontMetrics();
  const QRect nameRect(left + 32, top, std::max(0, right - 200 - (left + 32)), height);
  DrawNameAndPlace(painter, *task, nameRect);

  // Progress bar: a 1-pixel border, the rest-of-bar picture, the done part over it.
  QRect bar(right - 200 + 5, top + (height - 13) / 2, 100 - 10, 13);
  painter.fillRect(bar, QColor(100, 137, 183));
  const QRect inner = bar.adjusted(1, 1, -1, -1);
  p.progress_left.DrawTo(painter, inner.left(), inner.top(), inner.right() + 1,
                         inner.bottom() + 1);
  if (task->total != 0) {
    const double fraction = std::clamp(double(task->finish) / double(task->total), 0.0, 1.0);
    const int done = int(inner.width() * fraction);
    if (done > 0)
      p.progress_down.DrawTo(painter, inner.left(), inner.top(), inner.left() + done,
                             inner.bottom() + 1);
  }

  const QRect countRect(right - 100, top, 100, height);
  // A chapter stopped at the page cap has more pages than it shows: "1000 / 1000+".
  const QString count = task->total == 0 ? QStringLiteral("0 / 0")
                        : task->page_cap > 0
                            ? QString::asprintf("%d / %d+", task->finish, task->total)
                            : QString::asprintf("%d / %d", task->finish, task->total);
  painter.drawText(countRect, Qt::AlignCenter | Qt::TextSingleLine,
                   metrics.elidedText(count, Qt::ElideRight, countRect.width()));

  // The insertion line while rows are dragged.
  const int index = list->IndexOfItem(this);
  const int drop = list->DropIndex();
  const QColor marker(255, 168, 81);
  if (drop >= 0 && index == drop)
    painter.fillRect(QRect(left, top, right - left, index == 0 ? 2 : 1), marker);
  if (drop >= 0 && index + 1 == drop) {
    const int thick = index == list->ItemCount() - 1 ? 2 : 1;
    painter.fillRect(QRect(left, bottom - thick, right - left, thick), marker);
  }
  painter.restore();
}

CWndTaskList::CScrollTimer::CScrollTimer(FCListWindow& list, int code) : list_(list), code_(code) {
  StartTimer(kScrollIntervalMs);
}

void CWndTaskList::CScrollTimer::OnTimerNotify() {
  FCListWindow* list = &list_;
  const int code = code_;
  QMetaObject::invokeMethod(list, [list, code] { list->OnVScroll(code); }, Qt::QueuedConnection);
}

// --- the window -------------------------------------------------------------------------------

CWndTaskList::CWndTaskList(CTaskManager& tasks, const QDomElement& element, const QString& folder,
                           QWidget* parent)
    : FCListWindow(parent), tasks_(tasks) {
  Pictures& p = MutablePictures();
  LoadPicture(p.select_bk, element, "select_bk", folder);
  LoadPicture(p.running, element, "running", folder);
  LoadPicture(p.stop, element, "stop", folder);
  LoadPicture(p.wait, element, "wait", folder);
  LoadPicture(p.ok, element, "ok", folder);
  LoadPicture(p.error, element, "error", folder);
  LoadPicture(p.progress_down, element, "progress_down", folder);
  LoadPicture(p.progress_left, element, "progress_left", folder);
  skin_xml::ReadInt(element, "item_height", item_height_);
  item_height_ = std::max(1, item_height_);
  setFocusPolicy(Qt::StrongFocus);
  SetLayout(new FCLayout_FixLineCount(1, item_height_));
  RebuildRows();
}

CWndTaskList::~CWndTaskList() = default;

QList<std::int32_t> CWndTaskList::SelectedIds() const {
  QList<std::int32_t> ids;
  for (int i = 0; i < ItemCount(); ++i)
    if (Row(i)->selected) ids << Row(i)->task_id;
  return ids;
}

void CWndTaskList::SelectAll() {
  for (int i = 0; i < ItemCount(); ++i) Row(i)->selected = 1;
  update();
}

void CWndTaskList::SelectOnly(const QList<int>& indexes) {
  for (int i = 0; i < ItemCount(); ++i) Row(i)->selected = indexes.contains(i) ? 1 : 0;
  update();
}

void CWndTaskList::RebuildRows() {
  while (ItemCount() > 0) RemoveItem(ItemCount() - 1);
  for (const auto& task : tasks_) AddItem(new CTaskListItem(task->id));
  Relayout();
}

void CWndTaskList::ReverseOrder() {
  tasks_.ReverseOrder();
  RebuildRows();
  CTaskEventObserver::NotifyTaskChanged();
}

void CWndTaskList::MoveSelectedTo(int index) {
  const QList<std::int32_t> moved = SelectedIds();
  tasks_.MoveTasks(moved, index);
  RebuildRows();
  // The rows the user dropped stay selected, so a start or stop can follow at once.
  for (int i = 0; i < ItemCount(); ++i) Row(i)->selected = moved.contains(Row(i)->task_id) ? 1 : 0;
  CTaskEventObserver::NotifyTaskChanged();
}

int CWndTaskList::RowAt(const QPoint& clientPos) const {
  for (int i = 0; i < ItemCount(); ++i)
    if (Row(i)->GetVisibleRect().contains(clientPos)) return i;
  return -1;
}

int CWndTaskList::InsertionIndexAt(const QPoint& clientPos) const {
  const int row = RowAt(clientPos);
  if (row >= 0) {
    const QRect rect = Row(row)->GetVisibleRect();
    return clientPos.y() < rect.top() + rect.height() / 2 ? row : row + 1;
  }
  return clientPos.y() < 0 ? 0 : ItemCount();
}

int CWndTaskList::FirstSelected() const {
  for (int i = 0; i < ItemCount(); ++i)
    if (Row(i)->selected) return i;
  return 0;
}

int CWndTaskList::LastSelected() const {
  for (int i = ItemCount() - 1; i >= 0; --i)
    if (Row(i)->selected) return i;
  return 0;
}

QString CWndTaskList::TipText(std::int32_t taskId) const {
  const CTaskInfo* task = tasks_.FindTask(taskId);
  if (!task) return QString();
  QString state;
  if (task->IsFinished()) state = ListText(task->page_cap > 0 ? 24 : 20);
  else if (task->status == TASK_RUNNING) state = ListText(21);
  else if (task->status == TASK_WAIT) state = ListText(22);
  else if (!task->error_text.isEmpty()) state = task->error_text;
  else state = ListText(23);
  QStringList lines;
  lines << ListText(0) + task_place::TaskName(*task);
  lines << ListText(3) + state;
  // A packed chapter is its archive: the folder it came from is gone.
  const QString archive = task_place::TaskArchive(*task);
  lines << (archive.isEmpty() ? ListText(1) + task->folder : ListText(5) + archive);
  lines << FormatInts(ListText(2), {task->finish, task->total});
  if (task->start_count > 1) lines << FormatInts(ListText(4), {task->start_count - 1});
  return lines.join(QLatin1Char('\n'));
}

void CWndTaskList::OnTaskAdded(std::int32_t id) {
  AddItem(new CTaskListItem(id));
  Relayout();
}

void CWndTaskList::OnTaskChanged() { update(); }

void CWndTaskList::OnTaskRemoved(std::int32_t id) {
  for (int i = 0; i < ItemCount(); ++i) {
    if (Row(i)->task_id != id) continue;
    RemoveItem(i);
    Relayout();
    return;
  }
}

void CWndTaskList::OnMouseEnter() {
  for (int i = 0; i < ItemCount(); ++i) Row(i)->tooltip = TipText(Row(i)->task_id);
  UpdateTooltips();
}

void CWndTaskList::DrawListBackground(QPainter& painter, int left, int top, int right,
                                      int bottom) {
  const QRect area(left, top, right - left, bottom - top);
  painter.fillRect(area, Qt::white);
  if (ItemCount() > 0) return;
  // An empty list tells a new user where to begin.
  painter.save();
  painter.setPen(QColor(128, 128, 128));
  const QString hint = ListText(40);
  painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine,
                   painter.fontMetrics().elidedText(hint, Qt::ElideRight, area.width() - 16));
  painter.restore();
}

// --- mouse and keyboard -----------------------------------------------------------------------

void CWndTaskList::mousePressEvent(QMouseEvent* e) {
  FCListWindow::mousePressEvent(e);
  const QPoint pos = e->position().toPoint();
  if (e->button() == Qt::LeftButton) LeftButtonDown(pos, e->modifiers());
  else if (e->button() == Qt::RightButton) RightButtonDown(pos);
}

void CWndTaskList::LeftButtonDown(const QPoint& pos, Qt::KeyboardModifiers modifiers) {
  update();
  const int hit = RowAt(pos);
  if (hit < 0) {
    SelectOnly({});
    return;
  }
  if (modifiers & Qt::ControlModifier) {
    Row(hit)->selected = Row(hit)->selected ? 0 : 1;
    return;
  }
  if (modifiers & Qt::ShiftModifier) {
    const int first = FirstSelected(), last = LastSelected();
    QList<int> range;
    if (first >= hit) {
      for (int i = hit; i <= first; ++i) range << i;
    } else if (hit >= last) {
      for (int i = last; i <= hit; ++i) range << i;
    } else {
      return; // strictly between the first and last selected rows: nothing changes
    }
    SelectOnly(range);
    return;
  }
  if (!Row(hit)->selected) SelectOnly({hit});
  // The drag runs while the button is held: see mouseMoveEvent and mouseReleaseEvent.
  pressed_row_ = hit;
  press_pos_ = pos;
  dragging_ = false;
  drop_index_ = -1;
}

void CWndTaskList::mouseMoveEvent(QMouseEvent* e) {
  if (pressed_row_ < 0) return FCListWindow::mouseMoveEvent(e);
  const QPoint pos = e->position().toPoint();
  if (!dragging_) {
    const QPoint delta = pos - press_pos_;
    if (std::abs(delta.x()) <= kDeadZone && std::abs(delta.y()) <= kDeadZone) return;
    dragging_ = true;
    setCursor(Qt::PointingHandCursor);
  }
  drop_index_ = InsertionIndexAt(pos);
  const QRect client = ClientRect();
  if (pos.y() < 0) {
    down_timer_.reset();
    if (!up_timer_) up_timer_ = std::make_unique<CScrollTimer>(*this, SB_PAGEUP);
  } else if (pos.y() > client.bottom()) {
    up_timer_.reset();
    if (!down_timer_) down_timer_ = std::make_unique<CScrollTimer>(*this, SB_PAGEDOWN);
  } else {
    StopScrollTimers();
  }
  update();
}

void CWndTaskList::mouseReleaseEvent(QMouseEvent* e) {
  if (pressed_row_ < 0 || e->button() != Qt::LeftButton) return FCListWindow::mouseReleaseEvent(e);
  EndDrag(true);
}

void CWndTaskList::EndDrag(bool drop) {
  const int pressed = pressed_row_;
  const int index = dragging_ ? drop_index_ : -1;
  pressed_row_ = -1;
  dragging_ = false;
  drop_index_ = -1;
  unsetCursor();
  StopScrollTimers();
  update();
  if (!drop) return;
  if (index >= 0 && index <= ItemCount()) MoveSelectedTo(index);
  else if (pressed < ItemCount()) SelectOnly({pressed});
}

void CWndTaskList::StopScrollTimers() {
  up_timer_.reset();
  down_timer_.reset();
}

void CWndTaskList::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton ||
      (e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)))
    return;
  if (pressed_row_ >= 0) EndDrag(false);
  OpenFirstSelectedFolder();
}

void CWndTaskList::OpenFirstSelectedFolder() {
  const QList<std::int32_t> ids = SelectedIds();
  if (ids.isEmpty()) return;
  const CTaskInfo* task = tasks_.FindTask(ids.first());
  if (!task) return;
  // A packed chapter is its archive: its folder is shown with the archive selected.
  const QString archive = task_place::TaskArchive(*task);
  if (!archive.isEmpty() && QFileInfo::exists(archive)) {
    dialogs::ShowInFolderForUser(this, archive);
    return;
  }
  if (!task->folder.isEmpty() && QDir(task->folder).exists()) {
    dialogs::OpenForUser(this, task->folder);
    return;
  }
  CFolivexDlg::ShowMessage(this, ListText(30));
}

static CWndTaskList::MenuChooser& RowMenuChooser() {
  static CWndTaskList::MenuChooser chooser;
  return chooser;
}

void CWndTaskList::SetMenuChooser(MenuChooser chooser) { RowMenuChooser() = std::move(chooser); }

void CWndTaskList::RightButtonDown(const QPoint& pos) {
  const int hit = RowAt(pos);
  if (hit < 0) return;
  // A press on a selected row keeps the selection: start, stop and remove act on all of it.
  if (!Row(hit)->selected) SelectOnly({hit});
  repaint();
  const std::int32_t id = Row(hit)->task_id;
  const CTaskInfo* task = tasks_.FindTask(id);
  if (!task) return;
  const bool active = task->status == TASK_RUNNING || task->status == TASK_WAIT;
  QMenu menu(this);
  const auto add = [&menu](int command, const QString& text, bool enabled = true) {
    QAction* action = menu.addAction(text);
    action->setData(command);
    action->setEnabled(enabled);
  };
  add(CFolivexDlg::kStartTasks, ListText(12), !active && !task->IsFinished());
  add(CFolivexDlg::kStopTasks, ListText(13), active);
  menu.addSeparator();
  add(kMenuOpenFolder, ListText(11));
  add(kMenuOpenAddress, ListText(10));
  add(kMenuCopyAddress, ListText(15));
  menu.addSeparator();
  add(CFolivexDlg::kDeleteTasks, ListText(14));
  int chosen = 0;
  if (RowMenuChooser()) {
    chosen = RowMenuChooser()(menu);
  } else if (QAction* action = menu.exec(mapToGlobal(pos))) {
    chosen = action->data().toInt();
  }
  task = tasks_.FindTask(id); // the menu ran a loop: the task may be gone
  if (!task || chosen == 0) return;
  switch (chosen) {
  case kMenuOpenAddress: CFolivexDlg::OpenInBrowser(this, task->url); break;
  case kMenuOpenFolder:
    QMetaObject::invokeMethod(this, [this] { OpenFirstSelectedFolder(); }, Qt::QueuedConnection);
    break;
  case kMenuCopyAddress: QGuiApplication::clipboard()->setText(task->url); break;
  default: emit CommandChosen(chosen); break;
  }
}

void CWndTaskList::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_A && (e->modifiers() & Qt::ControlModifier)) {
    SelectAll();
    e->accept();
    return;
  }
  if (e->key() == Qt::Key_Delete && e->modifiers() == Qt::NoModifier) {
    emit CommandChosen(CFolivexDlg::kDeleteTasksAsking);
    e->accept();
    return;
  }
  FCListWindow::keyPressEvent(e);
}
