#pragma once

#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace wavorin::paint {

// The wooden cabinet below the plate: grained walnut, the speaker grille
// inside its U-shaped chrome tube, and the emblem on the grille.
class CabinetPainter {
 public:
  void paint(QImage& image) const;

 private:
  void paint_wood(QPainter& painter) const;
  void paint_grain(QPainter& painter) const;
  void paint_figure(QPainter& painter, double centre_x) const;
  void paint_grille(QPainter& painter) const;
  void paint_u_tube(QImage& image) const;
  void paint_emblem(QPainter& painter) const;
};

}  // namespace wavorin::paint
