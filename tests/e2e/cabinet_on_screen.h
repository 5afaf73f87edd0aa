#pragma once

#include <QImage>
#include <QPoint>

namespace wavorin::e2e {

// What a screenshot shows of the cabinet whose window's inside begins at
// `origin`, and around it, compared with `desktop`, the screen before the
// program came.

struct Faults {
  int desktop_covered = 0;  // pixels beyond the shadow's reach that are not the desktop
  int skin_wrong = 0;       // pixels wholly inside the outline that are not the skin
  int edge_wrong = 0;       // pixels on the round top's edge that are not the blend
  int edge_pixels = 0;
};

// Compares the window's box and what lies around it on `screen` with the
// skin inside the outline and with the desktop outside it, beyond
// `shadow_reach` pixels from the outline. Where a compositor blends the
// outline's edge, pixels it covers only in part are the edge; without one
// the outline is cut at whole pixels.
Faults faults_of(const QImage& screen, const QImage& desktop, QPoint origin, bool composited,
                 int shadow_reach);

// Pixels around `old_origin`'s box, away from the box at `origin` and its
// shadow, that are not the desktop: what a move left behind.
int trail_pixels(const QImage& screen, const QImage& desktop, QPoint old_origin, QPoint origin,
                 int shadow_reach);

// How much darker than the desktop the pixels beside the cabinet are, at
// `distance` pixels (± 0.5) from the outline: its shadow.
struct Band {
  int pixels = 0;
  int darkened = 0;  // by 2 levels of grey or more
  double mean = 0;   // levels of grey
};

Band shadow_band(const QImage& screen, const QImage& desktop, QPoint origin, double distance);

// A pixel of the round top's edge that the outline covers less than half
// of, so it lies outside it.
QPoint edge_pixel_outside();

}  // namespace wavorin::e2e
