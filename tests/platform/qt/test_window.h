#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "platform/form_events.h"
#include "platform/window_description.h"

namespace wavorin::test {

// Colours of the generated pictures, so a pixel tells which picture it shows.
inline const QColor kSkinColour{0x20, 0x60, 0xA0};
inline const QColor kButtonColour{0xE0, 0x30, 0x30};
inline const QColor kPressedColour{0x30, 0xE0, 0x30};
// Frame n of the animation strip is 225 x 120 of colour (n*20, 255-n*20, 7).
QColor strip_colour(int frame);

// Pixel rectangles of the four buttons; the pressed pictures lie under them.
QRect button_rect(Element button);

// A window like the program's: a 225 x 332 skin in a 470 x 356 inside, the
// 225 x 960 animation strip, four button Images (b_ply with tool tip "再生")
// that are the program's push buttons, and their hidden pressed pictures. Pictures are written as
// PNG files into `picture_dir`; rectangles are twips for `twips_per_pixel`.
WindowDescription make_description(const QString& picture_dir, float twips_per_pixel,
                                   int timer_interval_ms = 100);

// Records every handler call; optional hooks act inside the handler.
class RecordingEvents : public FormEvents {
 public:
  struct Move {
    int button;
    int shift;
    float x;
    float y;
  };

  void Form_Load() override;
  void Form_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y) override;
  void b_ply_Click() override;
  void b_stp_Click() override;
  void b_opn_Click() override;
  void b_cls_Click() override;
  void Timer1_Timer() override;
  void play_file(const std::string& path) override;

  std::vector<std::string> calls;
  std::vector<Move> moves;
  int ticks = 0;
  std::function<void()> on_load;
  std::function<void(const Move&)> on_move;
  std::function<void()> on_click;
  std::function<void()> on_tick;
};

}  // namespace wavorin::test
