#pragma once

#include <QKeyCombination>
#include <QRect>
#include <optional>
#include <vector>

#include "platform/window_description.h"

class QKeyEvent;
class QPainter;

namespace wavorin {

// What a key asks of the window. PressButton presses a push button through
// the same path as a click; PlayPause and Pause are resolved by the host,
// which knows whether a sound plays. The keyboard's Play key is its
// Play/Pause key (XF86AudioPlay reaches Qt as Key_MediaPlay), so it toggles
// too; its Stop key presses the button that stops the sound.
enum class KeyCommand { None, Next, Previous, PressFocused, PressButton, PlayPause, Pause };

struct KeyAction {
  KeyCommand command = KeyCommand::None;
  Element button = Element::Form1;  // PressButton: the button pressed
};

// The key of a push button as Qt spells it.
QKeyCombination key_combination(const ButtonKey& key);

KeyAction key_action(const QKeyEvent& event, const std::vector<PushButtonDescription>& buttons);

// The keyboard's place among the push buttons (in their tab order, wrapping)
// and whether its ring is shown: only after the keyboard has been used, until
// the next mouse click.
class KeyboardFocus {
 public:
  explicit KeyboardFocus(const std::vector<PushButtonDescription>& buttons);

  // The first step goes to the first button (forward) or the last (backward).
  void step(bool forward);
  // The button a mouse click went to keeps the place; the ring hides.
  void clicked(Element button);
  void show_ring() { ring_shown_ = focused_.has_value(); }
  void hide_ring() { ring_shown_ = false; }

  std::optional<Element> focused() const { return focused_; }
  bool ring_shown() const { return ring_shown_; }
  // Position of the focused button in the tab order, or -1.
  int index() const;

 private:
  std::vector<Element> order_;
  std::optional<Element> focused_;
  bool ring_shown_ = false;
};

// A soft warm glow around a round button's rim; `button` is the button's
// square. Drawn antialiased in logical pixels, so it scales with the window.
void paint_focus_ring(QPainter& painter, const QRect& button);
// The area the glow touches, for repainting.
QRect focus_ring_area(const QRect& button);

}  // namespace wavorin
