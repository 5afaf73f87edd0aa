#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>

namespace wavorin::paint {

// What changes in the dome from one animation frame to the next.
struct DomeLook {
  QColor light;   // the lamp colour behind the glass
  int phase = 0;  // animation step: turns the spiral and moves the balls
};

// The arched dome: lit glass with a spiral tube and floating balls, inside a
// thick chrome arch closed at the top by a red-banded clasp.
class DomePainter {
 public:
  explicit DomePainter(DomeLook look);

  void paint(QImage& image) const;

 private:
  void paint_glass(QPainter& painter) const;
  void paint_spiral(QPainter& painter) const;
  void paint_balls(QPainter& painter) const;
  void paint_glass_sheen(QPainter& painter) const;
  void paint_arch(QImage& image) const;
  void paint_clasp(QPainter& painter) const;

  DomeLook look_;
};

}  // namespace wavorin::paint
