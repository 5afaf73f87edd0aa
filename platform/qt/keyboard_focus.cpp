#include "platform/qt/keyboard_focus.h"

#include <QKeyEvent>
#include <QPainter>

namespace wavorin {

namespace {

constexpr int kGlow = 3;  // pixels the glow reaches beyond the rim

// The button that `key`, with Ctrl or not, presses.
KeyAction pressed_by(int key, bool control, const std::vector<PushButtonDescription>& buttons) {
  for (const PushButtonDescription& button : buttons)
    for (const ButtonKey& k : button.keys)
      if (k.letter != 0 && k.control == control && key_combination(k).key() == key)
        return {KeyCommand::PressButton, button.element};
  return {};
}

KeyAction pressed_by(SoundRole role, const std::vector<PushButtonDescription>& buttons) {
  for (const PushButtonDescription& button : buttons)
    if (button.sound_role == role) return {KeyCommand::PressButton, button.element};
  return {};
}

}  // namespace

QKeyCombination key_combination(const ButtonKey& key) {
  const auto letter = static_cast<Qt::Key>(Qt::Key_A + (key.letter - 'A'));
  return key.control ? QKeyCombination(Qt::ControlModifier, letter) : QKeyCombination(letter);
}

KeyAction key_action(const QKeyEvent& event, const std::vector<PushButtonDescription>& buttons) {
  const Qt::KeyboardModifiers mods = event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                                          Qt::AltModifier | Qt::MetaModifier);
  const int key = event.key();
  switch (key) {
    case Qt::Key_MediaPlay:
    case Qt::Key_MediaTogglePlayPause:
      return {KeyCommand::PlayPause};
    case Qt::Key_MediaPause:
      return {KeyCommand::Pause};
    case Qt::Key_MediaStop:
      return pressed_by(SoundRole::Stops, buttons);
    default:
      break;
  }
  if (mods == Qt::ControlModifier) return pressed_by(key, true, buttons);
  if (key == Qt::Key_Backtab || (key == Qt::Key_Tab && mods == Qt::ShiftModifier))
    return {KeyCommand::Previous};
  if (mods != Qt::NoModifier) return {};
  switch (key) {
    case Qt::Key_Tab:
      return {KeyCommand::Next};
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return {KeyCommand::PressFocused};
    default:
      return pressed_by(key, false, buttons);
  }
}

KeyboardFocus::KeyboardFocus(const std::vector<PushButtonDescription>& buttons) {
  for (const PushButtonDescription& button : buttons) order_.push_back(button.element);
}

void KeyboardFocus::step(bool forward) {
  const int count = static_cast<int>(order_.size());
  if (count == 0) return;
  const int at = index();
  int next = 0;
  if (at < 0) {
    next = forward ? 0 : count - 1;
  } else {
    next = (at + (forward ? 1 : count - 1)) % count;
  }
  focused_ = order_[static_cast<std::size_t>(next)];
  ring_shown_ = true;
}

void KeyboardFocus::clicked(Element button) {
  for (const Element e : order_)
    if (e == button) focused_ = button;
  ring_shown_ = false;
}

int KeyboardFocus::index() const {
  for (std::size_t i = 0; i < order_.size(); ++i)
    if (focused_ == order_[i]) return static_cast<int>(i);
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
