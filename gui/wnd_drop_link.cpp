#include "gui/wnd_drop_link.h"

#include "common/auto_ptr_list.h"
#include "gui/dlg_balloon_tip.h"
#include "core/task_manager.h"
#include "image/image_codec.h"
#include "image/image_codec_factory.h"
#include "image/image_property.h"
#include "common/skin_loader.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <memory>

namespace {

QString Text(int key) { return FCSkinLoader::LoadLanguageText(QStringLiteral("DROP_LINK"), key); }

/// Every frame of the picture at `path`, empty when it does not load.
QList<QImage> LoadFrames(const QString& path) {
  FCImageCodecFactory* factory = GetCodecFactory();
  if (!factory) return {};
  std::unique_ptr<FCImageCodec> codec(factory->CreateCodec(factory->ImageTypeFromPath(path)));
  if (!codec) return {};
  FCAutoPtrList<FCObjImage> images;
  FCImageProperty property;
  if (!codec->LoadFile(path, images, property)) return {};
  QList<QImage> frames;
  for (const auto& image : images) {
    const QImage frame = image->ToQImage();
    if (!frame.isNull()) frames.append(frame);
  }
  return frames;
}

} // namespace

CWndDropLink::CWndDropLink(CTaskManager& tasks, platform::HWND mainWindow)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      tasks_(tasks), drop_(mainWindow) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAcceptDrops(true);
}

CWndDropLink::~CWndDropLink() = default;

bool CWndDropLink::Create() {
  frames_ = LoadFrames(FCSkinLoader::GetSkinFilePath(QStringLiteral("drop")));
  if (frames_.isEmpty()) return false;
  setGeometry(1, 1, frames_.first().width(), frames_.first().height());
  OnTaskChanged();
  return true;
}

bool CWndDropLink::Toggle() {
  if (!IsCreated()) return false;
  if (isVisible()) {
    hide();
    return false;
  }
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int screenWidth = screen ? screen->geometry().width() : 1024;
  move(screenWidth - 200, 100);
  show();
  raise();
  dialogs::ShowBalloonTip(Text(2), this);
  return true;
}

bool CWndDropLink::AnyTaskRunning() const {
  for (const auto& task : tasks_)
    if (task->status == TASK_RUNNING) return true;
  return false;
}

void CWndDropLink::OnTaskChanged() {
  if (!IsCreated()) return;
  if (!AnyTaskRunning()) StopTimer();
  else if (!IsTimerRunning()) StartTimer(kFrameIntervalMs);
}

void CWndDropLink::OnTimerNotify() {
  ++frameCounter_;
  update();
}

void CWndDropLink::paintEvent(QPaintEvent*) {
  if (frames_.isEmpty()) return;
  QPainter painter(this);
  const QImage& frame = frames_[int(frameCounter_ % std::uint64_t(frames_.size()))];
  painter.drawImage(rect(), frame);
}

void CWndDropLink::dragEnterEvent(QDragEnterEvent* event) {
  // Entering is answered like moving: accepted only for a link.
  dragMoveEvent(event);
}

void CWndDropLink::dragMoveEvent(QDragMoveEvent* event) {
  const Qt::DropAction action = drop_.DragOver(event->mimeData());
  if (action == Qt::IgnoreAction) {
    event->ignore();
    return;
  }
  event->setDropAction(action);
  event->accept();
}

void CWndDropLink::dropEvent(QDropEvent* event) {
  // The source is told nothing was done: the link is only read, never moved.
  if (drop_.Drop(event->mimeData())) {
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
  } else {
    event->ignore();
  }
}

void CWndDropLink::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  // Let the window system move the window where it can; otherwise follow the pointer.
  if (windowHandle() && windowHandle()->startSystemMove()) return;
  dragging_ = true;
  dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void CWndDropLink::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_ && (event->buttons() & Qt::LeftButton))
    move(event->globalPosition().toPoint() - dragOffset_);
}

void CWndDropLink::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) dragging_ = false;
  QWidget::mouseReleaseEvent(event);
}

void CWndDropLink::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit RestoreMainWindow();
}

void CWndDropLink::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* add = menu.addAction(Text(0));
  menu.addSeparator();
  QAction* hideItem = menu.addAction(Text(1));
  QAction* chosen = menu.exec(event->globalPos());
  if (chosen == add) emit CommandChosen(kCommandAddTask);
  else if (chosen == hideItem) emit CommandChosen(kCommandToggle);
}
