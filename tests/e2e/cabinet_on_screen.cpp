#include "tests/e2e/cabinet_on_screen.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tests/e2e/e2e_fixture.h"

namespace wavorin::e2e {

namespace {

// The share of window pixel (x, y) that the round top's disc covers, from
// 16 x 16 samples.
double disc_share(int x, int y) {
  int in = 0;
  for (int i = 0; i < 16; ++i)
    for (int j = 0; j < 16; ++j) {
      const double dx = x + (i + 0.5) / 16 - 113;
      const double dy = y + (j + 0.5) / 16 - 113;
      if (dx * dx + dy * dy < 113.0 * 113.0) ++in;
    }
  return in / 256.0;
}

// How far a point outside the outline is from it, in pixels.
double distance_from_outline(double px, double py) {
  const auto from_rect = [&](double left, double top, double right, double bottom) {
    return std::hypot(std::max({left - px, 0.0, px - right}),
                      std::max({top - py, 0.0, py - bottom}));
  };
  return std::min({std::max(std::hypot(px - 113, py - 113) - 113, 0.0), from_rect(0, 113, 226, 327),
                   from_rect(0, 327, 25, 332), from_rect(201, 327, 226, 332)});
}

// How far around the window's box a compositor might draw: the shadows
// of picom and mutter reach less.
constexpr int kAround = 30;

}  // namespace

int trail_pixels(const QImage& screen, const QImage& desktop, QPoint old_origin, QPoint origin,
                 int shadow_reach) {
  const QRect now = QRect(origin, QSize(225, 332)).adjusted(-kAround, -kAround, kAround, kAround);
  int trail = 0;
  for (int y = -kAround; y < 332 + kAround; ++y)
    for (int x = -kAround; x < 225 + kAround; ++x) {
      const QPoint at = old_origin + QPoint(x, y);
      if (!screen.rect().contains(at) || now.contains(at)) continue;
      const QPoint from_new = at - origin;
      if (distance_from_outline(from_new.x() + 0.5, from_new.y() + 0.5) <= shadow_reach) continue;
      trail += screen.pixel(at) != desktop.pixel(at);
    }
  return trail;
}

Faults faults_of(const QImage& screen, const QImage& desktop, QPoint origin, bool composited,
                 int shadow_reach) {
  const QImage skin = asset("skin.png");
  Faults faults;
  for (int y = -kAround; y < 332 + kAround; ++y)
    for (int x = -kAround; x < 225 + kAround; ++x) {
      const QPoint at = origin + QPoint(x, y);
      if (!screen.rect().contains(at)) continue;
      const QRgb shown = screen.pixel(at);
      const QRgb behind = desktop.pixel(at);
      const bool in_box = QRect(0, 0, 225, 332).contains(x, y);
      const double share =
          !in_box ? 0.0 : (y < 113 ? disc_share(x, y) : (inside_outline(x, y) ? 1.0 : 0.0));
      // Without a compositor the outline is cut at whole pixels, as ever.
      const bool inside = composited ? share == 1.0 : in_box && inside_outline(x, y);
      const bool outside = composited ? share == 0.0 : !inside;
      if (inside) {
        faults.skin_wrong += shown != skin.pixel(x, y);
      } else if (outside) {
        faults.desktop_covered +=
            distance_from_outline(x + 0.5, y + 0.5) > shadow_reach && shown != behind;
      } else if (shadow_reach == 0) {
        // The edge: skin and desktop mixed by the share the outline covers.
        ++faults.edge_pixels;
        const auto near_blend = [&](int s, int d, int v) {
          const double blend = share * s + (1 - share) * d;
          return std::abs(v - blend) <= 0.2 * std::abs(s - d) + 4;
        };
        const QRgb s = skin.pixel(x, y);
        faults.edge_wrong += !(near_blend(qRed(s), qRed(behind), qRed(shown)) &&
                               near_blend(qGreen(s), qGreen(behind), qGreen(shown)) &&
                               near_blend(qBlue(s), qBlue(behind), qBlue(shown)));
      }
    }
  return faults;
}

Band shadow_band(const QImage& screen, const QImage& desktop, QPoint origin, double distance) {
  Band band;
  double sum = 0;
  for (int y = -kAround; y < 332 + kAround; ++y)
    for (int x = -kAround; x < 225 + kAround; ++x) {
      const QPoint at = origin + QPoint(x, y);
      if (!screen.rect().contains(at) ||
          std::abs(distance_from_outline(x + 0.5, y + 0.5) - distance) >= 0.5)
        continue;
      const int dark = qGray(desktop.pixel(at)) - qGray(screen.pixel(at));
      ++band.pixels;
      band.darkened += dark >= 2;
      sum += dark;
    }
  band.mean = band.pixels > 0 ? sum / band.pixels : 0;
  return band;
}

QPoint edge_pixel_outside() {
  for (int y = 30;; ++y)
    for (int x = 0; x < 113; ++x)
      if (const double share = disc_share(x, y); share > 0) {
        if (share < 0.4 && !inside_outline(x, y)) return {x, y};
        break;
      }
}

}  // namespace wavorin::e2e
