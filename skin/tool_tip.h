#pragma once
// FCToolTip: the tooltip control of skin buttons and list windows. It holds tools (an id, a
// text and a rectangle of the owner window); the owner relays its mouse moves and the tip of
// the tool under the mouse appears after the initial delay, wraps at the maximum width and
// hides after the auto-pop time or when the mouse leaves the tool.
#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>

class QLabel;
class QWidget;

class FCToolTip {
public:
  static constexpr int kMaxTipWidth = 500;
  static constexpr int kAutoPopMs = 15000;
  /// Tooltip styles.
  enum : int {
    TTS_ALWAYSTIP = 1, ///< shown even when the owner is not active
    TTS_BALLOON = 64,  ///< balloon look (rounded, with a border)
  };

  FCToolTip(QWidget* owner, int style, int initialDelayMs);
  ~FCToolTip();
  FCToolTip(const FCToolTip&) = delete;
  FCToolTip& operator=(const FCToolTip&) = delete;

  void AddTool(int id, const QString& text, const QRect& rect);
  int ToolCount() const { return static_cast<int>(tools_.size()); }
  QString ToolText(int id) const;
  QRect ToolRect(int id) const;

  /// The owner's mouse moved to `pos` (owner coordinates): arms or hides the tip.
  void RelayMouseMove(const QPoint& pos);
  void Hide();
  /// The tip window while shown (for tests), else null.
  QLabel* VisibleTip() const;
  int InitialDelay() const { return delay_; }

private:
  struct Tool {
    int id;
    QString text;
    QRect rect;
  };
  void Show();

  QPointer<QWidget> owner_;
  int style_;
  int delay_;
  QList<Tool> tools_;
  int current_ = -1; // index into tools_
  QPoint pos_;
  QTimer showTimer_;
  QTimer popTimer_;
  QLabel* tip_ = nullptr;
};
