#include "skin/tool_tip.h"

#include <QLabel>
#include <QWidget>

FCToolTip::FCToolTip(QWidget* owner, int style, int initialDelayMs)
    : owner_(owner), style_(style), delay_(initialDelayMs) {
  showTimer_.setSingleShot(true);
  popTimer_.setSingleShot(true);
  QObject::connect(&showTimer_, &QTimer::timeout, [this] { Show(); });
  QObject::connect(&popTimer_, &QTimer::timeout, [this] { Hide(); });
}

FCToolTip::~FCToolTip() { delete tip_; }

void FCToolTip::AddTool(int id, const QString& text, const QRect& rect) {
  tools_.append(Tool{id, text, rect});
}

QString FCToolTip::ToolText(int id) const {
  for (const Tool& tool : tools_)
    if (tool.id == id) return tool.text;
  return {};
}

QRect FCToolTip::ToolRect(int id) const {
  for (const Tool& tool : tools_)
    if (tool.id == id) return tool.rect;
  return {};
}

void FCToolTip::RelayMouseMove(const QPoint& pos) {
  pos_ = pos;
  int under = -1;
  for (int i = 0; i < tools_.size(); ++i)
    if (tools_[i].rect.contains(pos)) {
      under = i;
      break;
    }
  if (under == current_) return;
  Hide();
  current_ = under;
  if (under >= 0) showTimer_.start(delay_);
}

void FCToolTip::Show() {
  if (!owner_ || current_ < 0 || current_ >= tools_.size()) return;
  if (!tip_) {
    tip_ = new QLabel(nullptr, Qt::ToolTip);
    tip_->setTextFormat(Qt::PlainText);
    tip_->setWordWrap(true);
    tip_->setMaximumWidth(kMaxTipWidth);
    tip_->setMargin(3);
    tip_->setStyleSheet(style_ & TTS_BALLOON
                            ? "QLabel { border: 1px solid gray; border-radius: 6px; }"
                            : "QLabel { border: 1px solid gray; }");
  }
  tip_->setText(tools_[current_].text);
  tip_->adjustSize();
  tip_->move(owner_->mapToGlobal(pos_) + QPoint(0, 20));
  tip_->show();
  popTimer_.start(kAutoPopMs);
}

void FCToolTip::Hide() {
  showTimer_.stop();
  popTimer_.stop();
  if (tip_) tip_->hide();
}

QLabel* FCToolTip::VisibleTip() const { return tip_ && tip_->isVisible() ? tip_ : nullptr; }
