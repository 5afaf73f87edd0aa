#pragma once

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <array>

#include "app/layout.h"
#include "tools/paint/button_painter.h"

namespace wavorin::paint {

struct ButtonPlace {
  const char* pressed_file;  // the picture of its pressed face
  QPoint square;             // top-left corner of its 40 x 40 square on the skin
  ButtonSymbol symbol;
};

// Play, Stop, Open, Close, left to right.
inline constexpr std::array<ButtonPlace, 4> kButtons{{
    {"p_ply.png", {layout::kButtons[0].left, layout::kButtonTop}, ButtonSymbol::Play},
    {"p_stp.png", {layout::kButtons[1].left, layout::kButtonTop}, ButtonSymbol::Stop},
    {"p_opn.png", {layout::kButtons[2].left, layout::kButtonTop}, ButtonSymbol::Open},
    {"p_cls.png", {layout::kButtons[3].left, layout::kButtonTop}, ButtonSymbol::Close},
}};

// The button centre for a square whose top-left corner is `square`.
QPointF button_centre(QPoint square);

// The brushed metal plate across the cabinet and its four buttons at rest.
class PlatePainter {
 public:
  void paint(QPainter& painter) const;

 private:
  void paint_plate(QPainter& painter) const;
  void paint_screws(QPainter& painter) const;
};

}  // namespace wavorin::paint
