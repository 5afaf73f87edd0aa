#pragma once

#include <QImage>

namespace wavorin {

// The soft shadow the cabinet casts on the desktop where a compositor draws
// it, as a toolkit's client-side-decorated windows cast theirs: the outline's
// own shape, dropped a little, blurred and faint, so that it fades to nothing
// within `margin`.
//
// `coverage`: the share of each device pixel of the window's inside that the
// outline covers (Alpha8, as the alpha edge uses it); `margin`: device
// pixels of room on each side, `ratio`: device pixels to a window pixel.
// Returns a premultiplied black picture of the inside grown by the margin on
// every side, with the ratio as its device pixel ratio; drawn beneath the
// cabinet it shows beyond the outline only.
QImage cabinet_shadow(const QImage& coverage, int margin, double ratio);

// Window pixels the shadow may reach beyond the outline.
constexpr int kShadowReach = 20;

}  // namespace wavorin
