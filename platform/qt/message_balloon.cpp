#include "platform/qt/message_balloon.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include "platform/app_identity.h"

namespace wavorin {

namespace {

constexpr int kShownMs = 8000;
constexpr int kTextWidth = 240;  // pixels; the text wraps within
constexpr int kPadding = 10;
constexpr int kGap = 6;  // between the window and the balloon

}  // namespace

MessageBalloon::MessageBalloon(QWidget* beside, int button_top)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      beside_(beside),
      button_top_(button_top) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TranslucentBackground);
  setFocusPolicy(Qt::NoFocus);
  // Never shown (the balloon has no title bar); names the window for tools.
  setWindowTitle(QString::fromUtf8(kApplicationName) + QStringLiteral(" message"));
  hide_timer_.setSingleShot(true);
  hide_timer_.setInterval(kShownMs);
  connect(&hide_timer_, &QTimer::timeout, this, &QWidget::hide);
}

bool MessageBalloon::show_message(const QString& text) {
  if (beside_ == nullptr || !beside_->isVisible()) return false;
  text_ = text;
  const QRect bounds =
      fontMetrics().boundingRect(QRect(0, 0, kTextWidth, 1000), Qt::TextWordWrap, text_);
  resize(bounds.width() + 2 * kPadding, bounds.height() + 2 * kPadding);
  // Cut to the card, so the corners show the desktop also where no
  // compositor blends the translucent ones.
  QPainterPath card;
  card.addRoundedRect(QRectF(rect()), 8, 8);
  setMask(QRegion(card.toFillPolygon().toPolygon()));
  place();
  show();
  raise();
  update();
  hide_timer_.start();
  // Screen readers read the message as it appears.
  setAccessibleName(text_);
  QAccessibleEvent alert(this, QAccessible::Alert);
  QAccessible::updateAccessibility(&alert);
  return true;
}

// Beside the window at the height of its buttons: on the right, or on the
// left where the right side leaves the screen; always on the screen.
void MessageBalloon::place() {
  const QRect window = beside_->frameGeometry();
  const QScreen* screen = beside_->screen();
  const QRect area = screen != nullptr ? screen->availableGeometry() : window;
  QPoint at(window.right() + 1 + kGap, window.top() + button_top_);
  if (at.x() + width() > area.right() + 1) at.setX(window.left() - kGap - width());
  at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - width())));
  at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - height())));
  move(at);
}

void MessageBalloon::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  // Cream card with the dome's amber rim, like a label on the cabinet.
  QPainterPath card;
  card.addRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 8, 8);
  painter.fillPath(card, QColor(255, 248, 225, 245));
  painter.setPen(QPen(QColor(214, 140, 30), 2));
  painter.drawPath(card);
  painter.setPen(QColor(50, 35, 20));
  painter.drawText(rect().adjusted(kPadding, kPadding, -kPadding, -kPadding), Qt::TextWordWrap,
                   text_);
}

void MessageBalloon::mousePressEvent(QMouseEvent* event) {
  hide_timer_.stop();
  hide();
  event->accept();
}

}  // namespace wavorin
