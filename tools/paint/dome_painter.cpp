#include "tools/paint/dome_painter.h"

#include <QPainterPath>
#include <QRadialGradient>
#include <array>
#include <cmath>
#include <numbers>

#include "tools/paint/chrome.h"
#include "tools/paint/skin_geometry.h"
#include "tools/paint/tube_shader.h"

namespace wavorin::paint {
namespace {

using namespace geometry;

constexpr double kPi = std::numbers::pi;
const QPointF kDomeCentre{kDomeCentreX, kDomeCentreY};
// The glass reaches just under the arch so the arch's soft inner edge
// blends with glass, never with the background.
constexpr double kGlassRadius = kArchInner + 1.0;
const QPointF kSpiralCentre{113.0, 64.0};
constexpr double kSpiralTurns = 2.25;
constexpr double kSpiralRadius = 38.0;
// The balls ride a circle inside the arch, above the lower glass corners.
constexpr double kBallPath = 80.0;
constexpr double kBallRadius = 4.5;
constexpr int kBallCount = 8;
constexpr double kBallFirstDeg = 22.0;
constexpr double kBallSpanDeg = 136.0;
constexpr double kBallStepDeg = 6.5;  // travel per animation step

QPainterPath glass_shape() {
  QPainterPath disc;
  disc.addEllipse(kDomeCentre, kGlassRadius, kGlassRadius);
  QPainterPath below;
  below.addRect(QRectF(kDomeCentreX - kGlassRadius, kDomeCentreY, 2 * kGlassRadius, 12.0));
  return disc.united(below);
}

QPointF spiral_point(double t, double turn) {
  const double angle = t * kSpiralTurns * 2.0 * kPi + turn;
  const double radius = 4.0 + t * (kSpiralRadius - 4.0);
  // Slightly flattened, as if the spiral were tilted back from the glass.
  return kSpiralCentre + QPointF(radius * std::cos(angle), 0.86 * radius * std::sin(angle));
}

}  // namespace

DomePainter::DomePainter(DomeLook look) : look_(look) {}

void DomePainter::paint(QImage& image) const {
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipPath(glass_shape());
    paint_glass(painter);
    paint_spiral(painter);
    paint_balls(painter);
    paint_glass_sheen(painter);
  }
  paint_arch(image);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  paint_clasp(painter);
}

void DomePainter::paint_glass(QPainter& painter) const {
  const QColor& light = look_.light;
  QRadialGradient glow(QPointF(113.0, 92.0), 104.0, QPointF(104.0, 80.0));
  glow.setColorAt(0.0, chrome::mix(light, Qt::white, 0.55));
  glow.setColorAt(0.22, chrome::mix(light, Qt::white, 0.2));
  glow.setColorAt(0.55, light);
  glow.setColorAt(1.0, chrome::scaled(light, 0.62));
  painter.fillRect(QRectF(0, 0, kSkinWidth, kFrameHeight + 6), glow);

  // Fluted glass: soft vertical ribs that catch the light.
  QLinearGradient ribs(QPointF(0, 0), QPointF(7, 0));
  ribs.setSpread(QGradient::RepeatSpread);
  ribs.setColorAt(0.0, QColor(255, 255, 255, 0));
  ribs.setColorAt(0.35, QColor(255, 255, 255, 34));
  ribs.setColorAt(0.6, QColor(0, 0, 0, 0));
  ribs.setColorAt(0.85, QColor(0, 0, 0, 22));
  ribs.setColorAt(1.0, QColor(255, 255, 255, 0));
  painter.fillRect(QRectF(0, 0, kSkinWidth, kFrameHeight + 6), ribs);

  // The arch shades the glass nearest to it.
  QRadialGradient rim(kDomeCentre, kGlassRadius);
  rim.setColorAt(0.0, QColor(0, 0, 0, 0));
  rim.setColorAt(0.8, QColor(0, 0, 0, 0));
  rim.setColorAt(0.96, QColor(0, 0, 0, 70));
  rim.setColorAt(1.0, QColor(0, 0, 0, 110));
  painter.fillRect(QRectF(0, 0, kSkinWidth, kFrameHeight + 6), rim);
}

void DomePainter::paint_spiral(QPainter& painter) const {
  const double turn = look_.phase * kPi / 4.0;
  QPainterPath tube;
  QPainterPath bright;
  constexpr int kSteps = 240;
  for (int i = 0; i <= kSteps; ++i) {
    const double t = static_cast<double>(i) / kSteps;
    const QPointF p = spiral_point(t, turn);
    if (i == 0) {
      tube.moveTo(p);
      bright.moveTo(p - QPointF(0.7, 0.7));
    } else {
      tube.lineTo(p);
      bright.lineTo(p - QPointF(0.7, 0.7));
    }
  }
  const QColor tint = chrome::scaled(look_.light, 0.35);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(chrome::with_alpha(QColor(0, 0, 0), 45), 8.0, Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
  painter.drawPath(tube.translated(1.2, 1.6));
  painter.setPen(
      QPen(chrome::with_alpha(tint, 150), 6.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPath(tube);
  painter.setPen(QPen(chrome::with_alpha(chrome::mix(look_.light, Qt::white, 0.6), 170), 4.2,
                      Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPath(tube);
  painter.setPen(QPen(QColor(255, 255, 255, 235), 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPath(bright);
  // The spiral's hub, where the tube is fed.
  QRadialGradient hub(kSpiralCentre, 5.0, kSpiralCentre - QPointF(1.5, 1.5));
  hub.setColorAt(0.0, Qt::white);
  hub.setColorAt(0.6, chrome::mix(look_.light, Qt::white, 0.5));
  hub.setColorAt(1.0, tint);
  painter.setPen(Qt::NoPen);
  painter.setBrush(hub);
  painter.drawEllipse(kSpiralCentre, 4.5, 4.5);
}

void DomePainter::paint_balls(QPainter& painter) const {
  const std::array<QColor, 3> colours{QColor(235, 40, 45), QColor(40, 200, 70),
                                      QColor(50, 90, 245)};
  const double step = kBallSpanDeg / kBallCount;
  painter.setPen(Qt::NoPen);
  for (int i = 0; i < kBallCount; ++i) {
    const double deg =
        kBallFirstDeg + std::fmod(i * step + look_.phase * kBallStepDeg, kBallSpanDeg);
    // They bob in and out a little as they travel.
    const double radius = kBallPath + 3.0 * std::sin(deg * 0.21 + look_.phase);
    const QPointF c = kDomeCentre + QPointF(radius * std::cos(deg * kPi / 180.0),
                                            -radius * std::sin(deg * kPi / 180.0));
    const QColor& colour = colours[static_cast<std::size_t>(i) % colours.size()];
    painter.setBrush(QColor(0, 0, 0, 70));
    painter.drawEllipse(c + QPointF(1.3, 1.6), kBallRadius, kBallRadius);
    QRadialGradient body(c, kBallRadius, c - QPointF(1.8, 1.8));
    body.setColorAt(0.0, chrome::mix(colour, Qt::white, 0.7));
    body.setColorAt(0.35, colour);
    body.setColorAt(1.0, chrome::scaled(colour, 0.45));
    painter.setBrush(body);
    painter.drawEllipse(c, kBallRadius, kBallRadius);
    painter.setBrush(QColor(255, 255, 255, 240));
    painter.drawEllipse(c - QPointF(1.7, 1.7), 0.9, 0.9);
  }
}

void DomePainter::paint_glass_sheen(QPainter& painter) const {
  // The lamp's reflection on the curved glass, upper left, fading at its ends.
  constexpr int kSegments = 40;
  constexpr double kFromDeg = 112.0;
  constexpr double kToDeg = 166.0;
  constexpr double kRadius = 87.5;
  for (int i = 0; i < kSegments; ++i) {
    const double a0 = (kFromDeg + (kToDeg - kFromDeg) * i / kSegments) * kPi / 180.0;
    const double a1 = (kFromDeg + (kToDeg - kFromDeg) * (i + 1) / kSegments) * kPi / 180.0;
    const double fade = std::sin(kPi * (i + 0.5) / kSegments);
    const QPointF p0 = kDomeCentre + QPointF(kRadius * std::cos(a0), -kRadius * std::sin(a0));
    const QPointF p1 = kDomeCentre + QPointF(kRadius * std::cos(a1), -kRadius * std::sin(a1));
    painter.setPen(
        QPen(QColor(255, 255, 255, static_cast<int>(170 * fade)), 2.6, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(p0, p1);
  }
  painter.setPen(Qt::NoPen);
  QRadialGradient spot(QPointF(62.0, 44.0), 9.0);
  spot.setColorAt(0.0, QColor(255, 255, 255, 120));
  spot.setColorAt(1.0, QColor(255, 255, 255, 0));
  painter.setBrush(spot);
  painter.drawEllipse(QPointF(62.0, 44.0), 9.0, 9.0);
}

void DomePainter::paint_arch(QImage& image) const {
  const double half = (kArchOuter - kArchInner) / 2.0;
  const double middle = (kArchOuter + kArchInner) / 2.0;
  const TubeShader shader(half, chrome::Finish::Chrome);
  // Round over the top, then straight down both sides behind the plate.
  shader.paint(image, QRect(0, 0, kSkinWidth, kPlateTop + 4), [=](double x, double y) {
    const double dx = x - kDomeCentreX;
    const double dy = y - kDomeCentreY;
    if (dy > 0.0) {
      return TubePoint{std::abs(dx) - middle, dx < 0.0 ? -1.0 : 1.0, 0.0};
    }
    const double r = std::hypot(dx, dy);
    return TubePoint{r - middle, dx / r, dy / r};
  });
}

void DomePainter::paint_clasp(QPainter& painter) const {
  const QRectF body(101.0, -4.0, 25.0, 28.0);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 0, 60));
  painter.drawRoundedRect(body.translated(2.0, 2.0), 3.5, 3.5);
  painter.setBrush(QColor(0, 0, 0, 50));
  painter.drawRoundedRect(body.translated(1.0, 1.0), 3.5, 3.5);

  painter.setBrush(chrome::gradient(chrome::Finish::Chrome, body.topLeft(), body.topRight()));
  painter.setPen(QPen(chrome::kEdgeLine, 1.0));
  painter.drawRoundedRect(body, 3.5, 3.5);

  const QRectF band(101.0, 7.0, 25.0, 8.0);
  QLinearGradient red(band.topLeft(), band.bottomLeft());
  red.setColorAt(0.0, QColor(240, 96, 92));
  red.setColorAt(0.3, QColor(214, 40, 48));
  red.setColorAt(0.7, QColor(186, 26, 36));
  red.setColorAt(1.0, QColor(110, 10, 20));
  painter.setBrush(red);
  painter.drawRect(band);
  // Across the band, the clasp's own curvature from the lamp side.
  QLinearGradient sheen(band.topLeft(), band.topRight());
  sheen.setColorAt(0.0, QColor(0, 0, 0, 40));
  sheen.setColorAt(0.25, QColor(255, 255, 255, 70));
  sheen.setColorAt(0.7, QColor(0, 0, 0, 0));
  sheen.setColorAt(1.0, QColor(0, 0, 0, 60));
  painter.setPen(Qt::NoPen);
  painter.setBrush(sheen);
  painter.drawRect(band);

  for (const double x : {106.5, 120.5}) {
    const QPointF c(x, 19.0);
    QRadialGradient rivet(c, 2.0, c - QPointF(0.7, 0.7));
    rivet.setColorAt(0.0, Qt::white);
    rivet.setColorAt(1.0, QColor(90, 96, 110));
    painter.setBrush(rivet);
    painter.setPen(QPen(chrome::kEdgeLine, 0.6));
    painter.drawEllipse(c, 1.8, 1.8);
  }
}

}  // namespace wavorin::paint
