#pragma once

#include <QPoint>
#include <QRect>

#include "app/layout.h"

// Where things lie on the skin. Lengths are pixels; points are continuous
// coordinates, so pixel (x, y) covers [x, x+1) x [y, y+1).
namespace wavorin::paint::geometry {

constexpr int kSkinWidth = layout::kInsideWidth;
constexpr int kSkinHeight = layout::kInsideHeight;

// The dome: the window's outline is a circle of this centre and radius.
constexpr double kDomeCentreX = (layout::kOutlineDisc.left + layout::kOutlineDisc.right) / 2.0;
constexpr double kDomeCentreY = (layout::kOutlineDisc.top + layout::kOutlineDisc.bottom) / 2.0;
constexpr double kDomeRadius = (layout::kOutlineDisc.right - layout::kOutlineDisc.left) / 2.0;
static_assert(layout::kOutlineDisc.right - layout::kOutlineDisc.left ==
                  layout::kOutlineDisc.bottom - layout::kOutlineDisc.top,
              "the dome is painted as a circle");
// The arch tube runs between these radii. Its outer edge lies just past the
// outline, so every pixel of the disc is fully covered and the cut edge
// shows the tube's dark rim.
constexpr double kArchInner = 94.0;
constexpr double kArchOuter = 113.6;

// The animation: frames of the top rows, changing only inside the box.
constexpr int kFrameHeight = layout::kFrameHeight;
static_assert(layout::kFrameWidth == kSkinWidth, "a frame spans the skin's width");
constexpr int kFrameCount = layout::kFrameCount;
constexpr QRect kAnimationBox{15, 17, 194, 103};  // x 15..208, y 17..119

// The button plate and its four 40 x 40 button squares.
constexpr int kPlateTop = 117;
constexpr int kPlateBottom = 173;  // first row below the plate
constexpr int kButtonSize = layout::kButtonSize;
constexpr double kButtonFaceRadius = 15.5;  // the part that moves when pressed
constexpr double kButtonRingRadius = 19.0;  // outer edge of the bezel

// The cabinet below the plate.
constexpr int kBaseTop = 311;
constexpr int kCabinetBottom = layout::kOutlineBody.bottom;  // first row below the cabinet
constexpr int kFootWidth = layout::kOutlineLeftFoot.right;
// The right foot as the outline leaves it: its first column.
constexpr int kRightFootLeft = layout::kOutlineRightFoot.left;
constexpr double kColumnWidth = 21.0;
constexpr double kEmblemX = 112.5;
constexpr double kEmblemY = 254.5;

}  // namespace wavorin::paint::geometry
