#include "platform/qt/keyboard_focus.h"

#include <gtest/gtest.h>

#include <QKeyEvent>

namespace wavorin {
namespace {

KeyCommand command(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  const QKeyEvent event(QEvent::KeyPress, key, mods);
  return key_command(event);
}

TEST(KeyboardFocus, TabWalksTheFourButtonsInOrderAndWrapsBothWays) {
  KeyboardFocus focus;
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
  EXPECT_EQ(command(Qt::Key_P), KeyCommand::Play);
  EXPECT_EQ(command(Qt::Key_S), KeyCommand::Stop);
  EXPECT_EQ(command(Qt::Key_O), KeyCommand::Open);
  EXPECT_EQ(command(Qt::Key_O, Qt::ControlModifier), KeyCommand::Open);
  EXPECT_EQ(command(Qt::Key_Q, Qt::ControlModifier), KeyCommand::Close);
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
  EXPECT_EQ(command(Qt::Key_MediaStop), KeyCommand::Stop);
}

}  // namespace
}  // namespace wavorin
