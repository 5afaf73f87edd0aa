#include "app/layout.h"

namespace wavorin::layout {

WindowDescription form1_description() {
  // Stored rectangles are twips, drawn at 15 twips per pixel; start-up moves
  // every control to its place before the window is shown.
  WindowDescription d;
  d.title = "Form1";
  d.stored_inside_width_px = 470;
  d.stored_inside_height_px = 356;
  d.background = ":/assets/skin.png";
  // One control a line, in stored order.
  // clang-format off
  d.controls = {
      {Element::Timer1, "Timer1", ControlKind::Timer, {}, false, "", "", 100, false},
      {Element::ani_p, "ani_p", ControlKind::PictureBox, {2880, 0, 3375, 14400}, false,
       ":/assets/ani_strip.png", ""},
      {Element::CommonDialog1, "CommonDialog1", ControlKind::FileDialog, {}, false, "", ""},
      {Element::p_cls, "p_cls", ControlKind::Image, {1800, 4560, 600, 600}, false,
       ":/assets/p_cls.png", ""},
      {Element::p_opn, "p_opn", ControlKind::Image, {1200, 4560, 600, 600}, false,
       ":/assets/p_opn.png", ""},
      {Element::p_stp, "p_stp", ControlKind::Image, {600, 4560, 600, 600}, false,
       ":/assets/p_stp.png", ""},
      {Element::p_ply, "p_ply", ControlKind::Image, {0, 4560, 600, 600}, false,
       ":/assets/p_ply.png", ""},
      {Element::b_cls, "b_cls", ControlKind::Image, {1800, 3960, 492, 492}, true, "", "終了"},
      {Element::b_opn, "b_opn", ControlKind::Image, {1200, 3960, 492, 492}, true, "",
       "ファイルを開く"},
      {Element::b_stp, "b_stp", ControlKind::Image, {600, 3960, 492, 492}, true, "", "停止"},
      {Element::b_ply, "b_ply", ControlKind::Image, {0, 3960, 492, 492}, true, "", "再生"},
  };
  // clang-format on
  for (const ButtonPair& b : kButtons)
    d.buttons.push_back({b.button, b.accessible_name, b.keys, b.sound_role, b.click});
  d.dialog = {"Open wave", "(WAVEファイル) *.wav|*.wav", "*.wav", "wav", ""};
  return d;
}

const char* element_name(Element element) {
  // clang-format off
  switch (element) {
    case Element::Form1: return "Form1";
    case Element::Timer1: return "Timer1";
    case Element::ani_p: return "ani_p";
    case Element::CommonDialog1: return "CommonDialog1";
    case Element::p_cls: return "p_cls";
    case Element::p_opn: return "p_opn";
    case Element::p_stp: return "p_stp";
    case Element::p_ply: return "p_ply";
    case Element::b_cls: return "b_cls";
    case Element::b_opn: return "b_opn";
    case Element::b_stp: return "b_stp";
    case Element::b_ply: return "b_ply";
  }
  // clang-format on
  return "?";
}

}  // namespace wavorin::layout
