#include "platform/qt/keyboard_focus.h"

#include <QKeyEvent>
#include <QPainter>
#include <array>

namespace wavorin {

namespace {

constexpr std::array<Element, 4> kOrder{Element::b_ply, Element::b_stp, Element::b_opn,
                                        Element::b_cls};
constexpr int kGlow = 3;  // pixels the glow reaches beyond the rim

}  // namespace

KeyCommand key_command(const QKeyEvent& event) {
  const Qt::KeyboardModifiers mods = event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                                          Qt::AltModifier | Qt::MetaModifier);
  const int key = event.key();
  switch (key) {
    case Qt::Key_MediaPlay:
    case Qt::Key_MediaTogglePlayPause:
      return KeyCommand::PlayPause;
    case Qt::Key_MediaPause:
      return KeyCommand::Pause;
    case Qt::Key_MediaStop:
      return KeyCommand::Stop;
    default:
      break;
  }
  if (mods == Qt::ControlModifier) {
    if (key == Qt::Key_O) return KeyCommand::Open;
    if (key == Qt::Key_Q) return KeyCommand::Close;
    return KeyCommand::None;
  }
  if (key == Qt::Key_Backtab || (key == Qt::Key_Tab && mods == Qt::ShiftModifier))
    return KeyCommand::Previous;
  if (mods != Qt::NoModifier) return KeyCommand::None;
  switch (key) {
    case Qt::Key_Tab:
      return KeyCommand::Next;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return KeyCommand::PressFocused;
    case Qt::Key_P:
      return KeyCommand::Play;
    case Qt::Key_S:
      return KeyCommand::Stop;
    case Qt::Key_O:
      return KeyCommand::Open;
    default:
      return KeyCommand::None;
  }
}

void KeyboardFocus::step(bool forward) {
  const int count = static_cast<int>(kOrder.size());
  const int at = index();
  int next = 0;
  if (at < 0) {
    next = forward ? 0 : count - 1;
  } else {
    next = (at + (forward ? 1 : count - 1)) % count;
  }
  focused_ = kOrder[static_cast<std::size_t>(next)];
  ring_shown_ = true;
}

void KeyboardFocus::clicked(Element button) {
  for (const Element e : kOrder)
    if (e == button) focused_ = button;
  ring_shown_ = false;
}

int KeyboardFocus::index() const {
  for (std::size_t i = 0; i < kOrder.size(); ++i)
    if (focused_ == kOrder[i]) return static_cast<int>(i);
  return -1;
}

void paint_focus_ring(QPainter& painter, const QRect& button) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(Qt::NoBrush);
  const QRectF rim = QRectF(button).adjusted(0.5, 0.5, -0.5, -0.5);
  // Amber like the dome's light, fading outwards from the chrome rim.
  for (int ring = kGlow; ring >= 0; --ring) {
    QColor amber(255, 190, 60);
    amber.setAlpha(230 - ring * 55);
    painter.setPen(QPen(amber, 1.6));
    const qreal out = ring;
    painter.drawEllipse(rim.adjusted(-out, -out, out, out));
  }
  painter.restore();
}

QRect focus_ring_area(const QRect& button) {
  return button.adjusted(-kGlow - 2, -kGlow - 2, kGlow + 2, kGlow + 2);
}

}  // namespace wavorin
