#include "gui/open_report.h"

#include "common/skin_loader.h"
#include "gui/dlg_balloon_tip.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

namespace dialogs {
namespace {

QString Text(int key) { return FCSkinLoader::LoadLanguageText(QStringLiteral("OPEN"), key); }

/// Reports a failure over `parent` while it lives; a window closed meanwhile takes the
/// report with it, the main window's message still says it when it was the parent.
platform::OpenFailed ReportOver(QWidget* parent, const QString& target) {
  QPointer<QWidget> owner(parent);
  return [owner, target](const platform::OpenFailure& failure) {
    ShowCopyableMessage(owner, OpenFailureText(target, failure), target);
  };
}

} // namespace

void OpenForUser(QWidget* parent, const QString& target) {
  platform::Opener().Open(target, ReportOver(parent, target));
}

void ShowInFolderForUser(QWidget* parent, const QString& file) {
  platform::Opener().ShowInFolder(file, ReportOver(parent, file));
}

QString OpenFailureText(const QString& target, const platform::OpenFailure& failure) {
  // Language texts are never used as printf formats: "%s" and "%d" are replaced here.
  QString why;
  switch (failure.exitStatus) {
  case -1: why = Text(2); break; // not started
  case 2: why = Text(3); break;  // the target is missing
  case 3: why = Text(4); break;  // no program for this kind of target
  default: why = Text(5); break;
  }
  why.replace(QLatin1String("%s"), failure.command);
  why.replace(QLatin1String("%d"), QString::number(failure.exitStatus));
  QString text = Text(1);
  text.replace(QLatin1String("%s"), target);
  return text + QStringLiteral("\n\n") + why;
}

void ShowCopyableMessage(QWidget* parent, const QString& text, const QString& copyText) {
  if (AnswerBox(text)) return;
  QMessageBox box(QMessageBox::Warning, parent ? parent->window()->windowTitle() : QString(), text,
                  QMessageBox::Ok, parent);
  box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  QPushButton* copy = box.addButton(Text(9), QMessageBox::ActionRole);
  box.exec();
  if (box.clickedButton() == copy) QGuiApplication::clipboard()->setText(copyText);
}

} // namespace dialogs
