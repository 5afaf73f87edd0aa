#include "tools/paint/button_painter.h"

#include <QConicalGradient>
#include <QRadialGradient>
#include <QTransform>

#include "tools/paint/chrome.h"
#include "tools/paint/skin_geometry.h"

namespace wavorin::paint {
namespace {

using geometry::kButtonFaceRadius;
using geometry::kButtonRingRadius;

const QColor kRoyalBlue{40, 70, 200};
const QColor kGlow{60, 255, 200};

}  // namespace

ButtonPainter::ButtonPainter(QPointF centre, ButtonSymbol symbol)
    : centre_(centre), symbol_(symbol) {}

QPainterPath ButtonPainter::face_circle(double extra) const {
  QPainterPath path;
  path.addEllipse(centre_, kButtonFaceRadius + extra, kButtonFaceRadius + extra);
  return path;
}

QPainterPath ButtonPainter::symbol_path() const {
  const double x = centre_.x();
  const double y = centre_.y();
  QPainterPath path;
  switch (symbol_) {
    case ButtonSymbol::Play:
      // Nudged right of centre: a triangle's weight sits toward its base.
      path.moveTo(x - 4.5, y - 7.5);
      path.lineTo(x + 7.5, y);
      path.lineTo(x - 4.5, y + 7.5);
      path.closeSubpath();
      break;
    case ButtonSymbol::Stop:
      path.addRoundedRect(QRectF(x - 6.0, y - 6.0, 12.0, 12.0), 1.2, 1.2);
      break;
    case ButtonSymbol::Open:
      path.moveTo(x - 8.0, y - 6.0);
      path.lineTo(x - 3.0, y - 6.0);
      path.lineTo(x - 1.5, y - 4.0);
      path.lineTo(x + 6.5, y - 4.0);
      path.lineTo(x + 6.5, y + 6.5);
      path.lineTo(x - 8.0, y + 6.5);
      path.closeSubpath();
      break;
    case ButtonSymbol::Close: {
      QPainterPath bar;
      bar.addRoundedRect(QRectF(-8.5, -2.1, 17.0, 4.2), 1.2, 1.2);
      path = QTransform().translate(x, y).rotate(45).map(bar).united(
          QTransform().translate(x, y).rotate(-45).map(bar));
      break;
    }
  }
  return path;
}

QPainterPath ButtonPainter::folder_flap() const {
  const double x = centre_.x();
  const double y = centre_.y();
  QPainterPath path;
  path.moveTo(x - 5.5, y - 1.5);
  path.lineTo(x + 9.0, y - 1.5);
  path.lineTo(x + 6.5, y + 6.5);
  path.lineTo(x - 8.0, y + 6.5);
  path.closeSubpath();
  return path;
}

void ButtonPainter::paint_brushed_metal(QPainter& painter, double brightness) const {
  const QPointF lit = centre_ - QPointF(5.0, 6.0);
  QRadialGradient disc(centre_, kButtonFaceRadius + 0.6, lit);
  disc.setColorAt(0.0, chrome::scaled(QColor(248, 248, 246), brightness));
  disc.setColorAt(0.45, chrome::scaled(QColor(200, 205, 214), brightness));
  disc.setColorAt(1.0, chrome::scaled(QColor(132, 138, 152), brightness));
  painter.setPen(Qt::NoPen);
  painter.setBrush(disc);
  painter.drawPath(face_circle(0.6));

  // Spun metal: fine concentric rings and the cross-shaped sheen they make.
  painter.setBrush(Qt::NoBrush);
  for (double r = 2.0; r < kButtonFaceRadius; r += 1.3) {
    const bool light = static_cast<int>(r * 10) % 2 == 0;
    painter.setPen(QPen(light ? QColor(255, 255, 255, 22) : QColor(0, 0, 0, 14), 0.6));
    painter.drawEllipse(centre_, r, r);
  }
  QConicalGradient sheen(centre_, 0.0);
  for (const double at : {0.125, 0.625}) {
    sheen.setColorAt(at - 0.09, QColor(255, 255, 255, 0));
    sheen.setColorAt(at, QColor(255, 255, 255, 70));
    sheen.setColorAt(at + 0.09, QColor(255, 255, 255, 0));
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(sheen);
  painter.drawPath(face_circle(0.6));
}

void ButtonPainter::paint_resting(QPainter& painter) const {
  painter.save();
  // The socket cut into the plate; its lower right wall catches the lamp.
  QLinearGradient socket(centre_ - QPointF(14, 14), centre_ + QPointF(14, 14));
  socket.setColorAt(0.0, QColor(52, 56, 64));
  socket.setColorAt(1.0, QColor(150, 156, 168));
  painter.setPen(Qt::NoPen);
  painter.setBrush(socket);
  painter.drawEllipse(centre_, kButtonRingRadius + 0.8, kButtonRingRadius + 0.8);

  // The bezel ring: raised, darker than the face.
  QLinearGradient ring(centre_ - QPointF(13, 13), centre_ + QPointF(13, 13));
  ring.setColorAt(0.0, QColor(206, 210, 218));
  ring.setColorAt(0.45, QColor(120, 126, 140));
  ring.setColorAt(1.0, QColor(62, 68, 80));
  painter.setBrush(ring);
  painter.setPen(QPen(chrome::kEdgeLine, 0.9));
  painter.drawEllipse(centre_, kButtonRingRadius - 0.2, kButtonRingRadius - 0.2);

  // The raised face throws a small shadow down-right onto the ring.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(20, 22, 28, 110));
  painter.drawPath(face_circle(0.4).translated(1.2, 1.4));
  paint_brushed_metal(painter, 1.0);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(60, 64, 76), 0.8));
  painter.drawPath(face_circle(0.2));

  const QPainterPath symbol = symbol_path();
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(10, 20, 60, 90));
  painter.drawPath(symbol.translated(0.9, 1.0));
  QLinearGradient blue(centre_ - QPointF(0, 8), centre_ + QPointF(0, 8));
  blue.setColorAt(0.0, QColor(78, 110, 236));
  blue.setColorAt(0.5, kRoyalBlue);
  blue.setColorAt(1.0, QColor(28, 50, 160));
  painter.setBrush(blue);
  painter.setPen(QPen(QColor(22, 36, 120), 0.7));
  painter.drawPath(symbol);
  if (symbol_ == ButtonSymbol::Open) {
    painter.setBrush(QColor(92, 128, 240));
    painter.drawPath(folder_flap());
  }
  painter.restore();
}

void ButtonPainter::paint_pressed_face(QPainter& painter) const {
  painter.save();
  painter.setClipPath(face_circle(0.6));
  paint_brushed_metal(painter, 0.8);

  // Pushed below the bezel: the ring's lip shades the upper left of the face.
  painter.setPen(Qt::NoPen);
  for (int layer = 0; layer < 4; ++layer) {
    const double shift = 1.0 + layer * 1.1;
    QPainterPath shade = face_circle(1.0).subtracted(face_circle(-0.5).translated(shift, shift));
    painter.setBrush(QColor(16, 18, 26, 70));
    painter.drawPath(shade);
  }
  QRadialGradient rim(centre_, kButtonFaceRadius + 0.6);
  rim.setColorAt(0.0, QColor(0, 0, 0, 0));
  rim.setColorAt(0.7, QColor(0, 0, 0, 0));
  rim.setColorAt(1.0, QColor(10, 12, 18, 120));
  painter.setBrush(rim);
  painter.drawPath(face_circle(0.6));

  // The lit symbol and its halo.
  const QPainterPath symbol = symbol_path();
  painter.setBrush(Qt::NoBrush);
  for (const auto& [width, alpha] : {std::pair{7.0, 26}, {5.0, 40}, {3.4, 60}, {2.0, 90}}) {
    painter.setPen(
        QPen(chrome::with_alpha(kGlow, alpha), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(symbol);
  }
  painter.setPen(QPen(QColor(40, 200, 160), 0.7));
  painter.setBrush(kGlow);
  painter.drawPath(symbol);
  if (symbol_ == ButtonSymbol::Open) {
    painter.setBrush(QColor(170, 255, 230));
    painter.drawPath(folder_flap());
  }
  QRadialGradient hot(centre_ - QPointF(1.5, 2.0), 6.0);
  hot.setColorAt(0.0, QColor(230, 255, 245, 150));
  hot.setColorAt(1.0, QColor(230, 255, 245, 0));
  painter.setPen(Qt::NoPen);
  painter.setBrush(hot);
  painter.drawPath(symbol);
  painter.restore();
}

}  // namespace wavorin::paint
