#include "tests/platform/qt/test_window.h"

#include <QImage>

#include "app/layout.h"

namespace wavorin::test {

namespace {

QString write_picture(const QString& dir, const QString& name, const QImage& picture) {
  QString path = dir + QLatin1Char('/') + name;
  picture.save(path);
  return path;
}

QImage solid(int width, int height, const QColor& colour) {
  QImage picture(width, height, QImage::Format_RGB32);
  picture.fill(colour);
  return picture;
}

ControlDescription image(Element element, const char* name, const QRect& px, float tpp,
                         bool visible, const QString& picture, const char* tool_tip = "") {
  return {element,
          name,
          ControlKind::Image,
          {static_cast<float>(px.left()) * tpp, static_cast<float>(px.top()) * tpp,
           static_cast<float>(px.width()) * tpp, static_cast<float>(px.height()) * tpp},
          visible,
          picture.toStdString(),
          tool_tip};
}

}  // namespace

QColor strip_colour(int frame) { return {frame * 20, 255 - frame * 20, 7}; }

QRect button_rect(Element button) {
  switch (button) {
    case Element::b_ply:
    case Element::p_ply:
      return {20, 250, 40, 30};
    case Element::b_stp:
    case Element::p_stp:
      return {70, 250, 40, 30};
    case Element::b_opn:
    case Element::p_opn:
      return {120, 250, 40, 30};
    case Element::b_cls:
    case Element::p_cls:
      return {170, 250, 40, 30};
    default:
      return {};
  }
}

WindowDescription make_description(const QString& picture_dir, float twips_per_pixel,
                                   int timer_interval_ms) {
  const QString skin = write_picture(picture_dir, "skin.png", solid(225, 332, kSkinColour));
  QImage strip(225, 960, QImage::Format_RGB32);
  for (int frame = 0; frame < 8; ++frame) {
    for (int y = 0; y < 120; ++y) {
      for (int x = 0; x < 225; ++x) strip.setPixelColor(x, frame * 120 + y, strip_colour(frame));
    }
  }
  const QString strip_path = write_picture(picture_dir, "ani_strip.png", strip);
  const QString button = write_picture(picture_dir, "button.png", solid(40, 30, kButtonColour));
  const QString pressed = write_picture(picture_dir, "pressed.png", solid(40, 30, kPressedColour));
  const float tpp = twips_per_pixel;

  WindowDescription d;
  d.title = "Wave Jukebox";
  d.stored_inside_width_px = 470;
  d.stored_inside_height_px = 356;
  d.background = skin.toStdString();
  ControlDescription timer{Element::Timer1, "Timer1", ControlKind::Timer, {}, false, "", ""};
  timer.interval_ms = timer_interval_ms;
  d.controls = {
      timer,
      {Element::ani_p,
       "ani_p",
       ControlKind::PictureBox,
       {0, 0, 225 * tpp, 120 * tpp},
       false,
       strip_path.toStdString(),
       ""},
      {Element::CommonDialog1, "CommonDialog1", ControlKind::FileDialog, {}, false, "", ""},
      image(Element::p_cls, "p_cls", button_rect(Element::p_cls), tpp, false, pressed),
      image(Element::p_opn, "p_opn", button_rect(Element::p_opn), tpp, false, pressed),
      image(Element::p_stp, "p_stp", button_rect(Element::p_stp), tpp, false, pressed),
      image(Element::p_ply, "p_ply", button_rect(Element::p_ply), tpp, false, pressed),
      image(Element::b_cls, "b_cls", button_rect(Element::b_cls), tpp, true, button),
      image(Element::b_opn, "b_opn", button_rect(Element::b_opn), tpp, true, button),
      image(Element::b_stp, "b_stp", button_rect(Element::b_stp), tpp, true, button),
      image(Element::b_ply, "b_ply", button_rect(Element::b_ply), tpp, true, button, "再生"),
  };
  d.buttons = layout::form1_description().buttons;
  d.dialog = {"Open wave", "(WAVEファイル) *.wav|*.wav", "*.wav", "wav", ""};
  return d;
}

void RecordingEvents::Form_Load() {
  calls.emplace_back("Form_Load");
  if (on_load) on_load();
}

void RecordingEvents::Form_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y) {
  calls.emplace_back("Form_MouseMove");
  moves.push_back({Button, Shift, X, Y});
  if (on_move) on_move(moves.back());
}

void RecordingEvents::b_ply_Click() {
  calls.emplace_back("b_ply_Click");
  if (on_click) on_click();
}

void RecordingEvents::b_stp_Click() {
  calls.emplace_back("b_stp_Click");
  if (on_click) on_click();
}

void RecordingEvents::b_opn_Click() {
  calls.emplace_back("b_opn_Click");
  if (on_click) on_click();
}

void RecordingEvents::b_cls_Click() {
  calls.emplace_back("b_cls_Click");
  if (on_click) on_click();
}

void RecordingEvents::Timer1_Timer() {
  calls.emplace_back("Timer1_Timer");
  ++ticks;
  if (on_tick) on_tick();
}

void RecordingEvents::play_file(const std::string& path) { calls.push_back("play_file " + path); }

}  // namespace wavorin::test
