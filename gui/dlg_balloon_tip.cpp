#include "gui/dlg_balloon_tip.h"

#include <QCheckBox>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace dialogs {
namespace {

BalloonTip& Last() {
  static BalloonTip tip;
  return tip;
}

constexpr int kBalloonMs = 10000;
constexpr int kMinBalloonWidth = 180;

/// The tip window: a word-wrapped label in a tooltip window, gone on the next key or click.
class CBalloon : public QLabel {
public:
  explicit CBalloon(QWidget* owner) : QLabel(owner, Qt::ToolTip | Qt::FramelessWindowHint) {
    setWordWrap(true);
    setMargin(6);
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setAttribute(Qt::WA_DeleteOnClose);
    qApp->installEventFilter(this);
    QTimer::singleShot(kBalloonMs, this, [this] { close(); });
  }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::WindowDeactivate:
      close();
      break;
    default: break;
    }
    return QLabel::eventFilter(watched, event);
  }
};

QPointer<CBalloon>& Shown() {
  static QPointer<CBalloon> shown;
  return shown;
}

/// Where the tip goes: above the field when the screen has room there, else below it.
QRect BalloonPlace(const QWidget* field, QSize size) {
  const QPoint topLeft = field->mapToGlobal(QPoint(0, 0));
  const QScreen* screen = field->screen();
  const int screenTop = screen ? screen->availableGeometry().top() : 0;
  const int above = topLeft.y() - 2 - size.height();
  const int y = above >= screenTop ? above : topLeft.y() + field->height() + 2;
  return QRect(QPoint(topLeft.x(), y), size);
}

std::function<bool(const QString&)>& Answerer() {
  static std::function<bool(const QString&)> answerer;
  return answerer;
}

} // namespace

void ShowBalloonTip(const QString& message, QWidget* field) {
  BalloonTip& last = Last();
  last.message = message;
  last.field = field;
  ++last.serial;
  if (Shown()) Shown()->close();
  if (!field) return;
  if (field->isVisible() && field->focusPolicy() != Qt::NoFocus) field->setFocus();
  if (!field->isVisible()) return;
  auto* balloon = new CBalloon(field);
  balloon->setText(message);
  balloon->setFixedWidth(std::max(field->width(), kMinBalloonWidth));
  balloon->adjustSize();
  balloon->setGeometry(BalloonPlace(field, balloon->size()));
  balloon->show();
  Shown() = balloon;
}

BalloonTip LastBalloonTip() { return Last(); }

QWidget* ShownBalloonTip() { return Shown() && Shown()->isVisible() ? Shown().data() : nullptr; }

bool AskYesNo(QWidget* parent, const QString& question) {
  if (Answerer()) return Answerer()(question);
  const QString title = parent ? parent->window()->windowTitle() : QString();
  return QMessageBox::question(parent, title, question, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

bool AskYesNoWithCheck(QWidget* parent, const QString& question, const QString& checkText,
                       bool& checked) {
  if (Answerer()) return Answerer()(question);
  QMessageBox box(QMessageBox::Question, parent ? parent->window()->windowTitle() : QString(),
                  question, QMessageBox::Yes | QMessageBox::No, parent);
  box.setDefaultButton(QMessageBox::No);
  auto* check = new QCheckBox(checkText, &box);
  check->setChecked(checked);
  box.setCheckBox(check);
  const bool yes = box.exec() == QMessageBox::Yes;
  checked = check->isChecked();
  return yes;
}

void ShowNotice(QWidget* parent, const QString& text) {
  if (Answerer()) {
    Answerer()(text);
    return;
  }
  QMessageBox::information(parent, parent ? parent->window()->windowTitle() : QString(), text);
}

void SetBoxAnswerer(std::function<bool(const QString& text)> answer) {
  Answerer() = std::move(answer);
}

bool AnswerBox(const QString& text) {
  if (!Answerer()) return false;
  Answerer()(text);
  return true;
}

} // namespace dialogs
