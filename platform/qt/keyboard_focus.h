#pragma once

#include <QRect>
#include <optional>

#include "platform/window_description.h"

class QKeyEvent;
class QPainter;

namespace wavorin {

// What a key asks of the window. Buttons are pressed through the same path as
// a click; PlayPause and Pause are resolved by the host, which knows whether a
// sound plays. The keyboard's Play key is its Play/Pause key (XF86AudioPlay
// reaches Qt as Key_MediaPlay), so it toggles too.
enum class KeyCommand {
  None,
  Next,
  Previous,
  PressFocused,
  Play,
  Stop,
  Open,
  Close,
  PlayPause,
  Pause
};

KeyCommand key_command(const QKeyEvent& event);

// The keyboard's place among the four buttons (Play, Stop, Open, Close, in
// that order, wrapping) and whether its ring is shown: only after the
// keyboard has been used, until the next mouse click.
class KeyboardFocus {
 public:
  // The first step goes to Play (forward) or Close (backward).
  void step(bool forward);
  // The button a mouse click went to keeps the place; the ring hides.
  void clicked(Element button);
  void show_ring() { ring_shown_ = focused_.has_value(); }
  void hide_ring() { ring_shown_ = false; }

  std::optional<Element> focused() const { return focused_; }
  bool ring_shown() const { return ring_shown_; }
  // Position of the focused button in the order above, or -1.
  int index() const;

 private:
  std::optional<Element> focused_;
  bool ring_shown_ = false;
};

// A soft warm glow around a round button's rim; `button` is the button's
// square. Drawn antialiased in logical pixels, so it scales with the window.
void paint_focus_ring(QPainter& painter, const QRect& button);
// The area the glow touches, for repainting.
QRect focus_ring_area(const QRect& button);

}  // namespace wavorin
