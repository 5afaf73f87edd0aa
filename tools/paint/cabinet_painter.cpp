#include "tools/paint/cabinet_painter.h"

#include <QRadialGradient>
#include <cmath>
#include <numbers>

#include "tools/paint/chrome.h"
#include "tools/paint/seeded_random.h"
#include "tools/paint/skin_geometry.h"
#include "tools/paint/tube_shader.h"

namespace wavorin::paint {
namespace {

using namespace geometry;

constexpr std::uint32_t kGrainSeed = 1955;
constexpr double kPi = std::numbers::pi;
// The wood runs from under the plate's lower edge to under the base bar.
constexpr double kWoodTop = kPlateBottom - 4.0;
constexpr double kWoodBottom = kBaseTop + 2.0;
// The U tube's centre line: two legs joined by rounded corners at the bottom.
constexpr double kULeftX = 55.5;
constexpr double kURightX = 169.5;
constexpr double kUBendY = 250.0;
constexpr double kUCorner = 44.0;
constexpr double kUHalfWidth = 6.0;
constexpr double kUBottomY = kUBendY + kUCorner;

QPainterPath u_centre_line() {
  QPainterPath path;
  path.moveTo(kULeftX, kWoodTop);
  path.lineTo(kULeftX, kUBendY);
  path.arcTo(QRectF(kULeftX, kUBendY - kUCorner, 2 * kUCorner, 2 * kUCorner), 180.0, 90.0);
  path.lineTo(kURightX - kUCorner, kUBottomY);
  path.arcTo(QRectF(kURightX - 2 * kUCorner, kUBendY - kUCorner, 2 * kUCorner, 2 * kUCorner), 270.0,
             90.0);
  path.lineTo(kURightX, kWoodTop);
  return path;
}

TubePoint corner_point(double x, double y, double cx) {
  const double dx = x - cx;
  const double dy = y - kUBendY;
  const double d = std::hypot(dx, dy);
  return {d - kUCorner, dx / d, dy / d};
}

}  // namespace

void CabinetPainter::paint(QImage& image) const {
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paint_wood(painter);
    paint_grain(painter);
    paint_figure(painter, 37.5);
    paint_figure(painter, 187.5);
    paint_grille(painter);
  }
  paint_u_tube(image);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  paint_emblem(painter);
}

void CabinetPainter::paint_wood(QPainter& painter) const {
  const QRectF wood(-1.0, kWoodTop, kSkinWidth + 2.0, kWoodBottom - kWoodTop);
  QLinearGradient base(wood.topLeft(), wood.bottomLeft());
  base.setColorAt(0.0, QColor(164, 94, 48));
  base.setColorAt(0.5, QColor(142, 76, 38));
  base.setColorAt(1.0, QColor(112, 56, 26));
  painter.setPen(Qt::NoPen);
  painter.setBrush(base);
  painter.drawRect(wood);
  QLinearGradient side(wood.topLeft(), wood.topRight());
  side.setColorAt(0.0, QColor(255, 220, 170, 40));
  side.setColorAt(0.45, QColor(255, 220, 170, 0));
  side.setColorAt(1.0, QColor(30, 10, 0, 60));
  painter.setBrush(side);
  painter.drawRect(wood);
}

void CabinetPainter::paint_grain(QPainter& painter) const {
  SeededRandom random(kGrainSeed);
  painter.setBrush(Qt::NoBrush);
  // Broad streaks of lighter and darker wood first, then the fine grain.
  for (int i = 0; i < 110; ++i) {
    const bool broad = i < 16;
    const double x0 = random.uniform(-4.0, kSkinWidth + 4.0);
    const double amplitude = random.uniform(0.4, 2.4);
    const double frequency = random.uniform(0.02, 0.07);
    const double phase = random.uniform(0.0, 2.0 * kPi);
    const double width = broad ? random.uniform(3.0, 8.0) : random.uniform(0.4, 1.5);
    const bool light = random.uniform(0.0, 1.0) < (broad ? 0.5 : 0.2);
    const double strength = random.uniform(0.0, 1.0);
    const int alpha = static_cast<int>(broad ? 16 + 26 * strength
                                             : (light ? 30 + 40 * strength : 60 + 100 * strength));
    QPainterPath line;
    for (double y = kWoodTop; y <= kWoodBottom + 3.0; y += 3.0) {
      const double x = x0 + amplitude * std::sin(frequency * y + phase) +
                       1.5 * std::sin(0.011 * y + phase * 1.7);
      if (y == kWoodTop) {
        line.moveTo(x, y);
      } else {
        line.lineTo(x, y);
      }
    }
    painter.setPen(QPen(light ? QColor(200, 130, 72, alpha) : QColor(78, 38, 16, alpha), width));
    painter.drawPath(line);
  }
}

void CabinetPainter::paint_figure(QPainter& painter, double centre_x) const {
  // Cathedral figure: nested arches where the veneer was cut across the grain.
  SeededRandom random(kGrainSeed + static_cast<std::uint32_t>(centre_x));
  painter.setBrush(Qt::NoBrush);
  for (int k = 0; k < 7; ++k) {
    const double top = 196.0 + 9.0 * k + random.uniform(-2.0, 2.0);
    const double half = 2.5 + 1.9 * k;
    const double drop = 70.0 - 3.0 * k;
    const double lean = random.uniform(-1.0, 1.0);
    QPainterPath arch;
    arch.moveTo(centre_x - half + lean, top + drop);
    arch.cubicTo(centre_x - half, top + 8.0, centre_x - half * 0.4, top, centre_x + lean, top);
    arch.cubicTo(centre_x + half * 0.4, top, centre_x + half, top + 8.0, centre_x + half + lean,
                 top + drop);
    painter.setPen(QPen(QColor(78, 38, 16, static_cast<int>(random.uniform(90.0, 150.0))),
                        random.uniform(0.7, 1.3)));
    painter.drawPath(arch);
  }
  // Varnish catching the lamp along the panel.
  QLinearGradient gloss(QPointF(centre_x - 14.0, 0), QPointF(centre_x + 4.0, 0));
  gloss.setColorAt(0.0, QColor(255, 236, 200, 0));
  gloss.setColorAt(0.5, QColor(255, 236, 200, 46));
  gloss.setColorAt(1.0, QColor(255, 236, 200, 0));
  painter.setPen(Qt::NoPen);
  painter.setBrush(gloss);
  painter.drawRect(QRectF(centre_x - 14.0, kWoodTop, 18.0, kWoodBottom - kWoodTop));
}

void CabinetPainter::paint_grille(QPainter& painter) const {
  QPainterPath area = u_centre_line();
  area.closeSubpath();
  painter.save();
  painter.setClipPath(area);
  QRadialGradient cloth(QPointF(80.0, 190.0), 150.0);
  cloth.setColorAt(0.0, QColor(66, 56, 52));
  cloth.setColorAt(0.6, QColor(42, 36, 36));
  cloth.setColorAt(1.0, QColor(30, 26, 27));
  painter.setPen(Qt::NoPen);
  painter.setBrush(cloth);
  painter.drawRect(area.boundingRect());

  // A diamond lattice in relief: shadow, bar, lit upper edge.
  constexpr double kPitch = 10.0;
  const QRectF box = area.boundingRect();
  const double span = box.height() + box.width();
  for (const auto& [dx, dy, colour, width] :
       {std::tuple{0.9, 1.1, QColor(12, 10, 10, 130), 2.0},
        std::tuple{0.0, 0.0, QColor(120, 120, 125), 1.6},
        std::tuple{-0.45, -0.45, QColor(196, 196, 202, 150), 0.6}}) {
    painter.setPen(QPen(colour, width));
    for (double s = -span; s < span; s += kPitch) {
      const double x = box.left() + s;
      painter.drawLine(QPointF(x + dx, box.top() + dy),
                       QPointF(x + span + dx, box.top() + span + dy));
      painter.drawLine(QPointF(x + span + dx, box.top() + dy),
                       QPointF(x + dx, box.top() + span + dy));
    }
  }
  painter.restore();

  // The tube's shadow, down and to the right.
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(0, 0, 0, 70), 2 * kUHalfWidth + 3.0));
  painter.drawPath(u_centre_line().translated(1.6, 2.0));
}

void CabinetPainter::paint_u_tube(QImage& image) const {
  const TubeShader shader(kUHalfWidth, chrome::Finish::Chrome);
  const QRect bounds(static_cast<int>(kULeftX - 10), static_cast<int>(kWoodTop),
                     static_cast<int>(kURightX - kULeftX + 21),
                     static_cast<int>(kUBottomY - kWoodTop + 10));
  shader.paint(image, bounds, [](double x, double y) {
    const double mid_x = (kULeftX + kURightX) / 2.0;
    if (y <= kUBendY) {
      return x < mid_x ? TubePoint{kULeftX - x, -1.0, 0.0} : TubePoint{x - kURightX, 1.0, 0.0};
    }
    if (x < kULeftX + kUCorner) {
      return corner_point(x, y, kULeftX + kUCorner);
    }
    if (x > kURightX - kUCorner) {
      return corner_point(x, y, kURightX - kUCorner);
    }
    return TubePoint{y - kUBottomY, 0.0, 1.0};
  });
}

void CabinetPainter::paint_emblem(QPainter& painter) const {
  const QPointF c(kEmblemX, kEmblemY);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 0, 90));
  painter.drawEllipse(c + QPointF(1.8, 2.2), 16.5, 16.5);

  QLinearGradient gold =
      chrome::gradient(chrome::Finish::Gold, c - QPointF(12, 12), c + QPointF(12, 12));
  painter.setBrush(gold);
  painter.setPen(QPen(QColor(90, 56, 12), 0.8));
  painter.drawEllipse(c, 16.0, 16.0);

  QRadialGradient red(c, 12.0, c - QPointF(4.0, 4.5));
  red.setColorAt(0.0, QColor(246, 110, 104));
  red.setColorAt(0.45, QColor(204, 32, 42));
  red.setColorAt(1.0, QColor(104, 10, 20));
  painter.setBrush(red);
  painter.setPen(QPen(QColor(110, 70, 16), 0.8));
  painter.drawEllipse(c, 12.0, 12.0);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(236, 196, 96), 0.7));
  painter.drawEllipse(c, 10.2, 10.2);

  QPainterPath star;
  for (int i = 0; i < 10; ++i) {
    const double r = i % 2 == 0 ? 8.0 : 3.3;
    const double a = -kPi / 2.0 + i * kPi / 5.0;
    const QPointF p = c + QPointF(r * std::cos(a), r * std::sin(a) + 0.4);
    if (i == 0) {
      star.moveTo(p);
    } else {
      star.lineTo(p);
    }
  }
  star.closeSubpath();
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(60, 6, 12, 120));
  painter.drawPath(star.translated(0.7, 0.9));
  painter.setBrush(chrome::gradient(chrome::Finish::Gold, c - QPointF(6, 7), c + QPointF(6, 7)));
  painter.setPen(QPen(QColor(120, 76, 14), 0.5));
  painter.drawPath(star);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 255, 255, 200));
  painter.drawEllipse(c - QPointF(8.5, 9.0), 1.4, 1.0);
}

}  // namespace wavorin::paint
