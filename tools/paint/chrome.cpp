#include "tools/paint/chrome.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>

namespace wavorin::paint::chrome {
namespace {

struct Stop {
  double at;
  QColor colour;
};

// Dark edge, bright lamp highlight, a dark reflection band, dark far edge:
// the banding that makes a tube read as polished metal.
const std::array<Stop, 8> kChromeStops{{
    {0.00, {78, 84, 98}},
    {0.09, {178, 184, 196}},
    {0.23, {250, 250, 246}},
    {0.37, {212, 217, 225}},
    {0.55, {152, 160, 172}},
    {0.69, {76, 84, 98}},
    {0.84, {168, 175, 187}},
    {1.00, {82, 88, 102}},
}};

const std::array<Stop, 8> kRedStops{{
    {0.00, {112, 12, 22}},
    {0.09, {196, 30, 40}},
    {0.23, {246, 118, 112}},
    {0.37, {222, 52, 56}},
    {0.55, {190, 30, 40}},
    {0.69, {112, 12, 22}},
    {0.84, {178, 28, 38}},
    {1.00, {100, 10, 20}},
}};

const std::array<Stop, 6> kGoldStops{{
    {0.00, {140, 92, 24}},
    {0.15, {236, 196, 92}},
    {0.30, {255, 238, 160}},
    {0.50, {214, 164, 60}},
    {0.75, {150, 100, 28}},
    {1.00, {196, 146, 52}},
}};

std::span<const Stop> stops_of(Finish finish) {
  switch (finish) {
    case Finish::RedBand:
      return kRedStops;
    case Finish::Gold:
      return kGoldStops;
    case Finish::Chrome:
      break;
  }
  return kChromeStops;
}

}  // namespace

QColor mix(const QColor& a, const QColor& b, double t) {
  const auto lerp = [t](int x, int y) {
    return std::clamp(static_cast<int>(std::lround(x + (y - x) * t)), 0, 255);
  };
  return {lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()),
          lerp(a.alpha(), b.alpha())};
}

QColor scaled(const QColor& c, double factor) {
  const auto scale = [factor](int x) {
    return std::clamp(static_cast<int>(std::lround(x * factor)), 0, 255);
  };
  return {scale(c.red()), scale(c.green()), scale(c.blue()), c.alpha()};
}

QColor with_alpha(const QColor& c, int alpha) {
  QColor out = c;
  out.setAlpha(alpha);
  return out;
}

QColor profile(Finish finish, double across) {
  const auto stops = stops_of(finish);
  const double t = std::clamp(across, 0.0, 1.0);
  for (std::size_t i = 1; i < stops.size(); ++i) {
    if (t <= stops[i].at) {
      const Stop& lo = stops[i - 1];
      const Stop& hi = stops[i];
      return mix(lo.colour, hi.colour, (t - lo.at) / (hi.at - lo.at));
    }
  }
  return stops.back().colour;
}

QLinearGradient gradient(Finish finish, QPointF lit_edge, QPointF far_edge) {
  QLinearGradient g(lit_edge, far_edge);
  for (const Stop& s : stops_of(finish)) {
    g.setColorAt(s.at, s.colour);
  }
  return g;
}

}  // namespace wavorin::paint::chrome
