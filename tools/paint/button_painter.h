#pragma once

#include <QPainter>
#include <QPainterPath>
#include <QPointF>

namespace wavorin::paint {

enum class ButtonSymbol { Play, Stop, Open, Close };

// One round push-button of the plate: a brushed silver face in a darker
// bezel ring, with its symbol.
class ButtonPainter {
 public:
  ButtonPainter(QPointF centre, ButtonSymbol symbol);

  // The button at rest: raised face, royal-blue symbol.
  void paint_resting(QPainter& painter) const;
  // The face pushed in, its symbol glowing. Touches nothing outside the
  // face's circle, so the bezel and plate around it are left as they were.
  void paint_pressed_face(QPainter& painter) const;

 private:
  QPainterPath face_circle(double extra) const;
  QPainterPath symbol_path() const;
  // The folder's front flap, drawn lighter so the symbol reads as a folder.
  QPainterPath folder_flap() const;
  void paint_brushed_metal(QPainter& painter, double brightness) const;

  QPointF centre_;
  ButtonSymbol symbol_;
};

}  // namespace wavorin::paint
