#include "tools/paint/plate_painter.h"

#include <QRadialGradient>

#include "tools/paint/chrome.h"
#include "tools/paint/seeded_random.h"
#include "tools/paint/skin_geometry.h"

namespace wavorin::paint {
namespace {

using namespace geometry;

constexpr std::uint32_t kBrushSeed = 1957;

}  // namespace

QPointF button_centre(QPoint square) {
  return {square.x() + kButtonSize / 2.0, square.y() + kButtonSize / 2.0};
}

void PlatePainter::paint(QPainter& painter) const {
  paint_plate(painter);
  paint_screws(painter);
  for (const ButtonPlace& b : kButtons) {
    ButtonPainter(button_centre(b.square), b.symbol).paint_resting(painter);
  }
}

void PlatePainter::paint_plate(QPainter& painter) const {
  const QRectF plate(-1.0, kPlateTop, kSkinWidth + 2.0, kPlateBottom - kPlateTop);
  QLinearGradient body(plate.topLeft(), plate.bottomLeft());
  body.setColorAt(0.0, QColor(236, 238, 240));
  body.setColorAt(0.12, QColor(204, 208, 215));
  body.setColorAt(0.6, QColor(172, 178, 188));
  body.setColorAt(1.0, QColor(132, 138, 150));
  painter.setPen(Qt::NoPen);
  painter.setBrush(body);
  painter.drawRect(plate);

  // The lamp warms the left end of the plate.
  QLinearGradient warm(plate.topLeft(), plate.topRight());
  warm.setColorAt(0.0, QColor(255, 236, 200, 50));
  warm.setColorAt(0.5, QColor(255, 236, 200, 0));
  warm.setColorAt(1.0, QColor(0, 0, 0, 36));
  painter.setBrush(warm);
  painter.drawRect(plate);

  // Brushing: fine horizontal streaks.
  SeededRandom random(kBrushSeed);
  for (int i = 0; i < 140; ++i) {
    const double y = random.uniform(kPlateTop + 2.0, kPlateBottom - 4.0);
    const double x = random.uniform(-20.0, kSkinWidth);
    const double length = random.uniform(20.0, 90.0);
    const bool light = random.uniform(0.0, 1.0) < 0.5;
    const int alpha = static_cast<int>(random.uniform(8.0, 26.0));
    painter.setPen(QPen(light ? QColor(255, 255, 255, alpha) : QColor(40, 44, 52, alpha), 0.6));
    painter.drawLine(QPointF(x, y), QPointF(x + length, y));
  }

  // A rolled chrome lip along the top edge, and a red pinstripe along the
  // bottom above the dark lower edge.
  painter.setPen(Qt::NoPen);
  painter.setBrush(
      chrome::gradient(chrome::Finish::Chrome, QPointF(0, kPlateTop), QPointF(0, kPlateTop + 5.0)));
  painter.drawRect(QRectF(-1.0, kPlateTop, kSkinWidth + 2.0, 5.0));
  QLinearGradient stripe(QPointF(0, kPlateBottom - 6.0), QPointF(0, kPlateBottom - 2.5));
  stripe.setColorAt(0.0, QColor(240, 96, 92));
  stripe.setColorAt(0.5, QColor(200, 30, 40));
  stripe.setColorAt(1.0, QColor(110, 10, 20));
  painter.setBrush(stripe);
  painter.drawRect(QRectF(-1.0, kPlateBottom - 6.0, kSkinWidth + 2.0, 3.5));
  painter.setBrush(QColor(220, 224, 230));
  painter.drawRect(QRectF(-1.0, kPlateBottom - 2.5, kSkinWidth + 2.0, 1.0));
  painter.setBrush(chrome::kEdgeLine);
  painter.drawRect(QRectF(-1.0, kPlateBottom - 1.5, kSkinWidth + 2.0, 1.5));
  painter.drawRect(QRectF(-1.0, kPlateTop - 0.6, kSkinWidth + 2.0, 0.9));
}

void PlatePainter::paint_screws(QPainter& painter) const {
  for (const double x : {10.5, 214.5}) {
    for (const double y : {130.5, 158.5}) {
      const QPointF c(x, y);
      painter.setPen(Qt::NoPen);
      painter.setBrush(QColor(0, 0, 0, 60));
      painter.drawEllipse(c + QPointF(0.8, 0.9), 3.0, 3.0);
      QRadialGradient head(c, 3.0, c - QPointF(1.0, 1.0));
      head.setColorAt(0.0, QColor(250, 250, 248));
      head.setColorAt(1.0, QColor(110, 116, 128));
      painter.setBrush(head);
      painter.setPen(QPen(chrome::kEdgeLine, 0.6));
      painter.drawEllipse(c, 2.8, 2.8);
      painter.setPen(QPen(QColor(70, 74, 86), 0.8));
      painter.drawLine(c + QPointF(-1.8, 1.8), c + QPointF(1.8, -1.8));
    }
  }
}

}  // namespace wavorin::paint
