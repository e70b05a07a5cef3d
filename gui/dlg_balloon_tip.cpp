#include "gui/dlg_balloon_tip.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QToolTip>

namespace dialogs {
namespace {

BalloonTip& Last() {
  static BalloonTip tip;
  return tip;
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
  if (!field) return;
  if (field->isVisible() && field->focusPolicy() != Qt::NoFocus) field->setFocus();
  const QPoint anchor = field->mapToGlobal(QPoint(field->width() / 2, field->height()));
  QToolTip::showText(anchor, message, field);
}

BalloonTip LastBalloonTip() { return Last(); }

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
