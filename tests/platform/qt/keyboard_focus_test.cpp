#include "platform/qt/window/keyboard_focus.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <optional>

#include "app/layout.h"
#include "platform/qt/desktop/mpris_service.h"

namespace wavorin {
namespace {

// The program's own buttons.
const std::vector<PushButtonDescription> kButtons = layout::form1_description().buttons;

KeyCommand command(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  const QKeyEvent event(QEvent::KeyPress, key, mods);
  return key_action(event, kButtons).command;
}

std::optional<Element> pressed(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  const QKeyEvent event(QEvent::KeyPress, key, mods);
  const KeyAction action = key_action(event, kButtons);
  if (action.command != KeyCommand::PressButton) return std::nullopt;
  return action.button;
}

TEST(KeyboardFocus, TabWalksTheFourButtonsInOrderAndWrapsBothWays) {
  KeyboardFocus focus(kButtons);
  EXPECT_FALSE(focus.ring_shown());
  focus.step(false);
  EXPECT_EQ(focus.focused(), Element::b_cls);  // Shift+Tab first: the last button
  focus.step(true);
  EXPECT_EQ(focus.focused(), Element::b_ply);  // and on round to the first
  for (const Element next : {Element::b_stp, Element::b_opn, Element::b_cls, Element::b_ply}) {
    focus.step(true);
    EXPECT_EQ(focus.focused(), next);
  }
  EXPECT_TRUE(focus.ring_shown());
  focus.clicked(Element::b_opn);  // a click moves the place there and hides the ring
  EXPECT_FALSE(focus.ring_shown());
  focus.step(false);
  EXPECT_EQ(focus.focused(), Element::b_stp);
  focus.clicked(Element::ani_p);  // not a button: the place stays
  EXPECT_EQ(focus.focused(), Element::b_stp);
}

TEST(KeyboardFocus, ShortcutsNeedTheirExactModifiers) {
  EXPECT_EQ(pressed(Qt::Key_P), Element::b_ply);
  EXPECT_EQ(pressed(Qt::Key_S), Element::b_stp);
  EXPECT_EQ(pressed(Qt::Key_O), Element::b_opn);
  EXPECT_EQ(pressed(Qt::Key_O, Qt::ControlModifier), Element::b_opn);
  EXPECT_EQ(pressed(Qt::Key_Q, Qt::ControlModifier), Element::b_cls);
  EXPECT_EQ(command(Qt::Key_Q), KeyCommand::None);  // only Ctrl+Q closes
  EXPECT_EQ(command(Qt::Key_P, Qt::ControlModifier), KeyCommand::None);
  EXPECT_EQ(command(Qt::Key_S, Qt::AltModifier), KeyCommand::None);
  EXPECT_EQ(command(Qt::Key_F4, Qt::AltModifier), KeyCommand::None);  // the window manager's
  EXPECT_EQ(command(Qt::Key_Tab), KeyCommand::Next);
  EXPECT_EQ(command(Qt::Key_Backtab, Qt::ShiftModifier), KeyCommand::Previous);
  EXPECT_EQ(command(Qt::Key_Tab, Qt::ShiftModifier), KeyCommand::Previous);
  EXPECT_EQ(command(Qt::Key_Space), KeyCommand::PressFocused);
  EXPECT_EQ(command(Qt::Key_Enter, Qt::KeypadModifier), KeyCommand::PressFocused);
  EXPECT_EQ(command(Qt::Key_MediaTogglePlayPause), KeyCommand::PlayPause);
  // XF86AudioPlay, the Play/Pause key of most keyboards, reaches Qt as MediaPlay.
  EXPECT_EQ(command(Qt::Key_MediaPlay), KeyCommand::PlayPause);
  EXPECT_EQ(command(Qt::Key_MediaPause), KeyCommand::Pause);
  EXPECT_EQ(pressed(Qt::Key_MediaStop), Element::b_stp);
  // The shortcut a screen reader announces presses its own button.
  for (const PushButtonDescription& button : kButtons) {
    const QKeyCombination shortcut = key_combination(button.keys[0]);
    EXPECT_EQ(pressed(shortcut.key(), shortcut.keyboardModifiers()), button.element)
        << layout::element_name(button.element);
  }
}

// Media-control calls that come while one waits to run are merged: Play into
// one press, PlayPause by its number, an odd number toggling once and an even
// number not at all.
TEST(MediaControls, CallsThatPileUpMergeAndPlayPauseCountsByItsNumber) {
  int plays = 0;
  int toggles = 0;
  MediaActions actions;
  actions.play = [&plays] { ++plays; };
  actions.play_pause = [&toggles] { ++toggles; };
  MprisService service(actions, {});
  for (int calls = 1; calls <= 4; ++calls) {
    plays = toggles = 0;
    for (int call = 0; call < calls; ++call) {
      service.request(MediaPress::PlayPause);
      service.request(MediaPress::Play);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(toggles, calls % 2) << calls << " calls";
    EXPECT_EQ(plays, 1) << calls << " calls";
  }
}

}  // namespace
}  // namespace wavorin
