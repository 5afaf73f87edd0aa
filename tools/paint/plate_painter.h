#pragma once

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <array>

#include "tools/paint/button_painter.h"

namespace wavorin::paint {

struct ButtonPlace {
  const char* pressed_file;  // the picture of its pressed face
  QPoint square;             // top-left corner of its 40 x 40 square on the skin
  ButtonSymbol symbol;
};

// Play, Stop, Open, Close, left to right.
inline constexpr std::array<ButtonPlace, 4> kButtons{{
    {"p_ply.png", {25, 126}, ButtonSymbol::Play},
    {"p_stp.png", {70, 126}, ButtonSymbol::Stop},
    {"p_opn.png", {115, 126}, ButtonSymbol::Open},
    {"p_cls.png", {160, 126}, ButtonSymbol::Close},
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
