#pragma once

#include <array>

#include "platform/window_description.h"

namespace wavorin::layout {

// Pixels of the window's inside.
constexpr int kInsideWidth = 225;
constexpr int kInsideHeight = 332;
constexpr int kButtonTop = 126;
constexpr int kButtonSize = 40;

// The cabinet's outline: a disc on top of the body, and two feet. Boxes are
// pixels of the inside whose right and bottom edges are excluded; the disc is
// the ellipse inscribed in its box.
struct PixelBox {
  int left;
  int top;
  int right;
  int bottom;
};
constexpr PixelBox kOutlineDisc{0, 0, 226, 226};
constexpr PixelBox kOutlineBody{0, 113, 226, 327};
constexpr PixelBox kOutlineLeftFoot{0, 327, 25, 332};
constexpr PixelBox kOutlineRightFoot{201, 327, 226, 332};
// The region the parts are combined into; its own shape is replaced.
constexpr PixelBox kOutlineStart{0, 0, 226, 330};

struct ButtonPair {
  Element button;   // takes the click, carries the tool tip
  Element pressed;  // the pushed-in face, hidden except while the button reacts
  int left;
  // What a screen reader calls the button (the Japanese translations are the
  // tool tips' words), its keys, and the handler its press raises.
  const char* accessible_name;
  std::array<ButtonKey, 2> keys;
  SoundRole sound_role;
  void (FormEvents::*click)();
};
// Play, Stop, Open, Close, left to right, which is also the keyboard's order.
// The Play and Stop keys work alone; Open and Close also with Ctrl.
// clang-format off
constexpr std::array<ButtonPair, 4> kButtons{{
    {Element::b_ply, Element::p_ply, 25, WAVORIN_TRANSLATABLE("wavorin::AccessibleButton", "Play"),
     {{{'P', false}}}, SoundRole::Starts, &FormEvents::b_ply_Click},
    {Element::b_stp, Element::p_stp, 70, WAVORIN_TRANSLATABLE("wavorin::AccessibleButton", "Stop"),
     {{{'S', false}}}, SoundRole::Stops, &FormEvents::b_stp_Click},
    {Element::b_opn, Element::p_opn, 115,
     WAVORIN_TRANSLATABLE("wavorin::AccessibleButton", "Open file"),
     {{{'O', true}, {'O', false}}}, SoundRole::None, &FormEvents::b_opn_Click},
    {Element::b_cls, Element::p_cls, 160,
     WAVORIN_TRANSLATABLE("wavorin::AccessibleButton", "Close"),
     {{{'Q', true}}}, SoundRole::None, &FormEvents::b_cls_Click},
}};
// clang-format on

// Where a button's centre lies, in pixels of the inside, once the window has
// placed it: where a script or a bench presses it.
struct PixelPoint {
  int x;
  int y;
};
constexpr PixelPoint button_centre(Element button) {
  for (const ButtonPair& pair : kButtons)
    if (pair.button == button) return {pair.left + kButtonSize / 2, kButtonTop + kButtonSize / 2};
  return {-1, -1};
}

// The animation strip: eight frames of 225 x 120, one under another, drawn
// over the top of the window.
constexpr int kFrameWidth = 225;
constexpr int kFrameHeight = 120;
constexpr int kFrameCount = 8;
constexpr int kStripHeight = kFrameHeight * kFrameCount;

// Texts of the system, used as they stand.
inline constexpr const char* kSettingsApp = "Wavorin";
inline constexpr const char* kSettingsSection = "Option";
inline constexpr const char* kKeyWindowX = "MAIN WINDOW X";
inline constexpr const char* kKeyWindowY = "MAIN WINDOW Y";
inline constexpr const char* kKeyPath = "Path";
inline constexpr const char* kClickSound = "/click.wav";
inline constexpr const char* kProbeSound = "/dummy.wav";
inline constexpr const char* kSampleSound = "/sample1.wav";

// The window, its eleven controls in stored order, and the dialog's settings.
WindowDescription form1_description();

const char* element_name(Element element);

}  // namespace wavorin::layout
